#include "editor/OldStylePresetBrowserWindow.h"
#include "framework/ParameterManager.h"
#include "gui/SkinFonts.h"
#include "gui/widgets/DefaultLookAndFeel.h"

namespace OldStylePresetBrowserWindowDetail
{
/** The file with the extension added when its name lacks it. */
juce::File withExtension (const juce::File& file, const juce::String& extension)
{
    return file.hasFileExtension (extension) ? file : file.getSiblingFile (file.getFileName() + extension);
}

/** The icon each image button shows, in the order the buttons are made. */
constexpr int iconIndices[] = { 9, 10, 1, 3, 6, 5 };
} // namespace OldStylePresetBrowserWindowDetail

OldStylePresetBrowserWindow::OldStylePresetBrowserWindow (BasePluginOldStyle& pluginToBrowse)
    : plugin (pluginToBrowse), parameters (pluginToBrowse.getParameterManager())
{
    setName ("PresetBrowser");
    setTitle ("Preset Browser");
    addAndMakeVisible (browser);

    for (auto* label : { &presetLabel, &bankLabel })
    {
        label->setFont (SkinFonts::getFont (13.0f));
        label->setJustificationType (juce::Justification::centredRight);
        label->setSize ((int) label->getFont().getStringWidthFloat (label->getText()) + 20, 20);
    }

    juce::Button* const buttons[] = { &addGroupButton, &removeGroupButton, &copyButton, &pasteButton, &upButton,
                                      &downButton, &loadPresetButton, &savePresetButton, &loadBankButton, &saveBankButton };
    const char* const tooltips[] = { "Add group", "Remove empty group", "Copy current preset", "Paste copied preset",
                                     "Select previous preset", "Select next preset", "Load preset", "Save current preset",
                                     "Load preset bank", "Save current preset bank" };

    for (auto* button : buttons)
        button->addListener (this);

    for (int i = 0; i < juce::numElementsInArray (buttons); ++i)
        buttons[i]->setTooltip (tooltips[i]);

    upButton.setRepeatSpeed (1000, 100, -1);
    downButton.setRepeatSpeed (1000, 100, -1);

    lookAndFeelChanged();

    iconRow.setVertical (true);

    for (int i = 0; i < 6; ++i)
        iconRow.addAndMakeVisible (buttons[i]);

    fileRow.setAlignment (ComponentRow::alignCentre);

    for (auto* c : std::initializer_list<juce::Component*> { &presetLabel, &loadPresetButton, &savePresetButton,
                                                             &bankLabel, &loadBankButton, &saveBankButton })
        fileRow.addAndMakeVisible (c);

    addAndMakeVisible (iconRow);
    addAndMakeVisible (fileRow);

    // Heard on the message thread: the current preset also changes on the audio and host threads.
    parameters.addAsyncListener (ParameterManager::currentPresetNumberIndex, this);
    parameters.addAsyncListener (ParameterManager::currentPresetNameIndex, this);
}

OldStylePresetBrowserWindow::~OldStylePresetBrowserWindow()
{
    // The plug-in deletes its editor after its preset layer has gone: from here on nothing
    // may ask the bank, so the columns go first, before the rows' layout could refresh them.
    browser.clearColumns();
    parameters.removeAsyncListener (ParameterManager::currentPresetNumberIndex, this);
    parameters.removeAsyncListener (ParameterManager::currentPresetNameIndex, this);

    for (auto* button : std::initializer_list<juce::Button*> { &addGroupButton, &removeGroupButton, &copyButton, &pasteButton,
                                                               &upButton, &downButton, &loadPresetButton, &savePresetButton,
                                                               &loadBankButton, &saveBankButton })
        button->removeListener (this);

    chooser.reset();
}

juce::ImageButton* OldStylePresetBrowserWindow::getIconButton (const juce::String& name) const
{
    for (auto* c : iconRow.getChildren())
        if (c->getName() == name)
            return dynamic_cast<juce::ImageButton*> (c);

    return nullptr;
}

TextButtonEx& OldStylePresetBrowserWindow::getFileButton (bool bank, bool save) noexcept
{
    return bank ? (save ? saveBankButton : loadBankButton) : (save ? savePresetButton : loadPresetButton);
}

void OldStylePresetBrowserWindow::updateGroupButtons()
{
    auto* groups = browser.getGroupColumn();
    const auto one = groups != nullptr && groups->getList().getNumSelectedRows() == 1;

    addGroupButton.setEnabled (one);
    removeGroupButton.setEnabled (one && plugin.getNumPresetsInGroup (browser.getSelectedGroup()) == 0);
}

//==============================================================================
bool OldStylePresetBrowserWindow::loadPresetFromFile (const juce::File& file)
{
    const auto loaded = plugin.loadPresetFile (file, plugin.getCurrentPresetIndex());
    plugin.setRecentlyUsedDirectory (file.getParentDirectory());
    return loaded;
}

bool OldStylePresetBrowserWindow::savePresetToFile (const juce::File& file)
{
    const auto target = OldStylePresetBrowserWindowDetail::withExtension (file, plugin.getPresetFileExtension());
    const auto saved = plugin.savePresetFile (target, plugin.getCurrentPresetIndex());
    plugin.setRecentlyUsedDirectory (target.getParentDirectory());
    return saved;
}

bool OldStylePresetBrowserWindow::loadBankFromFile (const juce::File& file)
{
    const auto loaded = plugin.loadPresetBankFile (file);

    // Groups may have come and gone under the columns.
    browser.refresh();
    return loaded;
}

