#include "gui/controls/FileType.h"
#include "gui/controls/GFXDisplayFloat.h"
#include "gui/controls/SkinControlFactory.h"
#include "unit/MessageLoop.h"
#include "unit/SkinTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace GFXDisplayTestsDetail
{
using namespace SkinTestSupport;

// The product's font strip: 96 glyphs of 7 x 9 for the codes 32..127, then the same with the
// caret. Glyph g is filmstrip frame g, its caret form frame 96 + g, so a pixel tells which it is.
constexpr int glyphWidth = 7, glyphHeight = 9, productGlyphs = 96;

juce::Image makeGlyphStrip (int glyphs = productGlyphs)
{
    return makeFilmstrip (glyphWidth, glyphHeight, 2 * glyphs);
}

/** The preset name display as the product's skin makes it, with a test strip. */
std::unique_ptr<GFXDisplay> makeProductDisplay (const juce::String& text = {})
{
    auto display = std::make_unique<GFXDisplay> ("PresetNameDisplay");
    display->setColour (GFXDisplay::backgroundColourId, juce::Colour (0xff232224));
    display->setFont (makeGlyphStrip(), glyphHeight, ' ');
    display->setSize (153, 13);
    display->setText (text);
    return display;
}

/** What the display's columns show, read back from its picture: each glyph as its character,
    "|" before a glyph drawn with the caret, "?" where no glyph is; blanks at the end dropped. */
juce::String shownColumns (GFXDisplay& display)
{
    const auto image = snapshot (display);
    const auto glyphs = display.getGlyphCount();
    const auto left = (display.getWidth() - display.getNumColumns() * glyphWidth) / 2;
    const auto top = (display.getHeight() - display.getFontHeight()) / 2;
    juce::String shown;

    for (int i = 0; i < display.getNumColumns(); ++i)
    {
        const auto frame = frameOfColour (image.getPixelAt (left + i * glyphWidth + glyphWidth - 1, top + glyphHeight - 1));
        shown << (frame >= glyphs ? "|" : "")
              << (frame < 0 ? juce::String ("?") : juce::String::charToString ((juce::juce_wchar) (display.getFirstCode() + frame % glyphs)));
    }

    return shown.trimEnd();
}

/** A component that fills itself with one colour. */
struct Filled : public juce::Component
{
    explicit Filled (juce::Colour c) : colour (c) {}
    void paint (juce::Graphics& g) override { g.fillAll (colour); }
    juce::Colour colour;
};

/** Writes "name: text" into a shared log for each edit it is told of; can remove itself then. */
struct EditListener : public GFXDisplayListener
{
    EditListener (juce::StringArray& l, juce::String n) : log (l), name (std::move (n)) {}

    void displayTextEdited (GFXDisplay* display) override
    {
        log.add (name + ": " + display->getText());

        if (removeItself)
            display->removeListener (this);
    }

    juce::StringArray& log;
    juce::String name;
    bool removeItself = false;
};

/** The log's entries in one line, and a cleared log. */
juce::String take (juce::StringArray& log)
{
    return std::exchange (log, juce::StringArray()).joinIntoString (" | ");
}

void typeText (GFXDisplay& display, const juce::String& text)
{
    for (auto c : text)
        display.keyPressed (juce::KeyPress ((int) c, {}, c));
}

void press (GFXDisplay& display, int keyCode, juce::ModifierKeys mods = {})
{
    display.keyPressed (juce::KeyPress (keyCode, mods, 0));
}

//==============================================================================
/** Keeps the X server's keyboard focus to one test at a time: ctest runs test programs side by side.
    (One per test: POSIX file locks do not nest within a process.) */
struct KeyboardFocusLock
{
    KeyboardFocusLock()     { lock.enter (20000); }
    ~KeyboardFocusLock()    { lock.exit(); }

    juce::InterProcessLock lock { "VelcroftTestsKeyboardFocus" };
};

/** An editor window on the (Xvfb) desktop: the display and a focusable control after it. */
struct EditorWindow
{
    EditorWindow()
    {
        window.setBounds (200, 150, 400, 120);
        window.addToDesktop (0);
        window.setVisible (true);
        window.addAndMakeVisible (*display);
        display->setTopLeftPosition (130, 28);
        window.addAndMakeVisible (nextControl);
        nextControl.setBounds (300, 28, 20, 20);
        nextControl.setWantsKeyboardFocus (true);
    }

    static bool isAvailable()   { return juce::SystemStats::getEnvironmentVariable ("DISPLAY", {}).isNotEmpty(); }

    Filled window { juce::Colours::darkgrey };
    std::unique_ptr<GFXDisplay> display = makeProductDisplay ("Init");
    Filled nextControl { juce::Colours::white };
};
} // namespace GFXDisplayTestsDetail

