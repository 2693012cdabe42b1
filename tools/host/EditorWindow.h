/*
    The test host's window for a plug-in's editor: a top-level X window on the display named by
    DISPLAY (Xvfb in tests), into which the plug-in embeds its editor on effEditOpen. It grows and
    shrinks when the plug-in asks, takes screenshots of itself (XGetImage, the plug-in's window
    included) and plays mouse and keyboard input into it through the XTest extension, as a user
    would: the events reach the plug-in's own X connection through the server.

    Use it from one thread only. Its X errors are counted, never fatal.
*/
#pragma once

#include "tools/host/RgbImage.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vsthost
{

class EditorWindow
{
public:
    /** The colour of the window where the plug-in has not painted (0xRRGGBB). */
    static constexpr std::uint32_t backgroundColour = 0xff00ff;

    /** Opens the display and maps a window of the given size at the screen's top left corner;
        isOpen() tells whether that worked and getError() why not. */
    EditorWindow (int width, int height);

    /** Destroys the window and closes the display. */
    ~EditorWindow();

    EditorWindow (const EditorWindow&) = delete;
    EditorWindow& operator= (const EditorWindow&) = delete;

    /** True when the window exists. */
    bool isOpen() const noexcept;
    /** Why the window could not be made. */
    const std::string& getError() const noexcept        { return error; }
    /** The window's id, as effEditOpen takes it. */
    void* getHandle() const noexcept;

    /** The window's width now. */
    int getWidth() const noexcept                       { return width; }
    /** The window's height now. */
    int getHeight() const noexcept                      { return height; }
    /** Resizes the window (the host's answer to audioMasterSizeWindow). */
    void setSize (int newWidth, int newHeight);

    /** The window's picture now as the screen shows it: the plug-in's window inside it and any
        window over it (a lifted text field, a menu) included. Empty on failure (a window that
        does not lie wholly on the screen). */
    RgbImage capture();

    /** Moves the pointer to (x, y) of the window and clicks the left button; with control held
        when asked. */
    void click (int x, int y, bool withControl);
    /** Presses the left button at (x1, y1), moves to (x2, y2) in steps and releases there. */
    void drag (int x1, int y1, int x2, int y2);

    /** Moves the pointer to a point and there presses the left mouse button and holds it
        (down), or lets it go. */
    void setButton (int x, int y, bool down);
    /** Presses and releases one key given by its X name (Return, Escape, a, F1 ...), with
        "ctrl+", "shift+" or "alt+" prefixes; false for a name X does not know. */
    bool pressKey (const std::string& name);
    /** Types text character by character (printable ASCII); false if a character has no key. */
    bool typeText (const std::string& text);

    /** Waits until the server has handled every request, and reads any events that came. */
    void sync();
    /** Reads the events that came, without waiting for the server (cheap enough to call on
        every idle call of the host). */
    void drainEvents();

    /** The number of X errors this process's host connection received. */
    static int getNumXErrors() noexcept;

private:
    struct Connection;
    std::unique_ptr<Connection> x;
    int width = 0, height = 0;
    std::string error;

    bool sendKey (unsigned long keysym, unsigned int modifierMask);
    void movePointer (int x, int y);
};

} // namespace vsthost
