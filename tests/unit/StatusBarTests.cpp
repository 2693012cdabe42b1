#include "gui/widgets/DefaultLookAndFeel.h"
#include "gui/widgets/StatusBar.h"
#include "unit/SkinTestSupport.h"

#include <gtest/gtest.h>

// The timer is driven by hand: timerCallback is what JUCE calls when the time runs out.
TEST (StatusBar, AHigherPriorityHoldsTheBarUntilItsTimeRunsOut)
{
    StatusBar bar;
    EXPECT_EQ (bar.getText(), "");
    EXPECT_EQ (bar.getPriority(), 0);

    bar.setText ("Cutoff: 0.50", 6, 3000);                  // a control moved in the editor
    EXPECT_EQ (bar.getPriority(), 6);
    EXPECT_TRUE (bar.isTimingOut());
    EXPECT_EQ (bar.getTimeout(), 3000);

    bar.setText ("CC 74: Cutoff", 5, 3000);                 // a MIDI controller: lower
    EXPECT_EQ (bar.getText(), "Cutoff: 0.50");

    bar.setText ("Cutoff: 0.51", 6, 3000);
    EXPECT_EQ (bar.getText(), "Cutoff: 0.51") << "the same priority replaces";

    bar.setText ("Cutoff: 0.51", 6, 0);
    EXPECT_TRUE (bar.isTimingOut()) << "the same text again changes nothing";

    bar.timerCallback();
    EXPECT_EQ (bar.getText(), "");
    EXPECT_EQ (bar.getPriority(), 0);
    EXPECT_FALSE (bar.isTimingOut());

    bar.setText ("CC 74: Cutoff", 5, 3000);
    EXPECT_EQ (bar.getText(), "CC 74: Cutoff") << "after running out, anything shows";

    // MIDI learn stays until replaced by its own level or cleared.
    bar.setText ("Move a controller to assign Cutoff", 7, 0);
    EXPECT_FALSE (bar.isTimingOut());
    bar.setText ("Cutoff: 0.52", 6, 3000);
    EXPECT_EQ (bar.getPriority(), 7);
    bar.clear();
    EXPECT_EQ (bar.getText(), "");
    EXPECT_EQ (bar.getPriority(), 0);

    // An empty text with a timeout does not leave its timer running once it runs out.
    bar.setText ("Settings saved", 4, 0);
    bar.setText ({}, 4, 3000);
    bar.timerCallback();
    EXPECT_FALSE (bar.isTimingOut());
}

TEST (StatusBar, TakesItsHeightFontAndColoursFromTheLookAndFeel)
{
    DefaultLookAndFeel laf;
    StatusBar bar;
    bar.setBounds (10, 300, 400, 30);
    bar.setText ("Cutoff: 0.50", 6, 3000);
    bar.setLookAndFeel (&laf);
    EXPECT_EQ (bar.getBounds(), juce::Rectangle<int> (10, 300, 400, 16)) << "width and position kept";

    const auto picture = SkinTestSupport::snapshot (bar);
    SkinTestSupport::savePictureIfAsked (picture, "status-bar.png");
    EXPECT_EQ (picture.getPixelAt (2, 8), juce::Colour (0xff444444));
    EXPECT_EQ (picture.getPixelAt (390, 8), juce::Colour (0xff444444));

    // White text starting 5 pixels in.
    int light = 0;

    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 80; ++x)
            if (picture.getPixelAt (x, y).getBrightness() > 0.8f)
            {
                EXPECT_GE (x, 5);
                ++light;
            }

    EXPECT_GT (light, 20);
    bar.setLookAndFeel (nullptr);
}
