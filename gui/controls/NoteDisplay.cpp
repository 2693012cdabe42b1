#include "gui/controls/NoteDisplay.h"

#include "framework/EmbeddedResources.h"
#include "framework/NoteNames.h"
#include "gui/controls/SkinXml.h"

namespace NoteDisplayDetail
{
/** The number of frames in each strip: notes, tones, octaves. */
const int stripFrames[] = { 9, 3, 13 };
} // namespace NoteDisplayDetail

NoteDisplay::NoteDisplay (const juce::String& name)
    : juce::Component (name)
{
    for (auto& cell : cells)
        cell = { 0, 0, 10, 16 };
}

bool NoteDisplay::isStripShown() const
{
    return isEnabled() && ! isInBlinkOnPhase();
}

int NoteDisplay::getStripFrame (Strip strip) const
{
    if (! isStripShown())
        return 0;

    switch (strip)
    {
        case notesStrip:    return noteLetterIndex (value) + 1;
        case tonesStrip:    return isWhiteKey (value) ? 2 : 1;
        case octavesStrip:  return value / 12 + 1;
        default:            return 0;
    }
}

//==============================================================================
void NoteDisplay::updateFromParameter (Parameter* parameter)
{
    if (parameter == nullptr)
        return;

    const auto newValue = juce::jlimit (0, 127, parameter->getIntValue());

    if (newValue != value)
    {
        value = newValue;
        repaint();
    }
}

void NoteDisplay::loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                               EventsMap& events, juce::Component* owner)
{
    GUIController::loadFromXml (element, parameters, events, owner);

    if (element.getTagName() != "NoteDisplay")
        return;

    if (auto* size = element.getChildByName ("size"))
    {
        const auto cellWidth = juce::jmax (0, SkinXml::getInt (*size, "width")) / 3;
        const auto cellHeight = juce::jmax (0, SkinXml::getInt (*size, "height"));

        for (auto& cell : cells)
            cell = { 0, 0, cellWidth, cellHeight };
    }

    if (auto* gfx = element.getChildByName ("gfx"))
    {
        const char* const tags[] = { "notes", "tones", "octaves" };

        for (int i = 0; i < numStrips; ++i)
        {
            auto* child = gfx->getChildByName (tags[i]);
            juce::Image image;

            if (child == nullptr || ! loadImageResource (child->getStringAttribute ("resource"), image) || ! image.isValid())
                continue;

            images[i] = image;
            cells[i].setSize (image.getWidth(), image.getHeight() / NoteDisplayDetail::stripFrames[i]);
        }
    }

    cells[tonesStrip].setX (cells[notesStrip].getWidth());
    cells[octavesStrip].setX (cells[notesStrip].getWidth() + cells[tonesStrip].getWidth());

    if (auto* pos = element.getChildByName ("pos"))
        setTopLeftPosition (SkinXml::getInt (*pos, "left"), SkinXml::getInt (*pos, "top"));

    int width = 0, height = 0;

    for (auto& cell : cells)
    {
        width += cell.getWidth();
        height += cell.getHeight();
    }

    setSize (width, height);
    repaint();
}

//==============================================================================
void NoteDisplay::paint (juce::Graphics& g)
{
    const auto shown = isStripShown();
    const juce::String texts[] = { noteLetterName (value), isWhiteKey (value) ? "-" : "#", juce::String (value / 12) };

    for (int i = 0; i < numStrips; ++i)
    {
        const auto& cell = cells[i];

        if (images[i].isValid())
        {
            const auto frame = getStripFrame ((Strip) i);
            const juce::Rectangle<int> source (0, frame * cell.getHeight(), cell.getWidth(), cell.getHeight());

            if (images[i].getBounds().contains (source) && ! source.isEmpty())
                g.drawImageAt (images[i].getClippedImage (source), cell.getX(), cell.getY());

            continue;
        }

        g.setColour (juce::Colour (0xffffffff));
        g.fillRect (cell);

        if (shown)
        {
            g.setColour (juce::Colour (0xff000000));
            g.drawFittedText (texts[i], cell, juce::Justification::centred, 1, 0.7f);
        }
    }
}

void NoteDisplay::blinkStateChanged()
{
    repaint();
}

void NoteDisplay::mouseDown (const juce::MouseEvent&)
{
    beginGesture();
    valueAtMouseDown = value;
    dragScale = 1.0;
    pixelsPerStep = 20;
    dragging = true;
}

void NoteDisplay::mouseDrag (const juce::MouseEvent& e)
{
    if (! dragging)
        return;

    const auto steps = -e.getDistanceFromDragStartY() / pixelsPerStep;
    const auto newValue = juce::jlimit (0, 127, (int) (steps * dragScale + valueAtMouseDown));

    if (newValue == value)
        return;

    value = newValue;
    writeParameter ([newValue] (Parameter& p) { p.setIntValue (newValue, true); });
    repaint();
}

void NoteDisplay::mouseUp (const juce::MouseEvent&)
{
    endGesture();
    dragging = false;
}
