#include "host/JuceRuntime.h"

#include <juce_events/juce_events.h>

#include <memory>
#include <mutex>

namespace juce
{
// Defined by JUCE's Linux messaging code: handles one message or one input event.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
} // namespace juce

namespace
{
class MessageDispatchThread final : public juce::Thread
{
public:
    MessageDispatchThread() : juce::Thread ("Velcroft message thread")
    {
        startThread (juce::Thread::Priority::high);
        started.wait (-1);
    }

    ~MessageDispatchThread() override
    {
        signalThreadShouldExit();
        stopThread (-1);
    }

    void run() override
    {
        juce::MessageManager::getInstance()->setCurrentThreadAsMessageThread();
        started.signal();

        while (! threadShouldExit())
            if (! juce::dispatchNextMessageOnSystemQueue (true))
                juce::Thread::sleep (1);
    }

private:
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
