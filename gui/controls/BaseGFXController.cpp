#include "gui/controls/BaseGFXController.h"

#include "framework/EmbeddedResources.h"
#include "gui/controls/SkinXml.h"

void BaseGFXController::loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                                     EventsMap& events, juce::Component* owner)
{
    GUIController::loadFromXml (element, parameters, events, owner);
    loadGfxFromXml (element);

    if (! hasImage())
        loadSizeFromXml (element);

    loadPositionFromXml (element);
}

void BaseGFXController::loadGfxFromXml (const juce::XmlElement& element)
{
    framesNum = 1;

    auto* gfx = element.getChildByName ("gfx");

    if (gfx == nullptr)
        return;

    // A frame count below 1 would divide by zero: the skin never means it, take it as 1.
    framesNum = juce::jmax (1, SkinXml::getInt (*gfx, "framesNum", 1));

    juce::Image loaded;

    if (loadImageResource (gfx->getStringAttribute ("resource"), loaded) && loaded.isValid())
        setImage (loaded, framesNum);
}

void BaseGFXController::loadSizeFromXml (const juce::XmlElement& element)
{
    if (auto* size = element.getChildByName ("size"))
        setFrameSize (juce::jmax (0, SkinXml::getInt (*size, "width")),
                      juce::jmax (0, SkinXml::getInt (*size, "height")));
}

void BaseGFXController::loadPositionFromXml (const juce::XmlElement& element)
{
    auto* pos = element.getChildByName ("pos");

    if (pos == nullptr)
        return;

    const auto newLeft = SkinXml::getInt (*pos, "left");
    const auto newTop = SkinXml::getInt (*pos, "top");

    if (newLeft != left || newTop != top)
    {
        left = newLeft;
        top = newTop;
        positionChanged();
    }
}

void BaseGFXController::setImage (const juce::Image& newImage, int numFrames)
{
    if (newImage != image)
        image = newImage;

    framesNum = juce::jmax (1, numFrames);

    if (image.isValid())
        setFrameSize (image.getWidth(), image.getHeight() / framesNum);
    else
        setFrameSize (0, 0);
}

void BaseGFXController::setFrameSize (int width, int height)
{
    if (width != frameWidth || height != frameHeight)
    {
        frameWidth = width;
        frameHeight = height;
        frameSizeChanged();
    }
}

//==============================================================================
void BaseGFXController::drawFrame (juce::Graphics& g, int frame) const
{
    if (! image.isValid() || frame < 0 || frame >= framesNum || frameWidth < 1 || frameHeight < 1)
        return;

    const juce::Rectangle<int> area (0, frame * frameHeight, frameWidth, frameHeight);

    // A strip shorter than its frame count has frames past its end: they show nothing.
    if (! image.getBounds().contains (area))
        return;

    g.drawImageAt (image.getClippedImage (area), 0, 0);
}
