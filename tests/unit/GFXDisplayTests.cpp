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

/** A strip that reads like the product's (for pictures only): light glyphs drawn with a font,
    the caret block with a bar in each glyph's first column. */
juce::Image makeReadableStrip()
{
    juce::Image strip (juce::Image::ARGB, glyphWidth, 2 * productGlyphs * glyphHeight, true);
    juce::Graphics g (strip);
    g.setColour (juce::Colour (0xffbef6ff));
    g.setFont (juce::Font (10.0f));

    for (int block = 0; block < 2; ++block)
        for (int glyph = 0; glyph < productGlyphs; ++glyph)
        {
            const auto top = (block * productGlyphs + glyph) * glyphHeight;
            g.drawText (juce::String::charToString ((juce::juce_wchar) (' ' + glyph)), 0, top, glyphWidth, glyphHeight,
                        juce::Justification::centred, false);

            if (block == 1)
                g.fillRect (0, top, 1, glyphHeight);
        }

    return strip;
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

/** The strip frame drawn in each column of a display (-1 where no glyph is drawn). */
std::vector<int> shownGlyphs (GFXDisplay& display)
{
    const auto image = snapshot (display);
    const auto columns = display.getNumColumns();
    const auto left = (display.getWidth() - columns * display.getGlyphWidth()) / 2;
    const auto top = (display.getHeight() - display.getFontHeight()) / 2;
    std::vector<int> frames;

    for (int i = 0; i < columns; ++i)
        frames.push_back (frameOfColour (image.getPixelAt (left + i * glyphWidth + glyphWidth - 1, top + glyphHeight - 1)));

    return frames;
}

/** The glyphs a text shows as in a field of so many columns, blanks after it. */
std::vector<int> glyphsOf (const juce::String& text, int columns = 21)
{
    std::vector<int> frames ((size_t) columns, 0);

    for (int i = 0; i < juce::jmin (columns, text.length()); ++i)
        frames[(size_t) i] = (int) text[i] - ' ';

    return frames;
}

/** A component that fills itself with one colour. */
struct Filled : public juce::Component
{
    explicit Filled (juce::Colour c) : colour (c) {}
    void paint (juce::Graphics& g) override { g.fillAll (colour); }
    juce::Colour colour;
};

/** Records the displays' edits, each under its listener's name. */
struct EditLog
{
    struct Listener : public GFXDisplayListener
    {
        Listener (EditLog& l, juce::String n) : log (l), name (std::move (n)) {}

        void displayTextEdited (GFXDisplay* display) override
        {
            log.entries.add (name + ": " + display->getText());

            if (removeItselfFrom != nullptr)
                std::exchange (removeItselfFrom, nullptr)->removeListener (this);
        }

        EditLog& log;
        juce::String name;
        GFXDisplay* removeItselfFrom = nullptr;
    };

    juce::String take()   { return std::exchange (entries, juce::StringArray()).joinIntoString (" | "); }

    juce::StringArray entries;
};

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
/** An editor window on the (Xvfb) desktop: a background, the display, a focusable sibling. */
struct EditorWindow
{
    EditorWindow()
    {
        window.setBounds (200, 150, 400, 120);
        window.addToDesktop (0);
        window.setVisible (true);
        window.addAndMakeVisible (background);
        background.setBounds (window.getLocalBounds());
        window.addAndMakeVisible (*display);
        display->setTopLeftPosition (130, 28);
        window.addAndMakeVisible (nextControl);
        nextControl.setBounds (300, 28, 20, 20);
        nextControl.setWantsKeyboardFocus (true);
    }

    static bool isAvailable()   { return juce::SystemStats::getEnvironmentVariable ("DISPLAY", {}).isNotEmpty(); }

    Filled window { juce::Colours::darkgrey };
    Filled background { juce::Colours::grey };
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

    auto product = load (R"(
        <Display name="PresetNameDisplay" caretColour="FFBEF6FF" backgroundColour="FF232224">
          <links><link as="connectedTo" param="Name"/></links>
          <gfx resource="Fonts.png" firstASCII=" " fontHeight="9"/>
          <pos left="130" top="+28"/>
          <size width="153" height="13"/>
        </Display>)");
    ASSERT_NE (product, nullptr);
    EXPECT_EQ (product->getName(), "PresetNameDisplay");
    EXPECT_EQ (product->getText(), "PresetNameDisplay") << "the name is the text until the parameter tells";
    EXPECT_EQ (product->findColour (GFXDisplay::caretColourId).getARGB(), 0xffbef6ffu);
    EXPECT_EQ (product->findColour (GFXDisplay::backgroundColourId).getARGB(), 0xff232224u);
    EXPECT_TRUE (product->isOpaque());
    EXPECT_TRUE (product->isEnabled());
    EXPECT_EQ (product->getBounds(), juce::Rectangle<int> (130, 28, 153, 13));
    EXPECT_EQ (product->getGlyphWidth(), 7);
    EXPECT_EQ (product->getFontHeight(), 9);
    EXPECT_EQ (product->getFirstCode(), 32);
    EXPECT_EQ (product->getLastCode(), 127);
    EXPECT_EQ (product->getGlyphCount(), 96);
    EXPECT_EQ (product->getNumColumns(), 21);

    bench["Name"].setValueFromText ("Crushed Drums", true);
    bench["Name"].handleUpdateNowIfNeeded();
    EXPECT_EQ (product->getText(), "Crushed Drums");

    // Every child counts, in document order; a strip that does not load keeps the one before.
    auto several = load (R"(
        <Display readonly="yes">
          <gfx resource="Fonts.png" fontHeight="10"/>
          <size width="50" height="20"/><pos left="5"/>
          <gfx resource="Missing.png" firstASCII="A"/>
        </Display>)");
    EXPECT_TRUE (several->getFontImage().isValid());
    EXPECT_EQ (several->getFontHeight(), 0) << "a gfx without fontHeight sets it to 0";
    EXPECT_EQ (several->getFirstCode(), 'A');
    EXPECT_EQ (several->getGlyphCount(), 1) << "a font height of 0 gives one glyph";
    EXPECT_EQ (several->getBounds(), juce::Rectangle<int> (5, 0, 50, 20));
    EXPECT_FALSE (several->isEnabled()) << "readonly";

    auto tall = load (R"(<DisplayFloat readonly="Yes"><gfx resource="Fonts.png" fontHeight="10"/></DisplayFloat>)");
    ASSERT_NE (dynamic_cast<GFXDisplayFloat*> (tall.get()), nullptr);
    EXPECT_EQ (tall->getLastCode(), 1728 / 20 + 31);
    EXPECT_TRUE (tall->isEnabled()) << "only exactly \"yes\" makes it read-only";

    auto bare = load ("<Display/>");
    EXPECT_EQ (bare->getText(), "");
    EXPECT_EQ (bare->getGlyphWidth(), 8);
    EXPECT_EQ (bare->findColour (GFXDisplay::backgroundColourId).getARGB(), 0u);
    EXPECT_FALSE (bare->isOpaque()) << "a see-through background leaves the field see-through";
}

TEST (GFXDisplay, DrawsTheStripsGlyphsCentredAndBlanksWhatItLacks)
{
    auto display = makeProductDisplay ("Hi! ~");
    EXPECT_EQ (shownGlyphs (*display), glyphsOf ("Hi! ~"));

    // 21 columns of 7 pixels in 153: 3 pixels on either side, glyphs 2 rows down in 13.
    const auto image = snapshot (*display);
    for (auto [x, y] : { std::pair (0, 0), std::pair (2, 6), std::pair (150, 6), std::pair (152, 12), std::pair (40, 1), std::pair (40, 11) })
        EXPECT_EQ (image.getPixelAt (x, y).getARGB(), 0xff232224u) << x << ", " << y;
    EXPECT_EQ (frameOfColour (image.getPixelAt (3, 2)), 'H' - ' ');
    savePng (display->createComponentSnapshot (display->getLocalBounds(), true, 4.0f), "GFXDisplay-glyphs.png");

    // Control characters, codes past the strip and characters whose low byte is in it show blank.
    display->setText (juce::String ("a\tb") + juce::String::charToString (0x141) + juce::String::charToString (0xe9) + "\x7f");
    EXPECT_EQ (shownGlyphs (*display), (std::vector<int> { 'a' - 32, 0, 'b' - 32, 0, 0, 127 - 32, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 }));

    // A strip for the codes 120..219: it holds characters past 127, and no space.
    display->setFont (makeFilmstrip (glyphWidth, glyphHeight, 200), glyphHeight, 'x');
    display->setText (juce::String ("z ") + juce::String::charToString (199) + juce::String::charToString (0xe9) + "A");
    EXPECT_EQ (display->getLastCode(), 219);
    const auto wide = shownGlyphs (*display);
    EXPECT_EQ (std::vector<int> (wide.begin(), wide.begin() + 6), (std::vector<int> { 'z' - 'x', 0, 199 - 'x', 0, 0, 0 }));

    // Strips too short for one glyph per block, or no glyph height: nothing but the background.
    for (auto [strip, height] : { std::pair (makeFilmstrip (7, 9, 1), 9), std::pair (makeGlyphStrip(), 0) })
    {
        auto empty = makeProductDisplay ("Hi");
        empty->setFont (strip, height, ' ');
        const auto picture = snapshot (*empty);
        EXPECT_EQ (picture.getPixelAt (3, 2).getARGB(), 0xff232224u);
        EXPECT_EQ (picture.getPixelAt (9, 10).getARGB(), 0xff232224u);
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
    const auto through = snapshot (parent);
    EXPECT_EQ (through.getPixelAt (1, 1), juce::Colours::green);
    EXPECT_EQ (frameOfColour (through.getPixelAt (3, 2)), 'H' - ' ');
    clear->setColour (GFXDisplay::backgroundColourId, juce::Colours::blue);
    EXPECT_TRUE (clear->isOpaque());

    // Without a strip the text is drawn with a font (look at the picture).
    GFXDisplay plain ("Plain");
    plain.setColour (GFXDisplay::backgroundColourId, juce::Colour (0xffe5e5e5));
    plain.setBounds (0, 0, 153, 16);
    plain.setText ("Crushed Drums");
    EXPECT_EQ (snapshot (plain).getPixelAt (0, 0).getARGB(), 0xffe5e5e5u);
    savePng (plain.createComponentSnapshot (plain.getLocalBounds(), true, 4.0f), "GFXDisplay-fallback.png");
}

TEST (GFXDisplay, KeysEditAtTheCaretAndKeepItInView)
{
    auto display = makeProductDisplay();
    EXPECT_EQ (display->getTimerInterval(), 250);

    typeText (*display, "abc");
    EXPECT_EQ (display->getText(), "abc");
    EXPECT_EQ (display->getCaretPosition(), 3);
    EXPECT_EQ (display->getTimerInterval(), 500) << "every key restarts the caret's blink";

    press (*display, juce::KeyPress::deleteKey);
    press (*display, juce::KeyPress::homeKey);
    press (*display, juce::KeyPress::backspaceKey);
    EXPECT_EQ (display->getText(), "abc") << "Delete at the end and Backspace at 0 change nothing";
    EXPECT_EQ (display->getCaretPosition(), 0);
    press (*display, juce::KeyPress::leftKey);
    EXPECT_EQ (display->getCaretPosition(), 0);

    press (*display, juce::KeyPress::rightKey);
    press (*display, juce::KeyPress::deleteKey);
    EXPECT_EQ (display->getText(), "ac");
    press (*display, juce::KeyPress::backspaceKey);
    EXPECT_EQ (display->getText(), "c");
    EXPECT_EQ (display->getCaretPosition(), 0);
    press (*display, juce::KeyPress::endKey);
    EXPECT_EQ (display->getCaretPosition(), 1);

    // Named keys count only without modifiers; only printable characters in the strip's range go in.
    press (*display, juce::KeyPress::leftKey, juce::ModifierKeys::shiftModifier);
    press (*display, juce::KeyPress::backspaceKey, juce::ModifierKeys::ctrlModifier);
    display->keyPressed (juce::KeyPress ('A', juce::ModifierKeys::ctrlModifier, 1));
    display->keyPressed (juce::KeyPress (127, {}, 127));
    display->keyPressed (juce::KeyPress (0xe9, {}, 0xe9));
    display->keyPressed (juce::KeyPress (juce::KeyPress::F1Key, {}, 0));
    EXPECT_EQ (display->getText(), "c");
    EXPECT_EQ (display->getCaretPosition(), 1);
    display->keyPressed (juce::KeyPress ('D', juce::ModifierKeys::shiftModifier, 'D'));
    display->keyPressed (juce::KeyPress (' ', {}, ' '));
    EXPECT_EQ (display->getText(), "cD ");

    // Typing past the last of 21 columns scrolls: the caret stands in the last column.
    display->setText ({});
    press (*display, juce::KeyPress::homeKey);
    typeText (*display, "abcdefghijklmnopqrstuvwxy");
    EXPECT_EQ (display->getCaretPosition(), 25);
    EXPECT_EQ (display->getScrollOffset(), 5);
    EXPECT_EQ (shownGlyphs (*display)[0], 'f' - ' ');

    // Moving left keeps one character of context before the caret...
    for (int i = 0; i < 20; ++i)
        press (*display, juce::KeyPress::leftKey);
    EXPECT_EQ (display->getCaretPosition(), 5);
    EXPECT_EQ (display->getScrollOffset(), 4);

    press (*display, juce::KeyPress::homeKey);
    EXPECT_EQ (display->getScrollOffset(), 0);

    // ...and, moving right with text after the caret, one after it.
    for (int i = 0; i < 20; ++i)
        press (*display, juce::KeyPress::rightKey);
    EXPECT_EQ (display->getCaretPosition(), 20);
    EXPECT_EQ (display->getScrollOffset(), 1);
}

//==============================================================================
TEST (GFXDisplay, EditLiftsTheFieldOntoTheDesktopAndPutsItBackInItsPlace)
{
    if (! EditorWindow::isAvailable())
        GTEST_SKIP() << "no X display (the suite runs under Xvfb)";

    EditorWindow editor;
    auto& display = *editor.display;
    EditLog log;
    EditLog::Listener first (log, "first"), second (log, "second");
    display.addListener (&first);
    display.addListener (&second);
    display.addListener (&second);
    second.removeItselfFrom = &display;

    const auto screenBounds = display.getScreenBounds();
    display.startBlinking (100);
    MessageLoop::runFor (120);

    display.grabKeyboardFocus();
    ASSERT_TRUE (display.isEditing());
    EXPECT_TRUE (display.isOnDesktop());
    EXPECT_EQ (display.getParentComponent(), nullptr);
    EXPECT_EQ (display.getScreenBounds(), screenBounds) << "lifted in the same screen place";
    EXPECT_TRUE (display.hasKeyboardFocus (false));
    EXPECT_FALSE (display.isBlinking()) << "blinking stops when editing starts";
    EXPECT_EQ (display.getShownText(), "Init");
    EXPECT_EQ (display.getCaretPosition(), 4);
    EXPECT_EQ (display.getTimerInterval(), 500);

    // While the field is out, the editor shows a window of its own over its children.
    MessageLoop::runFor (50);
    ASSERT_TRUE (display.isEditing()) << "the edit survives the window system's focus events";
    Filled window (juce::Colours::yellow);
    editor.window.addAndMakeVisible (window);
    window.setBounds (100, 10, 200, 100);

    typeText (display, "X");
    EXPECT_EQ (shownGlyphs (display), [] { auto g = glyphsOf ("InitX"); g[5] = productGlyphs; return g; }())
        << "the caret stands before the blank after the text";
    display.setFont (makeReadableStrip(), glyphHeight, ' ');
    savePng (display.createComponentSnapshot (display.getLocalBounds(), true, 4.0f), "GFXDisplay-editing.png");
    display.setFont (makeGlyphStrip(), glyphHeight, ' ');

    display.keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
    EXPECT_FALSE (display.isEditing());
    EXPECT_FALSE (display.isOnDesktop());
    EXPECT_EQ (display.getParentComponent(), &editor.window);
    EXPECT_EQ (editor.window.getIndexOfChildComponent (&display), 1) << "back in its own place, under the window";
    EXPECT_EQ (editor.window.getIndexOfChildComponent (&window), editor.window.getNumChildComponents() - 1);
    EXPECT_EQ (display.getBounds(), juce::Rectangle<int> (130, 28, 153, 13));
    EXPECT_FALSE (display.isTimerRunning());
    EXPECT_EQ (display.getCaretPosition(), 0);
    EXPECT_FALSE (display.hasKeyboardFocus (false));
    EXPECT_TRUE (editor.nextControl.hasKeyboardFocus (false)) << "the focus goes on to the next control";
    EXPECT_EQ (log.take(), "second: InitX | first: InitX") << "each told once, the last added first";

    // Escape restores the text from before the edit and tells nobody.
    display.grabKeyboardFocus();
    ASSERT_TRUE (display.isEditing());
    press (display, juce::KeyPress::backspaceKey);
    typeText (display, "YZ");
    EXPECT_EQ (display.getText(), "InitYZ");
    press (display, juce::KeyPress::escapeKey);
    EXPECT_EQ (display.getText(), "InitX");
    EXPECT_EQ (display.getParentComponent(), &editor.window);
    EXPECT_EQ (log.take(), "");

    // An edit that changes nothing tells nobody; an edit that does tells the one listener left.
    display.grabKeyboardFocus();
    typeText (display, "!");
    press (display, juce::KeyPress::backspaceKey);
    press (display, juce::KeyPress::returnKey);
    EXPECT_EQ (log.take(), "");

    display.grabKeyboardFocus();
    typeText (display, "!");
    editor.nextControl.grabKeyboardFocus();
    EXPECT_FALSE (display.isEditing()) << "losing the focus ends the edit";
    EXPECT_EQ (display.getParentComponent(), &editor.window);
    EXPECT_EQ (log.take(), "first: InitX!");

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
    EXPECT_FALSE (display.isEditing());
    EXPECT_FALSE (display.hasKeyboardFocus (false));
}

TEST (GFXDisplay, ParentGoingAwayDuringAnEditIsSafe)
{
    if (! EditorWindow::isAvailable())
        GTEST_SKIP() << "no X display (the suite runs under Xvfb)";

    auto editor = std::make_unique<EditorWindow>();
    auto display = std::move (editor->display);
    EditLog log;
    EditLog::Listener listener (log, "listener");
    display->addListener (&listener);

    display->grabKeyboardFocus();
    ASSERT_TRUE (display->isEditing());
    editor.reset();
    MessageLoop::runFor (20);

    typeText (*display, "?");
    press (*display, juce::KeyPress::returnKey);
    EXPECT_FALSE (display->isEditing());
    EXPECT_FALSE (display->isOnDesktop()) << "with nowhere to go back to, the field leaves the desktop";
    EXPECT_EQ (display->getParentComponent(), nullptr);
    EXPECT_EQ (log.take(), "listener: Init?");

    // The other way round: the field goes away during its edit, and its parent lives on.
    EditorWindow second;
    second.display->grabKeyboardFocus();
    ASSERT_TRUE (second.display->isEditing());
    const auto children = second.window.getNumChildComponents();
    second.display.reset();
    MessageLoop::runFor (20);
    EXPECT_EQ (second.window.getNumChildComponents(), children);
}

//==============================================================================
TEST (GFXDisplayFloat, NineDigitsReadBackExactlyAndNoPointStandsInTheLastColumn)
{
    EXPECT_EQ (GFXDisplayFloat::formatValue (12.34567f, 3), " 12.3456697");
    EXPECT_EQ (GFXDisplayFloat::formatValue (12.34567f, 4), "12.3456697");

    for (float value : { 0.1f, 1.0f / 3.0f, 1.0e-7f, 123456.789f, -2.5f, 16777216.0f, 3.0e38f, 0.0f })
    {
        const auto text = GFXDisplayFloat::formatValue (value, 0);
        char expected[64];
        std::snprintf (expected, sizeof (expected), "%.9g", (double) value);
        EXPECT_EQ (text, juce::String (expected));
        EXPECT_EQ ((float) std::strtod (text.toRawUTF8(), nullptr), value) << text;
    }

    // Linked to a parameter: its value, in the field's columns.
    SkinTestBench bench;
    GFXDisplayFloat display ("Value");
    display.setFont (makeGlyphStrip(), glyphHeight, ' ');
    display.setLinkedParameter (&bench["Alpha"]);
    display.setSize (2 * glyphWidth, glyphHeight);
    bench["Alpha"].setValue (0.5f, true);
    bench["Alpha"].handleUpdateNowIfNeeded();
    EXPECT_EQ (display.getText(), " 0.5");

    display.setSize (3 * glyphWidth, glyphHeight);
    bench["Alpha"].setValue (0.25f, true);
    bench["Alpha"].handleUpdateNowIfNeeded();
    EXPECT_EQ (display.getText(), "0.25");
}

TEST (FileType, WildcardIsAStarBeforeTheExtension)
{
    const FileType midiMaps (".vlccmap");
    EXPECT_EQ (midiMaps.getExtension(), ".vlccmap");
    EXPECT_EQ (midiMaps.getWildcard(), "*.vlccmap");
}
