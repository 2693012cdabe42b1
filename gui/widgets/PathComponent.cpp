#include "gui/widgets/PathComponent.h"

PathComponent::PathComponent()
{
    browseButton.addListener (this);
    addAndMakeVisible (browseButton);

    lookAndFeelChanged();
    setSize (getWidth(), browseButton.getHeight());
    updateTextLayout();
}

PathComponent::~PathComponent()
{
    browseButton.removeListener (this);
}

void PathComponent::setPath (const juce::String& newPath, bool notify)
{
    if (newPath == path)
        return;

    path = newPath;
    updateTextLayout();

    if (notify)
        listeners.call ([this] (Listener& l) { l.pathChanged (this); });
}

void PathComponent::setDialogArguments (const juce::String& title, const juce::File& location, const juce::String& patterns)
{
    dialogTitle = title;
    initialLocation = location;
    filePatterns = patterns;
}

void PathComponent::setGap (int newGap)
{
    if (newGap != gap)
    {
        gap = newGap;
        resized();
    }
}

void PathComponent::updateTextLayout()
{
    pathWidth = juce::roundToInt (font.getStringWidthFloat (path));
    ellipsisWidth = juce::roundToInt (font.getStringWidthFloat (ellipsis));
    repaint();
}

void PathComponent::fileChosen (const juce::File& file)
{
    if (file != juce::File())
        setPath (file.getFullPathName(), true);
}

void PathComponent::browse()
{
    // One dialog at a time; the chooser stays alive at least until it has answered.
    if (browsing)
        return;

    browsing = true;
    chooser = std::make_unique<juce::FileChooser> (dialogTitle, initialLocation, filePatterns, true);

    chooser->launchAsync (juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles,
                          [safeThis = juce::Component::SafePointer<PathComponent> (this)] (const juce::FileChooser& fc)
                          {
                              if (safeThis == nullptr)
                                  return;

                              safeThis->browsing = false;
                              safeThis->fileChosen (fc.getResult());
                          });
}

//==============================================================================
void PathComponent::buttonClicked (juce::Button* button)
{
    if (button == &browseButton)
        browse();
}

void PathComponent::childBoundsChanged (juce::Component* child)
{
    if (child != &browseButton)
        return;

    // A button of a new height resizes the field (and lays it out); one that only changed
    // its width needs the layout alone.
    if (getHeight() != browseButton.getHeight())
        setSize (getWidth(), browseButton.getHeight());
    else
        resized();
}

void PathComponent::enablementChanged()
{
    browseButton.setEnabled (isEnabled());
    repaint();
}

void PathComponent::lookAndFeelChanged()
{
    if (auto* laf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
    {
        font = laf->getDefaultFont();
        updateTextLayout();
    }
}

void PathComponent::resized()
{
    const auto buttonWidth = browseButton.getWidth();

    frame = { 0, 4, juce::jmax (0, getWidth() - buttonWidth - gap), juce::jmax (0, getHeight() - 8) };
    textArea = frame.reduced (4, 0);
    browseButton.setTopLeftPosition (getWidth() - buttonWidth, 0);
}

void PathComponent::paint (juce::Graphics& g)
{
    const auto alpha = isEnabled() ? 1.0f : 0.5f;
    const auto outline = findColour (outlineColourId);

    if (! outline.isTransparent())
    {
        g.setColour (findColour (backgroundColourId).withAlpha (alpha));
        DefaultLookAndFeel::fillRoundedRectangle (g, frame, 4.0f);
        g.setColour (outline.withAlpha (alpha));
        DefaultLookAndFeel::drawRoundedOutline (g, frame, 4.0f, 1.0f);
    }

    g.setFont (font);
    g.setColour (findColour (textColourId).withAlpha (alpha));

    if (pathWidth <= frame.getWidth() - 8)
    {
        g.drawText (path, textArea, juce::Justification::centredLeft, false);
        return;
    }

    // The beginning that fits (glyphs that do not are left out), then a faint mark.
    auto area = textArea;
    const auto mark = area.removeFromRight (ellipsisWidth);
    g.drawText (path, area, juce::Justification::centredLeft, false);
    g.setOpacity (0.5f);
    g.drawText (ellipsis, mark, juce::Justification::centredLeft, false);
}
