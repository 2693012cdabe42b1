#include "host/JuceRuntime.h"
#include "host/JuceMessageDispatch.h"
#include "host/JuceX11Display.h"
#include "host/NeverDestroyed.h"

#include <juce_events/juce_events.h>
#include <juce_events/native/juce_linux_EventLoopInternal.h>

#include <poll.h>

#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace JuceRuntimeDetail
{
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
        juce::MessageManager::getInstance()->setCurrentThreadAsMessageThread();
        juce::LinuxEventLoopInternal::registerLinuxEventLoopListener (*this);
        started.signal();

        while (! quitReceived)
        {
            waitForInput();

            // One trap per step: the X connection may appear during any of them.
            for (;;)
            {
                const JuceX11Display::ErrorTrap trap;

                if (quitReceived || ! juce::dispatchNextMessageOnSystemQueue (true))
                    break;
            }
        }

        juce::LinuxEventLoopInternal::deregisterLinuxEventLoopListener (*this);
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
};

RuntimeState& getState()
{
    static NeverDestroyed<RuntimeState> state;
    return state.get();
}
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

int JuceRuntime::getNumHolders()
{
    auto& state = JuceRuntimeDetail::getState();
    const std::lock_guard<std::mutex> lock (state.lock);
    return state.numHolders;
}
