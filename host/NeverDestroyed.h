/*
    Holds an object that is built on first use and never destroyed. For the library's process-wide
    state that threads of the library may still use while the process exits: a host may call
    exit() with instances open, from any thread (even from inside a callback on the message
    thread), and no static destructor of ours may then join, wait for or tear down what those
    threads use. When the library is unloaded normally nothing is left to destroy.
*/
#pragma once

#include <new>
#include <utility>

template <typename Type>
class NeverDestroyed
{
public:
    /** Builds the object in place. */
    template <typename... Args>
    explicit NeverDestroyed (Args&&... args)     { ::new (static_cast<void*> (storage)) Type (std::forward<Args> (args)...); }

    NeverDestroyed (const NeverDestroyed&) = delete;
    NeverDestroyed& operator= (const NeverDestroyed&) = delete;

    /** The object. */
    Type& get() noexcept                         { return *std::launder (reinterpret_cast<Type*> (storage)); }
    Type* operator->() noexcept                  { return &get(); }

private:
    alignas (Type) unsigned char storage[sizeof (Type)];
};
