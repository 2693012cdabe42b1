#include "host/JuceRuntime.h"
#include "host/JuceMessageDispatch.h"
#include "host/JuceX11Display.h"
#include "host/NeverDestroyed.h"

#include <juce_events/juce_events.h>
#include <juce_events/native/juce_linux_EventLoopInternal.h>

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

extern "C" int __cxa_atexit (void (*function) (void*), void* argument, void* dsoHandle);
extern void* __dso_handle __attribute__ ((visibility ("hidden")));  // the library's own, as the compiler declares it

namespace JuceRuntimeDetail
{
class MessageDispatchThread;

/** Who holds JUCE now. Never destroyed: a host may exit with instances open, on any thread, and
    then nothing may join the message thread or shut JUCE down under them. */
struct RuntimeState
{
    std::mutex lock;
    int numHolders = 0;
    std::unique_ptr<MessageDispatchThread> dispatchThread;

    // False when JUCE was already running in this process before the first holder (the
    // plug-in's code linked into a JUCE program, as in the unit tests): then it is left alone.
    bool ownsJuce = false;

    // The exit handler's side (atomics: it takes no lock, the exiting thread may hold any).
    std::atomic<bool> threadRunning { false }, stepInProgress { false }, processExiting { false };
    std::atomic<std::thread::id> messageThreadId {};
    juce::WaitableEvent stepEnded;
    bool registeredAtStart = false;
    std::atomic<bool> registeredForEditor { false };
};

RuntimeState& getState()
{
    static NeverDestroyed<RuntimeState> state;
    return state.get();
}

// How long an exit waits at most for the message thread to finish the step it is in.
constexpr int maxExitWaitMs = 500;

/** Runs when the process exits (and when the library is unloaded, with no holders then). */
void holdMessageThreadAtExit()
{
    auto& state = getState();
    state.processExiting = true;

    if (! state.threadRunning || std::this_thread::get_id() == state.messageThreadId.load())
        return;

    // A thread that holds the message thread still (inside an editor opcode) keeps it so.
    if (auto* mm = juce::MessageManager::getInstanceWithoutCreating())
        if (mm->currentThreadHasLockedMessageManager())
            return;

    if (state.stepInProgress)
        state.stepEnded.wait (maxExitWaitMs);
}

/** Has holdMessageThreadAtExit run at exit, or when the library is unloaded first. Registered
    with the library's own handle rather than through atexit(), which the sanitizers' runtimes
    take over and then call after the library is gone. */
void registerExitHandler()
{
    __cxa_atexit ([] (void*) { holdMessageThreadAtExit(); }, nullptr, &__dso_handle);
}

/** The library's message thread. It sleeps in poll() on JUCE's file descriptors (the message
    queue, the X connection) until one has input, so an idle plug-in costs nothing; it ends when
    it receives the quit message its owner posts. A std::thread rather than a juce::Thread: JUCE
    detaches its threads, while this one is joined, so no code of the library runs on it once it
    is gone and the host may unload the library. */
class MessageDispatchThread final : private juce::LinuxEventLoopInternal::Listener
{
public:
    MessageDispatchThread()
    {
        thread = std::thread ([this] { run(); });
        started.wait (-1);
    }

    ~MessageDispatchThread() override
    {
        // Queued behind whatever was posted before, which is still delivered.
        juce::MessageManager::callAsync ([this] { quitReceived = true; });
        thread.join();
    }

private:
    void run()
    {
        auto& state = getState();
        juce::MessageManager::getInstance()->setCurrentThreadAsMessageThread();
        juce::LinuxEventLoopInternal::registerLinuxEventLoopListener (*this);
        state.messageThreadId = std::this_thread::get_id();
        state.threadRunning = true;
        started.signal();

        while (! quitReceived)
        {
            waitForInput();

            while (dispatchStep())
            {
            }
        }

        state.threadRunning = false;
        juce::LinuxEventLoopInternal::deregisterLinuxEventLoopListener (*this);
    }

    /** Handles what is ready now; false when there was nothing, or the quit message came. */
    bool dispatchStep()
    {
        auto& state = getState();
        state.stepInProgress = true;

        if (state.processExiting)
            holdForExit();

        bool handled = false;

        {
            // One trap per step: the X connection may appear during any of them.
            const JuceX11Display::ErrorTrap trap;
            handled = ! quitReceived
                   && (juce::dispatchNextMessageOnSystemQueue (true) || JuceX11Display::dispatchQueuedEvents());
        }

        state.stepInProgress = false;

        if (state.processExiting)
            state.stepEnded.signal();

        return handled && ! quitReceived;
    }

    /** The process is exiting: this thread touches nothing of JUCE's any more. */
    [[noreturn]] static void holdForExit()
    {
        auto& state = getState();
        state.stepInProgress = false;
        state.stepEnded.signal();

        for (;;)
            pause();
    }

    /** Blocks until one of JUCE's descriptors has input. JUCE's own blocking step would do, but
        it runs its callbacks right after waking, and those must run inside an error trap that is
        not held while the thread sleeps (the host may change its X error handler meanwhile). */
    void waitForInput()
    {
        const auto descriptors = juce::LinuxEventLoopInternal::getRegisteredFds();
        std::vector<pollfd> polled;

        for (auto fd : descriptors)
            polled.push_back ({ fd, POLLIN, 0 });

        poll (polled.data(), (nfds_t) polled.size(), -1);
    }

    /** A descriptor was added or removed, maybe while this thread sleeps on the old set: a
        message wakes it to take the new one. */
    void fdCallbacksChanged() override
    {
        juce::MessageManager::callAsync ([] {});
    }

    std::thread thread;
    bool quitReceived = false;          // only this thread touches it
    juce::WaitableEvent started;
};

} // namespace JuceRuntimeDetail

JuceRuntime::Holder::Holder()
{
    auto& state = JuceRuntimeDetail::getState();
    const std::lock_guard<std::mutex> lock (state.lock);

    if (state.numHolders++ == 0)
    {
        state.ownsJuce = juce::MessageManager::getInstanceWithoutCreating() == nullptr;

        if (state.ownsJuce)
        {
            juce::initialiseJuce_GUI();
            state.dispatchThread = std::make_unique<JuceRuntimeDetail::MessageDispatchThread>();

            // After JUCE's start, which builds most of the statics the thread uses.
            if (! std::exchange (state.registeredAtStart, true))
                JuceRuntimeDetail::registerExitHandler();
        }
    }
}

JuceRuntime::Holder::~Holder()
{
    auto& state = JuceRuntimeDetail::getState();
    const std::lock_guard<std::mutex> lock (state.lock);

    if (--state.numHolders == 0 && state.ownsJuce)
    {
        state.dispatchThread.reset();

        // The closing thread finishes JUCE's shut-down as its message thread; closing the X
        // connection delivers the errors of requests still unanswered.
        juce::MessageManager::getInstance()->setCurrentThreadAsMessageThread();
        const JuceX11Display::ErrorTrap trap;
        juce::shutdownJuce_GUI();
    }
}

void JuceRuntime::editorShown()
{
    // (No lock: the caller holds the message thread, which a closing holder may wait for.)
    if (! JuceRuntimeDetail::getState().registeredForEditor.exchange (true))
        JuceRuntimeDetail::registerExitHandler();
}

int JuceRuntime::getNumHolders()
{
    auto& state = JuceRuntimeDetail::getState();
    const std::lock_guard<std::mutex> lock (state.lock);
    return state.numHolders;
}
