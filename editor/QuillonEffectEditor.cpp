#include "editor/QuillonEffectEditor.h"
#include "editor/AboutWindow.h"
#include "editor/OldStylePresetBrowserWindow.h"
#include "gui/controls/GFXAnimation.h"

namespace QuillonEffectEditorDetail
{
/** A level shown while nothing is played: it falls by a fixed factor each tick, then to 0. */
float decayed (float level) noexcept
{
    return level > 0.01f ? level * 0.675f : 0.0f;
}
} // namespace QuillonEffectEditorDetail

QuillonEffectEditor::QuillonEffectEditor (QuillonEffect& pluginToEdit)
    : BasePluginEditorOldStyle (pluginToEdit), plugin (pluginToEdit)
{
    skinHeight = getContentHeight();
    leftVuMeter = dynamic_cast<GFXAnimation*> (findControlByName (this, "LeftVUMeter"));
    rightVuMeter = dynamic_cast<GFXAnimation*> (findControlByName (this, "RightVUMeter"));

    auto& browser = getPresetBrowser();
    browser.setTitleBarVisible (false);
    browser.setBordered (false);
    browser.setCornerStyle (0);
    browser.setShadowEdge (WindowComponent::shadowTop);
    browser.setBounds (0, skinHeight, getWidth(), dockedPanelHeight);

    auto& options = getOptionsWindow();
    options.setDocked (true);
    options.setShadowEdge (WindowComponent::shadowTop);
    options.setBounds (0, skinHeight, getWidth(), browser.getHeight());

    resized();
}

QuillonEffectEditor::~QuillonEffectEditor() = default;

void QuillonEffectEditor::controllerEvent (GUIController* controller, int eventId)
{
    if (eventId == PluginCommand::options)
        togglePanel (getOptionsWindow(), getPresetBrowser());
    else if (eventId == PluginCommand::browsePresets)
        togglePanel (getPresetBrowser(), getOptionsWindow());
    else
        BasePluginEditorOldStyle::controllerEvent (controller, eventId);
}

void QuillonEffectEditor::togglePanel (juce::Component& panel, juce::Component& other)
{
    // Docked panels are plain children, shown and hidden in place.
    panel.setVisible (! panel.isVisible());
    other.setVisible (false);
    setEditorSize (getWidth(), skinHeight + (panel.isVisible() ? panel.getHeight() : 0));
    getStatusBar().clear();
}

void QuillonEffectEditor::refreshDisplay()
{
    using namespace QuillonEffectEditorDetail;
    BasePluginEditorOldStyle::refreshDisplay();

    auto* core = plugin.getCore();

    if (plugin.isPrepared() && core != nullptr)
        core->getVuLevels (leftVuLevel, rightVuLevel);

    if (leftVuMeter != nullptr)
        leftVuMeter->setValue (leftVuLevel);

    if (rightVuMeter != nullptr)
        rightVuMeter->setValue (rightVuLevel);

    if (! plugin.isPrepared())
    {
        leftVuLevel = decayed (leftVuLevel);
        rightVuLevel = decayed (rightVuLevel);
    }
}

void QuillonEffectEditor::resized()
{
    BasePluginEditorOldStyle::resized();

    const bool panelOpen = getOptionsWindow().isVisible() || getPresetBrowser().isVisible();
    getAboutWindow().setSize (550, panelOpen ? 260 : 190);
}
