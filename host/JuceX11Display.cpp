#include "host/JuceX11Display.h"

// JUCE's X11 classes and the Xlib types come with its header only when asked for.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1
#include <juce_gui_basics/juce_gui_basics.h>
#include <juce_events/native/juce_linux_EventLoopInternal.h>

#include <dlfcn.h>

#include <atomic>
#include <cstdint>
#include <mutex>

namespace JuceX11DisplayDetail
{
using ErrorHandler = int (*) (::Display*, XErrorEvent*);
using SetErrorHandler = ErrorHandler (*) (ErrorHandler);

/** What the traps share. Every member is trivially destructible, so nothing of it is torn down
    at exit while a thread of the library may still be inside a trap. */
struct TrapState
{
    std::mutex lock;
    int depth = 0;                                      // traps alive, on all threads
    SetErrorHandler setErrorHandler = nullptr;          // from the loaded libX11, which is then kept loaded
    std::atomic<ErrorHandler> previous { nullptr };     // the handler the outermost trap replaced
    std::atomic<::Display*> trappedDisplay { nullptr }; // JUCE's display while traps live (also while JUCE closes it)
};

TrapState trapState;

bool isJuceDisplay (::Display* display)
{
    if (display == nullptr)
        return false;

    if (display == trapState.trappedDisplay.load())
        return true;

    auto* windowSystem = juce::XWindowSystem::getInstanceWithoutCreating();
    return windowSystem != nullptr && display == windowSystem->getDisplay();
}

int handleError (::Display* display, XErrorEvent* event)
{
    if (isJuceDisplay (display))
        return 0;

    if (auto* next = trapState.previous.load())
        return next (display, event);

    return 0;
}

/** Binds XSetErrorHandler from the libX11 that JUCE loaded (call under the lock). Our handle
    keeps the library loaded: JUCE unloads its own when it shuts down, and a trap may then still
    have to put the host's handler back. */
SetErrorHandler bindSetErrorHandler()
{
    if (trapState.setErrorHandler == nullptr)
    {
        if (auto* handle = dlopen ("libX11.so.6", RTLD_NOW | RTLD_LOCAL | RTLD_NOLOAD))
        {
            trapState.setErrorHandler = reinterpret_cast<SetErrorHandler> (dlsym (handle, "XSetErrorHandler"));

            if (trapState.setErrorHandler == nullptr)
                dlclose (handle);
        }
    }

    return trapState.setErrorHandler;
}

/** JUCE takes the window-manager atoms it uses only if they exist already, and on a server
    without a window manager WM_PROTOCOLS and WM_STATE do not: JUCE then sets and reads
    properties named None on every window it makes and moves, and each of those requests fails
    (BadAtom). Creating the two atoms, as any client that sets its protocols does, makes the
    requests valid. JUCE keeps its atoms in a member it shows only as const; it is not const, and
    nothing else reads it while the message thread is held. */
void provideWindowManagerAtoms (juce::XWindowSystem& windowSystem, ::Display* display)
{
    using juce::XWindowSystemUtilities::Atoms;
    auto& atoms = const_cast<Atoms&> (windowSystem.getAtoms());

    if (atoms.protocols != None && atoms.state != None)
        return;

    const juce::XWindowSystemUtilities::ScopedXLock xLock;
    atoms.protocols = Atoms::getCreating (display, "WM_PROTOCOLS");
    atoms.state = Atoms::getCreating (display, "WM_STATE");
}

/** JUCE repaints each of our windows from a timer at the screen's refresh rate (100 Hz where
    the server reports none, as Xvfb and VNC servers do), and each tick wakes JUCE's timer
    thread and our message thread even when nothing changed: most of what an open, idle editor
    costs the host's process. Nothing in the editor moves faster than its 25 ms display timer,
    so its windows repaint at most that often. JUCE reads the rate from its list of displays
    when it makes a window. It rebuilds the list only when the scale or the desktop's DPI
    setting changes; the next effEditGetRect or effEditOpen limits the rate again. */
constexpr double maxRepaintHz = 40.0;

void limitRepaintRate()
{
    // The list is JUCE's public member, shown only as const; nothing else reads it while the
    // message thread is held.
    auto& displays = const_cast<juce::Displays&> (juce::Desktop::getInstance().getDisplays());

    for (auto& display : displays.displays)
        if (! display.verticalFrequencyHz.has_value() || *display.verticalFrequencyHz > maxRepaintHz)
            display.verticalFrequencyHz = maxRepaintHz;
}
} // namespace JuceX11DisplayDetail

