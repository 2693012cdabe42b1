#include "tools/art/ModulatorArt.h"
#include "tools/art/ToolkitArt.h"
#include "gui/widgets/ToolkitImageNames.h"

namespace ModulatorArtDetail
{
using namespace ArtPalette;
using Names = ToolkitImageNames;

/** The icon glyph each button shows: plus, minus, up, down, gear. */
int glyphOf (Names::ModulatorButton button)
{
    const int glyphs[] = { 9, 10, 6, 5, 13 };
    return glyphs[(int) button];
}

void drawButton (ArtCanvas& c, Names::ModulatorButton button, bool mouseOver)
{
    // Under the mouse the face lights up and the glyph takes the accent colour.
    const Face overFace { juce::Colours::white, juce::Colour (0xffe8eef4), accent.darker (0.4f),
                          juce::Colours::white, juce::Colours::black.withAlpha (0.14f) };
    const juce::Rectangle<int> faceArea (0, 0, 21, 20);
    c.drawFace (mouseOver ? overFace : raisedFace, faceArea, 3.0f);

    const auto glyphArea = juce::Rectangle<float> (11.0f, 11.0f).withCentre (faceArea.toFloat().getCentre());
    ToolkitArt::drawIconGlyph (c, glyphOf (button), glyphArea, 2.0f, mouseOver ? accent.darker (0.3f) : ink);
}

/** The curve's ground: dark, a column per key (7 pixels), lighter at every C, and lines at
    the quarters of the height. The keyboard under it lines up with the columns. */
void drawPitchScalerBackground (ArtCanvas& c)
{
    auto& g = c.getGraphics();
    const auto w = c.getWidth(), h = c.getHeight();

    juce::Path ground;
    ground.addRectangle (0.0f, 0.0f, (float) w, (float) h);
    c.fillVertical (ground, titleBar.darker (0.55f), 0.0f, titleBar.darker (0.2f), (float) h);

    for (int key = 0; key <= 128; ++key)
    {
        const auto x = key * 7;
        const auto octave = key % 12 == 0;
        g.setColour ((octave ? selection : outline).withAlpha (octave ? 0.55f : 0.35f));
        g.fillRect (x, 0, 1, h);
    }

    for (int quarter = 1; quarter < 4; ++quarter)
    {
        g.setColour (selection.withAlpha (quarter == 2 ? 0.45f : 0.25f));
        g.fillRect (0, (h * quarter) / 4, w, 1);
    }

    g.setColour (outline);
    g.drawRect (0, 0, w, h, 1);
}
} // namespace ModulatorArtDetail

ArtImageList ModulatorArt::getImages()
{
    using namespace ModulatorArtDetail;
    ArtImageList images;

    for (int i = 0; i < Names::numModulatorButtons; ++i)
        for (auto over : { false, true })
        {
            const auto button = (Names::ModulatorButton) i;
            images.push_back ({ Names::modulatorButton (button, over), 21, 21,
                                [button, over] (ArtCanvas& c) { drawButton (c, button, over); } });
        }

    images.push_back ({ Names::pitchScalerBackground(), 897, 200, drawPitchScalerBackground });
    return images;
}
