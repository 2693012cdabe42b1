#include "gui/controls/MusicKeyboard.h"
#include "unit/SkinTestSupport.h"

#include <gtest/gtest.h>

namespace MusicKeyboardTestsDetail
{
using namespace SkinTestSupport;

/** Records the notes a keyboard reports: "+60" pressed, "-60" released. */
struct KeyLog : public MusicKeyboard::Listener
{
    void keyboardKeyPressed (int note) override     { notes.add ("+" + juce::String (note)); }
    void keyboardKeyReleased (int note) override    { notes.add ("-" + juce::String (note)); }

    juce::StringArray take()                        { return std::exchange (notes, {}); }

    juce::StringArray notes;
};

/** The notes whose keys are down. */
juce::Array<int> pressedNotes (const MusicKeyboard& keyboard)
{
    juce::Array<int> notes;

    for (int n = 0; n < 128; ++n)
        if (keyboard.getKey (n)->isPressed())
            notes.add (n);

    return notes;
}

/** The middle of a key's bounds, a little above its bottom, in the keyboard. */
juce::Point<float> lowOn (const MusicKeyboard& keyboard, int note)
{
    const auto bounds = keyboard.getKey (note)->getBounds();
    return { (float) bounds.getCentreX(), (float) bounds.getBottom() - 4.0f };
}
} // namespace MusicKeyboardTestsDetail

using namespace MusicKeyboardTestsDetail;

TEST (MusicKeyboard, KeysAreLaidOutInProportionOverTheRange)
{
    MusicKeyboard keyboard;
    keyboard.setKeyRange (60, 71);
    keyboard.setSize (120, 50);

    EXPECT_EQ (keyboard.getKey (60)->getBounds(), juce::Rectangle<int> (0, -2, 18, 52));
    EXPECT_EQ (keyboard.getKey (61)->getBounds(), juce::Rectangle<int> (10, -2, 11, 34));
    EXPECT_EQ (keyboard.getKey (62)->getBounds(), juce::Rectangle<int> (17, -2, 18, 52));
    EXPECT_EQ (keyboard.getKey (69)->getBounds(), juce::Rectangle<int> (85, -2, 20, 52));
    EXPECT_FALSE (keyboard.getKey (59)->isVisible());
    EXPECT_TRUE (keyboard.getKey (71)->isVisible());
    EXPECT_EQ (keyboard.getKey (61)->getName(), "Key No. 61");

    // Black keys lie in front of every white key.
    EXPECT_GT (keyboard.getIndexOfChildComponent (keyboard.getKey (1)), keyboard.getIndexOfChildComponent (keyboard.getKey (127)));
}

TEST (MusicKeyboard, RangeFromTheSkinAndInvalidRangesRefused)
{
    SkinTestBench bench;
    ScopedResources resources;
    resources.add ("Key.png", makeFilmstrip (14, 40, 8));

    MusicKeyboard keyboard;
    bench.load (keyboard, R"(<MusicKeyboard firstKey="48" lastKey="59"><size width="240" height="60"/><pos left="100" top="50"/>
                               <Keys><Key left="1" right="1"><gfx resource="Key.png" framesNum="8"/>
                                       <size width="14" height="40"/><pos left="130" top="55"/></Key></Keys>
                             </MusicKeyboard>)");
    EXPECT_EQ (keyboard.getBounds(), juce::Rectangle<int> (100, 50, 240, 60));
    EXPECT_EQ (keyboard.getFirstKey(), 48);
    EXPECT_FALSE (keyboard.getKey (47)->isVisible());
    EXPECT_FALSE (keyboard.getKey (60)->isVisible());

    // The first "Key" element is note 48, placed in the keyboard's parent's coordinates.
    EXPECT_TRUE (keyboard.getKey (48)->hasImage());
    EXPECT_EQ (keyboard.getKey (48)->getBounds(), juce::Rectangle<int> (30, 5, 14, 40));
    EXPECT_FALSE (keyboard.getKey (49)->hasImage());

    // Only one end given: the range stays.
    bench.load (keyboard, R"(<MusicKeyboard firstKey="0"><size width="240" height="60"/></MusicKeyboard>)");
    EXPECT_EQ (keyboard.getFirstKey(), 48);

    // Ranges that are empty, upside down or past the notes leave the old range.
    for (auto [first, last] : { std::pair (60, 59), std::pair (-1, 10), std::pair (0, 128), std::pair (200, 300) })
    {
        keyboard.setKeyRange (first, last);
        EXPECT_EQ (keyboard.getFirstKey(), 48) << first;
        EXPECT_EQ (keyboard.getLastKey(), 59) << last;
    }

    // A tag that is no keyboard's only empties the size.
    bench.load (keyboard, R"(<Keyboard><size width="240" height="60"/></Keyboard>)");
    EXPECT_EQ (keyboard.getBounds(), juce::Rectangle<int> (100, 50, 0, 0));
}