using namespace GFXDisplayTestsDetail;

//==============================================================================
TEST (GFXDisplay, SkinGivesTextColoursGlyphMetricsAndBounds)
{
    ScopedResources resources;
    resources.add ("Fonts.png", makeGlyphStrip());
    SkinTestBench bench;

    const auto load = [&] (const juce::String& xml)
    {
        auto control = SkinControlFactory::createFromXml (*juce::parseXML (xml), bench.parameters, bench.events,
                                                          nullptr, SkinControlFactory::Level::editor);
        return std::unique_ptr<GFXDisplay> (dynamic_cast<GFXDisplay*> (control.component.release()));
    };
    const auto metrics = [] (GFXDisplay& d)
    {
        return juce::StringArray { juce::String (d.getGlyphWidth()), juce::String (d.getFontHeight()), juce::String (d.getFirstCode()),
                                   juce::String (d.getLastCode()), juce::String (d.getGlyphCount()), juce::String (d.getNumColumns()) }
            .joinIntoString (" ");
    };

    auto product = load (R"(
        <Display name="PresetNameDisplay" caretColour="FFBEF6FF" backgroundColour="FF232224">
          <links><link as="connectedTo" param="Name"/></links>
          <gfx resource="Fonts.png" firstASCII=" " fontHeight="9"/>
          <pos left="130" top="+28"/>
          <size width="153" height="13"/>
        </Display>)");
    ASSERT_NE (product, nullptr);
    EXPECT_EQ (product->getText(), "PresetNameDisplay") << "the name is the text until the parameter tells";
    EXPECT_EQ (product->findColour (GFXDisplay::caretColourId).getARGB(), 0xffbef6ffu);
    EXPECT_EQ (product->findColour (GFXDisplay::backgroundColourId).getARGB(), 0xff232224u);
    EXPECT_TRUE (product->isOpaque() && product->isEnabled());
    EXPECT_EQ (product->getBounds(), juce::Rectangle<int> (130, 28, 153, 13));
    EXPECT_EQ (metrics (*product), "7 9 32 127 96 21");

    bench["Name"].setValueFromText ("Crushed Drums", true);
    bench["Name"].handleUpdateNowIfNeeded();
    EXPECT_EQ (product->getText(), "Crushed Drums");

    // Every child counts, in document order; a strip that does not load keeps the one before.
    auto several = load (R"(
        <DisplayFloat readonly="Yes">
          <gfx resource="Fonts.png" fontHeight="10"/>
          <size width="50" height="20"/><pos left="5"/>
          <gfx resource="Missing.png" firstASCII="A"/>
        </DisplayFloat>)");
    ASSERT_NE (dynamic_cast<GFXDisplayFloat*> (several.get()), nullptr);
    EXPECT_EQ (metrics (*several), "7 0 65 65 1 7") << "a gfx without fontHeight: 0, one glyph";
    EXPECT_EQ (several->getBounds(), juce::Rectangle<int> (5, 0, 50, 20));
    EXPECT_TRUE (several->isEnabled()) << "only exactly \"yes\" makes it read-only";

    auto bare = load (R"(<Display readonly="yes"/>)");
    EXPECT_FALSE (bare->isEnabled());
    EXPECT_EQ (bare->getText() + juce::String (bare->getGlyphWidth()), "8");
    EXPECT_EQ (bare->findColour (GFXDisplay::backgroundColourId).getARGB(), 0u);
    EXPECT_FALSE (bare->isOpaque()) << "a see-through background leaves the field see-through";
}

