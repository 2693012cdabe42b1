/*
    What every bitmap control shares: a filmstrip image whose frames are stacked vertically,
    frame 0 at the top, each as wide as the image and image height / framesNum high; the
    frame size (from the image, or from the skin's "size" when there is no image) and the
    control's position in its parent, all read from the control's skin element.
*/
#pragma once

#include "gui/controls/GUIController.h"

class BaseGFXController : public GUIController
{
public:
    BaseGFXController() = default;

    /** Reads the common part (links, actions), then "gfx", then "size" when no image was
        loaded, then "pos". */
    void loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                      EventsMap& events, juce::Component* owner) override;

    /** Reads the "gfx" child: the image named by "resource", cut into "framesNum" frames
        (1 when missing). An image that fails to load changes nothing but the frame count. */
    void loadGfxFromXml (const juce::XmlElement& element);

    /** Reads the "size" child as the frame size (each side 0 when missing, never negative). */
    void loadSizeFromXml (const juce::XmlElement& element);

    /** Reads the "pos" child as the control's position in its parent (each 0 when missing). */
    void loadPositionFromXml (const juce::XmlElement& element);

    /** Sets the filmstrip from code; a frame count below 1 is taken as 1. The frame size follows
        the image (0 by 0 without one). */
    void setImage (const juce::Image& newImage, int numFrames);

    //==============================================================================
    /** The filmstrip, or a null image. */
    const juce::Image& getImage() const noexcept        { return image; }

    /** True when the control has a filmstrip to draw. */
    bool hasImage() const noexcept                      { return image.isValid(); }

    /** The number of frames in the filmstrip, at least 1 once the skin has been read. */
    int getFramesNum() const noexcept                   { return framesNum; }

    /** The size of one frame, which is the control's size. */
    int getFrameWidth() const noexcept                  { return frameWidth; }
    int getFrameHeight() const noexcept                 { return frameHeight; }

    /** The position the skin gives the control in its parent. */
    juce::Point<int> getSkinPosition() const noexcept   { return { left, top }; }

    /** Draws one frame of the filmstrip unscaled at the control's origin. Nothing for a frame
        outside 0..framesNum-1 or one that lies (partly) past the end of the image. */
    void drawFrame (juce::Graphics& g, int frame) const;

protected:
    /** Called when the frame size has changed. */
    virtual void frameSizeChanged() {}

    /** Called when the skin position has changed. */
    virtual void positionChanged() {}

private:
    void setFrameSize (int width, int height);

    juce::Image image;
    int framesNum = 0;
    int frameWidth = 0, frameHeight = 0;
    int left = 0, top = 0;
};
