/*
    Main of the unit tests: JUCE is started on the test's main thread, which becomes the
    message thread, so tests can run the message loop to deliver asynchronous updates.
*/
#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <X11/Xlib.h>

namespace
{
// A test program is no standalone JUCE application and installs no X error handler of
// its own; without one, the first harmless X error under a bare X server ends the run.
int ignoreXError (Display*, XErrorEvent*) { return 0; }
} // namespace

int main (int argc, char** argv)
{
    XSetErrorHandler (ignoreXError);
    ::testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