TEST (GFXDisplay, DrawsTheStripsGlyphsCentredAndBlanksWhatItLacks)
{
    auto display = makeProductDisplay ("Hi! ~");
    EXPECT_EQ (shownColumns (*display), "Hi! ~");

    // 21 columns of 7 pixels in 153: 3 pixels on either side, glyphs 2 rows down in 13.
    const auto image = snapshot (*display);
    for (auto [x, y] : { std::pair (2, 6), std::pair (150, 6), std::pair (40, 1), std::pair (40, 11) })
        EXPECT_EQ (image.getPixelAt (x, y).getARGB(), 0xff232224u) << x << ", " << y;
    EXPECT_EQ (frameOfColour (image.getPixelAt (3, 2)), 'H' - ' ');
    savePictureIfAsked (display->createComponentSnapshot (display->getLocalBounds(), true, 4.0f), "GFXDisplay-glyphs.png");

    // Control characters, codes past the strip and characters whose low byte is in it show blank.
    display->setText ("a\tb" + juce::String::charToString (0x141) + juce::String::charToString (0xe9) + "\x7f");
    EXPECT_EQ (shownColumns (*display), "a b  \x7f");

    // A strip for the codes 120..219 holds characters past 127, and no space: blanks are its first glyph.
    display->setFont (makeFilmstrip (glyphWidth, glyphHeight, 200), glyphHeight, 'x');
    display->setText ("z " + juce::String::charToString (199) + juce::String::charToString (0xe9) + "A");
    EXPECT_EQ (shownColumns (*display).substring (0, 6), "zx" + juce::String::charToString (199) + "xxx");

    // Strips too short for one glyph per block, or no glyph height: nothing but the background.
    for (auto [strip, height] : { std::pair (makeFilmstrip (7, 9, 1), 9), std::pair (makeGlyphStrip(), 0) })
    {
        display->setFont (strip, height, ' ');
        EXPECT_EQ (snapshot (*display).getPixelAt (3, 2).getARGB(), 0xff232224u);
    }

    // A see-through field over a sibling lets the sibling show; an opaque one would hide it.
    Filled parent (juce::Colours::red), below (juce::Colours::green);
    parent.setBounds (0, 0, 160, 20);
    parent.addAndMakeVisible (below);
    below.setBounds (parent.getLocalBounds());
    auto clear = makeProductDisplay ("Hi");
    clear->setColour (GFXDisplay::backgroundColourId, juce::Colours::transparentBlack);
    parent.addAndMakeVisible (*clear);
    EXPECT_FALSE (clear->isOpaque());
    EXPECT_EQ (snapshot (parent).getPixelAt (1, 1), juce::Colours::green);
    EXPECT_EQ (frameOfColour (snapshot (parent).getPixelAt (3, 2)), 'H' - ' ');
    clear->setColour (GFXDisplay::backgroundColourId, juce::Colours::blue);
    EXPECT_TRUE (clear->isOpaque());

    // Without a strip the text is drawn with a font (look at the picture).
    GFXDisplay plain ("Plain");
    plain.setColour (GFXDisplay::backgroundColourId, juce::Colour (0xffe5e5e5));
    plain.setBounds (0, 0, 153, 16);
    plain.setText ("Crushed Drums");
    savePictureIfAsked (plain.createComponentSnapshot (plain.getLocalBounds(), true, 4.0f), "GFXDisplay-fallback.png");
}

