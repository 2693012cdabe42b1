#include "host/JuceRuntime.h"

#include <juce_events/juce_events.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

namespace juce
{
// Defined by JUCE's Linux messaging code: handles one message or one input event.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
} // namespace juce

namespace
{
/** The library's message thread. A std::thread rather than a juce::Thread: JUCE detaches its
    threads, while this one is joined, so no code of the library runs on it once it is gone
    and the host may unload the library. */
class MessageDispatchThread final
{
public:
    MessageDispatchThread()
    {
        thread = std::thread ([this] { run(); });
        started.wait (-1);
    }

    ~MessageDispatchThread()
    {
        shouldExit.store (true);
        thread.join();
    }

private:
    void run()
    {
        juce::MessageManager::getInstance()->setCurrentThreadAsMessageThread();
        started.signal();

        while (! shouldExit.load())
            if (! juce::dispatchNextMessageOnSystemQueue (true))
                std::this_thread::sleep_for (std::chrono::milliseconds (1));
    }

    std::thread thread;
    std::atomic<bool> shouldExit { false };
    juce::WaitableEvent started;
};

std::mutex runtimeLock;
int numHolders = 0;
std::unique_ptr<MessageDispatchThread> dispatchThread;

// False when JUCE was already running in this process before the first holder (the
// plug-in's code linked into a JUCE program, as in the unit tests): then it is left alone.
bool ownsJuce = false;
} // namespace

JuceRuntime::Holder::Holder()
{
    const std::lock_guard<std::mutex> lock (runtimeLock);

    if (numHolders++ == 0)
    {
        ownsJuce = juce::MessageManager::getInstanceWithoutCreating() == nullptr;

        if (ownsJuce)
        {
            juce::initialiseJuce_GUI();
            dispatchThread = std::make_unique<MessageDispatchThread>();
        }
    }
}

JuceRuntime::Holder::~Holder()
{
    const std::lock_guard<std::mutex> lock (runtimeLock);

    if (--numHolders == 0 && ownsJuce)
    {
        dispatchThread.reset();

        // The closing thread finishes JUCE's shut-down as its message thread.
        juce::MessageManager::getInstance()->setCurrentThreadAsMessageThread();
        juce::shutdownJuce_GUI();
    }
}

int JuceRuntime::getNumHolders()
{
    const std::lock_guard<std::mutex> lock (runtimeLock);
    return numHolders;
}
