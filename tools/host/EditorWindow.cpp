#include "tools/host/EditorWindow.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

namespace vsthost
{

namespace EditorWindowDetail
{
    std::atomic<int> numXErrors { 0 };

    int countError (Display*, XErrorEvent*)
    {
        ++numXErrors;
        return 0;
    }

    /** Gives JUCE's connection time to read an input event before the next one comes. */
    void pause (int milliseconds)
    {
        std::this_thread::sleep_for (std::chrono::milliseconds (milliseconds));
    }

    /** The shift of a colour mask's lowest bit and its width in bits. */
    void maskShape (unsigned long mask, int& shift, int& bits)
    {
        shift = 0;
        bits = 0;

        while (mask != 0 && (mask & 1) == 0)  { mask >>= 1; ++shift; }
        while ((mask & 1) != 0)               { mask >>= 1; ++bits; }
    }

    std::uint8_t channel (unsigned long pixel, int shift, int bits)
    {
        if (bits <= 0)
            return 0;

        const auto value = (pixel >> shift) & ((1ul << bits) - 1);
        return (std::uint8_t) (bits >= 8 ? value >> (bits - 8) : value * 255 / ((1ul << bits) - 1));
    }
} // namespace EditorWindowDetail

struct EditorWindow::Connection
{
    Display* display = nullptr;
    Window window = 0;
    bool hasXTest = false;
};

EditorWindow::EditorWindow (int w, int h)
    : x (std::make_unique<Connection>()), width (w), height (h)
{
    // A host keeps its X errors to itself; the plug-in's connection drops its own.
    XSetErrorHandler (&EditorWindowDetail::countError);
    x->display = XOpenDisplay (nullptr);

    if (x->display == nullptr)
    {
        error = "cannot open the X display (is DISPLAY set? run under xvfb-run)";
        return;
    }

    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    x->hasXTest = XTestQueryExtension (x->display, &eventBase, &errorBase, &major, &minor) != 0;

    const auto screen = DefaultScreen (x->display);
    XSetWindowAttributes attributes {};
    attributes.background_pixel = backgroundColour;
    attributes.event_mask = StructureNotifyMask;

    x->window = XCreateWindow (x->display, RootWindow (x->display, screen), 0, 0, (unsigned) w, (unsigned) h, 0,
                               CopyFromParent, InputOutput, CopyFromParent, CWBackPixel | CWEventMask, &attributes);
    XStoreName (x->display, x->window, "velcroft_host editor");
    XMapWindow (x->display, x->window);

    // Keys go to the window under the pointer, with or without a window manager.
    XSetInputFocus (x->display, PointerRoot, RevertToPointerRoot, CurrentTime);
    sync();
}

EditorWindow::~EditorWindow()
{
    if (x->display != nullptr)
    {
        if (x->window != 0)
            XDestroyWindow (x->display, x->window);

        XCloseDisplay (x->display);
    }
}

bool EditorWindow::isOpen() const noexcept
{
    return x->display != nullptr && x->window != 0;
}

void* EditorWindow::getHandle() const noexcept
{
    return reinterpret_cast<void*> (x->window);
}

int EditorWindow::getNumXErrors() noexcept
{
    return EditorWindowDetail::numXErrors.load();
}

void EditorWindow::sync()
{
    if (x->display == nullptr)
        return;

    XSync (x->display, False);
    drainEvents();
}

void EditorWindow::drainEvents()
{
    if (x->display == nullptr)
        return;

    while (XPending (x->display) > 0)
    {
        XEvent event;
        XNextEvent (x->display, &event);
    }
}

void EditorWindow::setSize (int newWidth, int newHeight)
{
    if (! isOpen() || newWidth <= 0 || newHeight <= 0)
        return;

    width = newWidth;
    height = newHeight;
    XResizeWindow (x->display, x->window, (unsigned) width, (unsigned) height);
    sync();
}

RgbImage EditorWindow::capture()
{
    using namespace EditorWindowDetail;

    if (! isOpen())
        return {};

    // Read from the screen where the window lies, so that windows the plug-in puts over its
    // editor (a text field lifted to the desktop, a menu) show as a user sees them: a window's
    // own image leaves what covers it undefined.
    int left = 0, top = 0;
    Window child = 0;
    const auto root = DefaultRootWindow (x->display);
    XTranslateCoordinates (x->display, x->window, root, 0, 0, &left, &top, &child);
    auto* image = XGetImage (x->display, root, left, top, (unsigned) width, (unsigned) height, AllPlanes, ZPixmap);

    if (image == nullptr)
        return {};

    RgbImage result;
    result.width = width;
    result.height = height;
    result.pixels.resize ((size_t) width * (size_t) height * 3);

    int rShift, rBits, gShift, gBits, bShift, bBits;
    maskShape (image->red_mask, rShift, rBits);
    maskShape (image->green_mask, gShift, gBits);
    maskShape (image->blue_mask, bShift, bBits);

    const bool direct32 = image->bits_per_pixel == 32 && image->byte_order == LSBFirst
                       && image->red_mask == 0xff0000 && image->green_mask == 0xff00 && image->blue_mask == 0xff;

    auto* out = result.pixels.data();

    for (int row = 0; row < height; ++row)
    {
        if (direct32)
        {
            const auto* in = reinterpret_cast<const std::uint8_t*> (image->data) + (size_t) row * (size_t) image->bytes_per_line;

            for (int col = 0; col < width; ++col, in += 4, out += 3)
            {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
            }
        }
        else
        {
            for (int col = 0; col < width; ++col, out += 3)
            {
                const auto pixel = XGetPixel (image, col, row);
                out[0] = channel (pixel, rShift, rBits);
                out[1] = channel (pixel, gShift, gBits);
                out[2] = channel (pixel, bShift, bBits);
            }
        }
    }

    XDestroyImage (image);
    return result;
}

void EditorWindow::movePointer (int px, int py)
{
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates (x->display, x->window, DefaultRootWindow (x->display), px, py, &rootX, &rootY, &child);
    XTestFakeMotionEvent (x->display, DefaultScreen (x->display), rootX, rootY, CurrentTime);
    XFlush (x->display);
}

void EditorWindow::click (int px, int py, bool withControl)
{
    if (! isOpen() || ! x->hasXTest)
        return;

    const auto control = XKeysymToKeycode (x->display, XK_Control_L);

    movePointer (px, py);
    EditorWindowDetail::pause (30);

    if (withControl)
        XTestFakeKeyEvent (x->display, control, True, CurrentTime);

    XTestFakeButtonEvent (x->display, 1, True, CurrentTime);
    XFlush (x->display);
    EditorWindowDetail::pause (30);
    XTestFakeButtonEvent (x->display, 1, False, CurrentTime);

    if (withControl)
        XTestFakeKeyEvent (x->display, control, False, CurrentTime);

    sync();
}

void EditorWindow::setButton (int px, int py, bool down)
{
    if (! isOpen() || ! x->hasXTest)
        return;

    movePointer (px, py);
    EditorWindowDetail::pause (30);
    XTestFakeButtonEvent (x->display, 1, down ? True : False, CurrentTime);
    sync();
}

void EditorWindow::drag (int x1, int y1, int x2, int y2)
{
    if (! isOpen() || ! x->hasXTest)
        return;

    constexpr int steps = 10;
    movePointer (x1, y1);
    EditorWindowDetail::pause (30);
    XTestFakeButtonEvent (x->display, 1, True, CurrentTime);
    XFlush (x->display);
    EditorWindowDetail::pause (30);

    for (int i = 1; i <= steps; ++i)
    {
        movePointer (x1 + (x2 - x1) * i / steps, y1 + (y2 - y1) * i / steps);
        EditorWindowDetail::pause (15);
    }

    XTestFakeButtonEvent (x->display, 1, False, CurrentTime);
    sync();
}

bool EditorWindow::sendKey (unsigned long keysym, unsigned int modifierMask)
{
    const auto keycode = XKeysymToKeycode (x->display, (KeySym) keysym);

    if (keycode == 0)
        return false;

    // A character that sits on a key's shifted level needs shift.
    if (XkbKeycodeToKeysym (x->display, keycode, 0, 0) != (KeySym) keysym
        && XkbKeycodeToKeysym (x->display, keycode, 0, 1) == (KeySym) keysym)
        modifierMask |= ShiftMask;

    const struct { unsigned int mask; KeySym key; } modifiers[] = {
        { ControlMask, XK_Control_L }, { ShiftMask, XK_Shift_L }, { Mod1Mask, XK_Alt_L }
    };

    for (auto& m : modifiers)
        if ((modifierMask & m.mask) != 0)
            XTestFakeKeyEvent (x->display, XKeysymToKeycode (x->display, m.key), True, CurrentTime);

    XTestFakeKeyEvent (x->display, keycode, True, CurrentTime);
    XTestFakeKeyEvent (x->display, keycode, False, CurrentTime);

    for (auto& m : modifiers)
        if ((modifierMask & m.mask) != 0)
            XTestFakeKeyEvent (x->display, XKeysymToKeycode (x->display, m.key), False, CurrentTime);

    XFlush (x->display);
    EditorWindowDetail::pause (15);
    return true;
}

bool EditorWindow::pressKey (const std::string& name)
{
    if (! isOpen() || ! x->hasXTest)
        return false;

    std::string rest = name;
    unsigned int mask = 0;

    for (;;)
    {
        if (rest.rfind ("ctrl+", 0) == 0)        { mask |= ControlMask; rest = rest.substr (5); }
        else if (rest.rfind ("shift+", 0) == 0)  { mask |= ShiftMask; rest = rest.substr (6); }
        else if (rest.rfind ("alt+", 0) == 0)    { mask |= Mod1Mask; rest = rest.substr (4); }
        else break;
    }

    const auto keysym = XStringToKeysym (rest.c_str());
    const auto sent = keysym != NoSymbol && sendKey (keysym, mask);
    sync();
    return sent;
}

bool EditorWindow::typeText (const std::string& text)
{
    if (! isOpen() || ! x->hasXTest)
        return false;

    bool allSent = true;

    // Printable ASCII characters are their own keysyms.
    for (auto c : text)
        allSent = (c >= 0x20 && c < 0x7f && sendKey ((unsigned long) (unsigned char) c, 0)) && allSent;

    sync();
    return allSent;
}

} // namespace vsthost