TEST (GFXDisplay, KeysEditAtTheCaretAndKeepItInView)
{
    auto display = makeProductDisplay();

    typeText (*display, "abc");
    EXPECT_EQ (display->getTimerInterval(), 500) << "every key restarts the caret's blink";
    press (*display, juce::KeyPress::deleteKey);
    press (*display, juce::KeyPress::homeKey);
    press (*display, juce::KeyPress::backspaceKey);
    press (*display, juce::KeyPress::leftKey);
    EXPECT_EQ (display->getText() + juce::String (display->getCaretPosition()), "abc0")
        << "Delete at the end and Backspace at 0 change nothing";

    press (*display, juce::KeyPress::rightKey);
    press (*display, juce::KeyPress::deleteKey);
    press (*display, juce::KeyPress::backspaceKey);
    EXPECT_EQ (display->getText() + juce::String (display->getCaretPosition()), "c0");
    press (*display, juce::KeyPress::endKey);

    // Named keys count only without modifiers; only printable characters in the strip's range go in.
    press (*display, juce::KeyPress::leftKey, juce::ModifierKeys::shiftModifier);
    press (*display, juce::KeyPress::backspaceKey, juce::ModifierKeys::ctrlModifier);
    for (auto [code, character] : { std::pair ((int) 'A', 1), std::pair (127, 127), std::pair (0xe9, 0xe9), std::pair (juce::KeyPress::F1Key, 0) })
        display->keyPressed (juce::KeyPress (code, juce::ModifierKeys::ctrlModifier, (juce::juce_wchar) character));
    display->keyPressed (juce::KeyPress ('D', juce::ModifierKeys::shiftModifier, 'D'));
    display->keyPressed (juce::KeyPress (' ', {}, ' '));
    EXPECT_EQ (display->getText() + juce::String (display->getCaretPosition()), "cD 3");

    // Typing past the last of 21 columns scrolls: the caret stands in the last column.
    display->setText ({});
    typeText (*display, "abcdefghijklmnopqrstuvwxy");
    EXPECT_EQ (display->getScrollOffset(), 5);
    EXPECT_EQ (shownColumns (*display), "fghijklmnopqrstuvwxy");

    // Moving left keeps one character of context before the caret...
    for (int i = 0; i < 20; ++i)
        press (*display, juce::KeyPress::leftKey);
    EXPECT_EQ (display->getCaretPosition() * 100 + display->getScrollOffset(), 504);
    press (*display, juce::KeyPress::homeKey);
    EXPECT_EQ (display->getScrollOffset(), 0);

    // ...and, moving right with text after the caret, one after it.
    for (int i = 0; i < 20; ++i)
        press (*display, juce::KeyPress::rightKey);
    EXPECT_EQ (display->getCaretPosition() * 100 + display->getScrollOffset(), 2001);
}

//==============================================================================
TEST (GFXDisplay, EditLiftsTheFieldOntoTheDesktopAndPutsItBackInItsPlace)
{
    if (! EditorWindow::isAvailable())
        GTEST_SKIP() << "no X display (the suite runs under Xvfb)";

    KeyboardFocusLock focusLock;

    EditorWindow editor;
    auto& display = *editor.display;
    juce::StringArray log;
    EditListener first (log, "first"), second (log, "second");
    display.addListener (&first);
    display.addListener (&second);
    display.addListener (&second);
    second.removeItself = true;

    const auto screenBounds = display.getScreenBounds();
    display.startBlinking (100);
    MessageLoop::runFor (120);

    display.grabKeyboardFocus();
    ASSERT_TRUE (display.isEditing());
    EXPECT_TRUE (display.isOnDesktop() && display.hasKeyboardFocus (false));
    EXPECT_EQ (display.getParentComponent(), nullptr);
    EXPECT_EQ (display.getScreenBounds(), screenBounds) << "lifted in the same screen place";
    EXPECT_FALSE (display.isBlinking()) << "blinking stops when editing starts";
    EXPECT_EQ (display.getShownText(), "Init");
    EXPECT_EQ (display.getCaretPosition(), 4);
    EXPECT_EQ (display.getTimerInterval(), 500);

    // While the field is out, the editor shows a window of its own over its children.
    MessageLoop::runFor (50);
    ASSERT_TRUE (display.isEditing()) << "the edit survives the window system's focus events";
    Filled window (juce::Colours::yellow);
    editor.window.addAndMakeVisible (window);

    typeText (display, "X");
    EXPECT_EQ (shownColumns (display), "InitX|") << "the caret stands before the blank after the text";
    savePictureIfAsked (display.createComponentSnapshot (display.getLocalBounds(), true, 4.0f), "GFXDisplay-editing.png");

    press (display, juce::KeyPress::returnKey);
    EXPECT_FALSE (display.isEditing() || display.isOnDesktop() || display.isTimerRunning());
    EXPECT_EQ (editor.window.getIndexOfChildComponent (&display), 0) << "back in its own place, under the window";
    EXPECT_EQ (display.getBounds(), juce::Rectangle<int> (130, 28, 153, 13));
    EXPECT_TRUE (editor.nextControl.hasKeyboardFocus (false)) << "the focus goes on to the next control";
    EXPECT_EQ (take (log), "second: InitX | first: InitX") << "each told once, the last added first";

    // Escape restores the text from before the edit and tells nobody.
    display.grabKeyboardFocus();
    press (display, juce::KeyPress::backspaceKey);
    typeText (display, "YZ");
    EXPECT_EQ (display.getText(), "InitYZ");
    press (display, juce::KeyPress::escapeKey);
    EXPECT_EQ (display.getText(), "InitX");
    EXPECT_EQ (display.getParentComponent(), &editor.window);

    // An edit that changes nothing tells nobody; losing the focus ends an edit as Return does.
    display.grabKeyboardFocus();
    typeText (display, "!");
    press (display, juce::KeyPress::backspaceKey);
    press (display, juce::KeyPress::returnKey);
    EXPECT_EQ (take (log), "");

    display.grabKeyboardFocus();
    typeText (display, "!");
    editor.nextControl.grabKeyboardFocus();
    EXPECT_EQ (display.getParentComponent(), &editor.window);
    EXPECT_EQ (take (log), "first: InitX!");

    // With no other control to take the focus the field still lets it go, so the next click edits again.
    editor.nextControl.setWantsKeyboardFocus (false);
    display.grabKeyboardFocus();
    press (display, juce::KeyPress::returnKey);
    EXPECT_FALSE (display.hasKeyboardFocus (false));
    display.grabKeyboardFocus();
    EXPECT_TRUE (display.isEditing());
    press (display, juce::KeyPress::escapeKey);

    // A read-only field never takes the focus.
    display.setEnabled (false);
    display.grabKeyboardFocus();
    EXPECT_FALSE (display.isEditing() || display.hasKeyboardFocus (false));
}