bool OldStylePresetBrowserWindow::saveBankToFile (const juce::File& file)
{
    return plugin.savePresetBankFile (OldStylePresetBrowserWindowDetail::withExtension (file, plugin.getPresetBankFileExtension()));
}

void OldStylePresetBrowserWindow::launchDialog (const juce::String& title, const juce::String& patterns, bool save,
                                                std::function<void (const juce::File&)> action)
{
    chooser = std::make_unique<juce::FileChooser> (title, plugin.getRecentlyUsedDirectory(), patterns, true);

    const auto flags = save ? juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles
                                  | juce::FileBrowserComponent::warnAboutOverwriting
                            : juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles;

    const juce::Component::SafePointer<OldStylePresetBrowserWindow> self (this);
    chooser->launchAsync (flags, [self, action] (const juce::FileChooser& fc)
    {
        const auto file = fc.getResult();

        if (self != nullptr && file != juce::File())
            action (file);
    });
}

//==============================================================================
void OldStylePresetBrowserWindow::parameterChanged (Parameter* parameter)
{
    if (parameter == nullptr)
        return;

    const auto index = parameter->getIndex();

    if (index != ParameterManager::currentPresetNumberIndex && index != ParameterManager::currentPresetNameIndex)
        return;

    // Laying out the lists starts JUCE's timers, whose thread then wakes the process for good:
    // a window nobody sees waits until it is shown.
    if (! isShowing())
    {
        catchUpPending = true;
        return;
    }

    if (index == ParameterManager::currentPresetNumberIndex)
        showPreset (parameter->getIntValue());
    else
        browser.refresh();
}

void OldStylePresetBrowserWindow::showPreset (int slot)
{
    const auto group = plugin.getGroupOfPreset (slot);
    const auto first = plugin.getGroupFirstPresetIndex (group);
    browser.selectGroupAndPreset (group, first == -1 ? -1 : slot - first);
}

void OldStylePresetBrowserWindow::catchUpWhenShowing()
{
    if (! catchUpPending || ! isShowing())
        return;

    catchUpPending = false;
    browser.refresh();

    if (auto* number = parameters.getParameter (ParameterManager::currentPresetNumberIndex))
        showPreset (number->getIntValue());
}

void OldStylePresetBrowserWindow::parentHierarchyChanged()
{
    WindowComponent::parentHierarchyChanged();
    catchUpWhenShowing();
}

void OldStylePresetBrowserWindow::visibilityChanged()
{
    WindowComponent::visibilityChanged();
    catchUpWhenShowing();
}

void OldStylePresetBrowserWindow::buttonClicked (juce::Button* button)
{
    if (button == &addGroupButton)
    {
        plugin.addGroup (browser.getSelectedGroup());
        browser.refresh();
    }
    else if (button == &removeGroupButton)
    {
        plugin.removeGroup (browser.getSelectedGroup());
        browser.refresh();
    }
    else if (button == &copyButton)
    {
        plugin.copyCurrentPreset();
    }
    else if (button == &pasteButton)
    {
        plugin.pasteCopiedPreset();
    }
    else if (button == &upButton)
    {
        plugin.selectPreviousPreset();
    }
    else if (button == &downButton)
    {
        plugin.selectNextPreset();
    }
    else if (button == &loadPresetButton)
    {
        launchDialog ("Load single preset", plugin.getPresetFilePatterns(), false,
                      [this] (const juce::File& f) { loadPresetFromFile (f); });
    }
    else if (button == &savePresetButton)
    {
        launchDialog ("Save current settings as preset", plugin.getPresetFilePattern(), true,
                      [this] (const juce::File& f) { savePresetToFile (f); });
    }
    else if (button == &loadBankButton)
    {
        launchDialog ("Load preset bank", plugin.getPresetBankFilePatterns(), false,
                      [this] (const juce::File& f) { loadBankFromFile (f); });
    }
    else if (button == &saveBankButton)
    {
        launchDialog ("Save preset bank", plugin.getPresetBankFilePattern(), true,
                      [this] (const juce::File& f) { saveBankToFile (f); });
    }
    else
    {
        WindowComponent::buttonClicked (button);
    }
}

bool OldStylePresetBrowserWindow::isBackgroundDimmed() const
{
    return true;
}

void OldStylePresetBrowserWindow::lookAndFeelChanged()
{
    WindowComponent::lookAndFeelChanged();

    if (auto* laf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
    {
        juce::ImageButton* const buttons[] = { &addGroupButton, &removeGroupButton, &copyButton, &pasteButton, &upButton, &downButton };

        for (int i = 0; i < 6; ++i)
            laf->setIconButtonImages (*buttons[i], OldStylePresetBrowserWindowDetail::iconIndices[i], 0);
    }

    resized();
}

void OldStylePresetBrowserWindow::resized()
{
    WindowComponent::resized();

    const auto r = getContentArea();
    iconRow.setTopLeftPosition (r.getTopLeft());
    fileRow.setTopLeftPosition (r.getRight() - fileRow.getWidth(), r.getBottom() - fileRow.getHeight());
    browser.setBounds (r.withTrimmedLeft (iconRow.getWidth() + 5).withTrimmedBottom (fileRow.getHeight()));
}

void OldStylePresetBrowserWindow::childBoundsChanged (juce::Component* child)
{
    // The rows size themselves once their buttons have taken their images, which happens
    // after this window has heard of a new look-and-feel.
    if (child == &iconRow || child == &fileRow)
        resized();
}
