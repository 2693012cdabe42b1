/*
    A read-only field showing a file's full path, with a "Browse" button beside it that asks
    for an existing file. A path too long for the field shows its beginning and a faint
    "[...]" at its end. The file dialog never runs a modal loop (the editor lives inside a
    host): it is launched asynchronously and kept alive until it answers.
*/
#pragma once

#include "framework/ListenerArray.h"
#include "gui/widgets/TextButtonEx.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class PathComponent : public juce::Component,
                      public juce::Button::Listener
{
public:
    /** The field's colours (defaults in DefaultLookAndFeel). */
    enum ColourIds
    {
        backgroundColourId = 0x0f002200,
        textColourId       = 0x0f002201,
        outlineColourId    = 0x0f002202    ///< fully transparent: no field drawn behind the text
    };

    /** Told when the path changes by the user's choice or setPath with notification. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        /** The field's path has changed. */
        virtual void pathChanged (PathComponent* field) = 0;
    };

    /** An empty field, as high as its button. */
    PathComponent();
    ~PathComponent() override;

    /** Shows a path; when it differs from the shown one and notify is true, the listeners hear. */
    void setPath (const juce::String& newPath, bool notify);
    const juce::String& getPath() const noexcept            { return path; }

    /** What the file dialog shows: its title, the folder it opens in and the file patterns
        ("*.abc;*.def"). */
    void setDialogArguments (const juce::String& title, const juce::File& location, const juce::String& patterns);
    const juce::String& getDialogTitle() const noexcept     { return dialogTitle; }
    const juce::File& getInitialLocation() const noexcept   { return initialLocation; }
    const juce::String& getFilePatterns() const noexcept    { return filePatterns; }

    /** The space between the field and the button. */
    void setGap (int newGap);

    /** Takes the file the user chose: a file shows its full path and tells the listeners;
        no file (the dialog was cancelled) changes nothing. */
    void fileChosen (const juce::File& file);

    /** Measures the path and the "[...]" mark again and repaints. */
    void updateTextLayout();

    /** The browse button. */
    TextButtonEx& getBrowseButton() noexcept                { return browseButton; }

    /** True while a file dialog is open. */
    bool isBrowsing() const noexcept                        { return browsing; }

    /** The field (the area left of the button) and the text area inside it. */
    juce::Rectangle<int> getFieldArea() const noexcept      { return frame; }
    juce::Rectangle<int> getTextArea() const noexcept       { return textArea; }

    /** Adds a listener (not owned; null or one already there is ignored). */
    void addListener (Listener* listener)                   { listeners.add (listener); }
    /** Removes a listener. */
    void removeListener (Listener* listener)                { listeners.remove (listener); }

    //==============================================================================
    /** @internal */
    void buttonClicked (juce::Button* button) override;
    /** @internal */
    void childBoundsChanged (juce::Component* child) override;
    /** @internal */
    void enablementChanged() override;
    /** @internal */
    void lookAndFeelChanged() override;
    /** @internal */
    void paint (juce::Graphics& g) override;
    /** @internal */
    void resized() override;

private:
    juce::String path;
    juce::Rectangle<int> frame, textArea;
    TextButtonEx browseButton { "Browse", 1 };
    juce::Font font;
    int gap = 0, pathWidth = 0, ellipsisWidth = 0;
    const juce::String ellipsis { "[...]" };
    juce::String dialogTitle;
    juce::File initialLocation;
    juce::String filePatterns;
    ListenerArray<Listener> listeners;
    std::unique_ptr<juce::FileChooser> chooser;
    bool browsing = false;

    void browse();

    JUCE_DECLARE_NON_COPYABLE (PathComponent)
};