//==============================================================================
bool JuceX11Display::prepare()
{
    auto* windowSystem = juce::XWindowSystem::getInstance();
    auto* display = windowSystem->getDisplay();

    if (display == nullptr)
        return false;

    JuceX11DisplayDetail::provideWindowManagerAtoms (*windowSystem, display);
    JuceX11DisplayDetail::limitRepaintRate();
    return true;
}

bool JuceX11Display::isUsableParent (void* window)
{
    auto* windowSystem = juce::XWindowSystem::getInstanceWithoutCreating();
    auto* display = windowSystem != nullptr ? windowSystem->getDisplay() : nullptr;

    if (display == nullptr || window == nullptr)
        return false;

    // A round trip: for an id that names no window the server answers with an error, which
    // the caller's trap drops, and Xlib returns 0.
    XWindowAttributes attributes {};
    const juce::XWindowSystemUtilities::ScopedXLock xLock;

    return juce::X11Symbols::getInstance()->xGetWindowAttributes (display, (::Window) reinterpret_cast<std::uintptr_t> (window),
                                                                  &attributes) != 0
        && attributes.c_class == InputOutput;
}

bool JuceX11Display::dispatchQueuedEvents()
{
    auto* windowSystem = juce::XWindowSystem::getInstanceWithoutCreating();
    auto* display = windowSystem != nullptr ? windowSystem->getDisplay() : nullptr;

    if (display == nullptr)
        return false;

    auto& x = *juce::X11Symbols::getInstance();

    const auto queued = [&]
    {
        const juce::XWindowSystemUtilities::ScopedXLock xLock;
        return x.xEventsQueued (display, QueuedAlready);
    };

    const auto before = queued();

    if (before == 0)
        return false;

    juce::LinuxEventLoopInternal::invokeEventLoopCallbackForFd (x.xConnectionNumber (display));

    // Only progress counts: should nothing read the queue, the caller must not spin on it.
    return queued() < before;
}

//==============================================================================
JuceX11Display::ErrorTrap::ErrorTrap()
{
    using namespace JuceX11DisplayDetail;

    // Without a connection of ours there is nothing to trap, and the host's handler is left
    // alone (hosts that never open our editor never see ours).
    auto* windowSystem = juce::XWindowSystem::getInstanceWithoutCreating();
    auto* display = windowSystem != nullptr ? windowSystem->getDisplay() : nullptr;

    if (display == nullptr)
        return;

    const std::lock_guard<std::mutex> lock (trapState.lock);
    auto* setErrorHandler = bindSetErrorHandler();

    if (setErrorHandler == nullptr)
        return;

    installed = true;
    trapState.trappedDisplay.store (display);

    if (trapState.depth++ == 0)
        trapState.previous.store (setErrorHandler (&handleError));
}

JuceX11Display::ErrorTrap::~ErrorTrap()
{
    using namespace JuceX11DisplayDetail;

    if (! installed)
        return;

    const std::lock_guard<std::mutex> lock (trapState.lock);

    if (--trapState.depth == 0)
    {
        auto* current = trapState.setErrorHandler (trapState.previous.load());

        // A handler the host installed meanwhile stays.
        if (current != &handleError)
            trapState.setErrorHandler (current);

        trapState.trappedDisplay.store (nullptr);
    }
}