TEST (MusicKeyboard, PressDragAcrossAndReleaseOutsideLeaveNothingDown)
{
    MusicKeyboard keyboard;
    keyboard.setKeyRange (60, 71);
    keyboard.setSize (120, 50);
    KeyLog log;
    keyboard.addListener (&log);

    const auto c = lowOn (keyboard, 60), d = lowOn (keyboard, 62), e = lowOn (keyboard, 64);
    Mouse::press (keyboard, c);
    Mouse::drag (keyboard, c, d);
    Mouse::drag (keyboard, c, e);
    Mouse::drag (keyboard, c, { 60.0f, 200.0f });   // off every key
    Mouse::release (keyboard, c, { 60.0f, 200.0f });
    EXPECT_EQ (log.take(), juce::StringArray ("+60", "-60", "+62", "-62", "+64", "-64"));
    EXPECT_TRUE (pressedNotes (keyboard).isEmpty());

    // Released over another key without a drag in between: the held key comes up.
    Mouse::press (keyboard, c);
    Mouse::release (keyboard, c, e);
    EXPECT_EQ (log.take(), juce::StringArray ("+60", "-60"));
    EXPECT_TRUE (pressedNotes (keyboard).isEmpty());

    // The mouse turned off while a key is held: it comes up.
    Mouse::press (keyboard, d);
    keyboard.setMouseEnabled (false);
    EXPECT_EQ (log.take(), juce::StringArray ("+62", "-62"));
    EXPECT_TRUE (pressedNotes (keyboard).isEmpty());

    // And then the mouse plays nothing.
    Mouse::press (keyboard, c);
    Mouse::release (keyboard, c, c);
    EXPECT_TRUE (log.take().isEmpty());
    keyboard.removeListener (&log);
}

TEST (MusicKeyboard, HiddenKeysCannotBeHit)
{
    // Laid out over all notes first, then over one octave: the keys outside keep their old places.
    MusicKeyboard keyboard;
    keyboard.setSize (1280, 50);
    keyboard.setKeyRange (0, 11);
    ASSERT_TRUE (keyboard.getKey (127)->getBounds().contains (1275, 40));

    auto* hit = keyboard.getKeyAt ({ 1275, 40 });
    ASSERT_NE (hit, nullptr);
    EXPECT_EQ (hit->getNote(), 11);

    SkinTestBench bench;
    MusicKeyboard disabled;
    bench.load (disabled, R"(<MusicKeyboard mouseEnabled="no"><size width="120" height="50"/></MusicKeyboard>)");
    Mouse::press (disabled, { 3.0f, 40.0f });
    EXPECT_TRUE (pressedNotes (disabled).isEmpty());
}

TEST (MusicKeyboard, KeyImagesShowTheirNeighboursStates)
{
    SkinTestBench bench;
    ScopedResources resources;
    resources.add ("Key.png", makeFilmstrip (14, 40, 8));

    MusicKeyboard keyboard;
    bench.load (keyboard, R"(<MusicKeyboard firstKey="60" lastKey="62"><size width="60" height="50"/>
                               <Keys><Key/><Key left="1" right="1"><gfx resource="Key.png" framesNum="8"/>
                                       <size width="14" height="40"/><pos left="20" top="0"/></Key>
                                     <Key left="40" right="-3"/></Keys>
                             </MusicKeyboard>)");
    auto& key = *keyboard.getKey (61);
    const auto frameFor = [&] (bool below, bool self, bool above)
    {
        keyboard.getKey (60)->setPressed (below);
        key.setPressed (self);
        keyboard.getKey (62)->setPressed (above);
        return std::pair (key.getFrameIndex(), shownFrame (key, { 2, 2 }));
    };

    // The upper neighbour is the higher bit; the pressed frames follow the released ones.
    EXPECT_EQ (frameFor (false, false, false), std::pair (0, 0));
    EXPECT_EQ (frameFor (true, false, false), std::pair (1, 1));
    EXPECT_EQ (frameFor (false, false, true), std::pair (2, 2));
    EXPECT_EQ (frameFor (true, false, true), std::pair (3, 3));
    EXPECT_EQ (frameFor (false, true, false), std::pair (4, 4));
    EXPECT_EQ (frameFor (true, true, true), std::pair (7, 7));

    // Neighbour counts past what an int's bits hold are clamped.
    EXPECT_EQ (keyboard.getKey (62)->getLeftNeighbours(), MusicKeyboard::maxNeighbours);
    EXPECT_EQ (keyboard.getKey (62)->getRightNeighbours(), 0);
}