TEST (GFXDisplay, ParentGoingAwayDuringAnEditIsSafe)
{
    if (! EditorWindow::isAvailable())
        GTEST_SKIP() << "no X display (the suite runs under Xvfb)";

    KeyboardFocusLock focusLock;

    auto editor = std::make_unique<EditorWindow>();
    auto display = std::move (editor->display);
    juce::StringArray log;
    EditListener listener (log, "listener");
    display->addListener (&listener);

    display->grabKeyboardFocus();
    ASSERT_TRUE (display->isEditing());
    editor.reset();
    MessageLoop::runFor (20);

    typeText (*display, "?");
    press (*display, juce::KeyPress::returnKey);
    EXPECT_FALSE (display->isEditing());
    EXPECT_FALSE (display->isOnDesktop()) << "with nowhere to go back to, the field leaves the desktop";
    EXPECT_EQ (take (log), "listener: Init?");

    // The other way round: the field goes away during its edit, and its parent lives on.
    EditorWindow second;
    second.display->grabKeyboardFocus();
    ASSERT_TRUE (second.display->isEditing());
    second.display.reset();
    MessageLoop::runFor (20);
    EXPECT_EQ (second.window.getNumChildComponents(), 1);
}

//==============================================================================
TEST (GFXDisplayFloat, NineDigitsReadBackExactlyAndNoPointStandsInTheLastColumn)
{
    EXPECT_EQ (GFXDisplayFloat::formatValue (12.34567f, 3), " 12.3456697");
    EXPECT_EQ (GFXDisplayFloat::formatValue (12.34567f, 4), "12.3456697");

    for (float value : { 1.0f / 3.0f, 1.0e-7f, -2.5f, 16777216.0f, 3.0e38f })
    {
        const auto text = GFXDisplayFloat::formatValue (value, 0);
        char expected[64];
        std::snprintf (expected, sizeof (expected), "%.9g", (double) value);
        EXPECT_EQ (text, juce::String (expected));
        EXPECT_EQ ((float) std::strtod (text.toRawUTF8(), nullptr), value) << text;
    }

    // Linked to a parameter: its value, in the field's two columns.
    SkinTestBench bench;
    GFXDisplayFloat display ("Value");
    display.setFont (makeGlyphStrip(), glyphHeight, ' ');
    display.setLinkedParameter (&bench["Alpha"]);

    display.setSize (2 * glyphWidth, glyphHeight);
    bench["Alpha"].setValue (0.5f, true);
    bench["Alpha"].handleUpdateNowIfNeeded();
    EXPECT_EQ (display.getText(), " 0.5");
}

TEST (FileType, WildcardIsAStarBeforeTheExtension)
{
    const FileType midiMaps (".vlccmap");
    EXPECT_EQ (midiMaps.getExtension(), ".vlccmap");
    EXPECT_EQ (midiMaps.getWildcard(), "*.vlccmap");
}
