#include "editor/BasePluginEditor.h"
#include "editor/AboutWindow.h"
#include "editor/MidiControlComponent.h"
#include "framework/BoolParameter.h"
#include "framework/EmbeddedResources.h"
#include "framework/IntParameter.h"
#include "gui/controls/GFXAnimation.h"
#include "gui/controls/GFXKnob.h"
#include "gui/controls/GFXMultiStateButton.h"
#include "gui/controls/GFXSwitch.h"
#include "gui/controls/GFXToggleButton.h"
#include "gui/controls/SkinControlFactory.h"

namespace BasePluginEditorDetail
{
constexpr int cellWidth = 64, cellX = 5, cellTop = 30, rowStep = 120;

/** The control the generic grid shows for a parameter of this type. */
SkinControlFactory::Control createGenericControl (Parameter& parameter)
{
    SkinControlFactory::Control control;

    if (dynamic_cast<BoolParameter*> (&parameter) != nullptr)
    {
        auto button = std::make_unique<GFXToggleButton> (parameter.getName());
        control.controller = button.get();
        control.component = std::move (button);
    }
    else if (dynamic_cast<IntParameter*> (&parameter) != nullptr)     // enums are integers too
    {
        auto sw = std::make_unique<GFXSwitch> (parameter.getName());
        control.controller = sw.get();
        control.component = std::move (sw);
    }
    else
    {
        auto knob = std::make_unique<GFXKnob> (parameter.getName());
        control.controller = knob.get();
        control.component = std::move (knob);
    }

    return control;
}
/** True while the component and all its parents are visible inside a window on the desktop
    (which may be minimised): the editor is open in the host. */
bool isInOpenWindow (const juce::Component& component)
{
    for (auto* c = &component; c != nullptr; c = c->getParentComponent())
        if (! c->isVisible())
            return false;

    return component.getPeer() != nullptr;
}
} // namespace BasePluginEditorDetail

BasePluginEditor::BasePluginEditor (BasePlugin& pluginToEdit)
    : plugin (pluginToEdit)
{
    setLookAndFeel (&lookAndFeel);

    statusBar = std::make_unique<StatusBar>();
    addAndMakeVisible (*statusBar);

    aboutWindow = std::make_unique<AboutWindow> (plugin);
    aboutWindow->setSize (640, 480);
    addChildComponent (*aboutWindow);

    optionsWindow = std::make_unique<OptionsWindow>();
    optionsWindow->setTitle ("Options");
    optionsWindow->getTabbedComponent().addListener (this);
    optionsWindow->setSize (800, 600);
    addChildComponent (*optionsWindow);

    const auto code = plugin.getPluginCode();
    midiControlPage = std::make_unique<MidiControlComponent> (plugin.getMidiControl(),
                                                              ("." + code + "ccmap").toLowerCase(),
                                                              ("*." + code + "ccmap").toLowerCase());
    plugin.getMidiControl().addListener (this);
    optionsWindow->addPage (midiControlPage.get(), "Midi Control", -1);

    plugin.getParameterManager().addAsyncListenerToAll (this);

    setEditorSize (1024, 800);
    skinLoaded = loadSkin ("skin.xml");

    midiLearnButton = dynamic_cast<GFXMultiStateButton*> (findControlByName (this, "MidiLearnButton"));
    midiActivityLed = dynamic_cast<GFXAnimation*> (findControlByName (this, "MidiActivityLed"));
}

BasePluginEditor::~BasePluginEditor()
{
    stopTimer();
    plugin.getMidiControl().removeListener (this);
    plugin.getParameterManager().removeAsyncListenerFromAll (this);

    // Every component goes before the look-and-feel they use, the editor's own reference last.
    tooltipWindow.reset();
    optionsWindow.reset();
    midiControlPage.reset();
    aboutWindow.reset();
    statusBar.reset();
    genericControls.clear();
    {
        const juce::ScopedLock sl (controllersLock);
        controllers.clear();
    }
    skinComponents.clear();
    setLookAndFeel (nullptr);
}

//==============================================================================
bool BasePluginEditor::loadSkin (const juce::String& resourceName)
{
    const auto root = juce::XmlDocument::parse (loadResourceAsString (resourceName));

    // A document of another kind is no skin: the generic editor stands in for it.
    if (root == nullptr || ! root->hasTagName ("PluginEditor"))
        return false;

    buildFromSkin (*root);
    return true;
}

void BasePluginEditor::buildFromSkin (const juce::XmlElement& root)
{
    if (! root.hasTagName ("PluginEditor"))
        return;

    juce::Image background;

    if (loadImageResource (root.getStringAttribute ("background", "Background.png"), background) && background.isValid())
    {
        backgroundImage = background;
        setEditorSize (background.getWidth(), background.getHeight());
    }

    for (auto* element : root.getChildIterator())
    {
        auto control = SkinControlFactory::createFromXml (*element, plugin.getParameterManager(), plugin.getEventsMap(),
                                                          this, SkinControlFactory::Level::editor);
        if (! control)
            continue;

        auto& component = *skinComponents.add (control.component.release());
        {
            const juce::ScopedLock sl (controllersLock);
            controllers.add (control.controller);
        }
        addControl (component);
    }

    for (auto* controller : getControllers())
        controller->addListener (this);
}

void BasePluginEditor::addControl (juce::Component& component)
{
    // Each control goes directly above the status bar, below the controls before it and
    // below the windows and the tooltip.
    component.setVisible (true);
    addChildComponent (component, 1);
}

juce::Array<GUIController*> BasePluginEditor::getControllers() const
{
    const juce::ScopedLock sl (controllersLock);
    return controllers;
}

void BasePluginEditor::buildGenericEditor()
{
    using namespace BasePluginEditorDetail;

    if (skinLoaded)
        return;

    const int count = plugin.getNumHostParameters();
    const int columns = (getWidth() - 10) / cellWidth + 1;
    int column = 0, y = cellTop;

    for (int i = 0; i < count; ++i)
    {
        if (auto* parameter = plugin.getParameterManager().getParameter (i))
        {
            auto control = createGenericControl (*parameter);
            auto& component = *genericControls.add (control.component.release());
            component.setBounds (column * cellWidth + cellX, y, 50, 80);
            control.controller->addListener (this);
            addControl (component);
            control.controller->setLinkedParameter (parameter);
            ++column;
        }

        if (leaveGapAfterParameter (i))
            ++column;

        if (breakRowAfterParameter (i) || column >= columns)
        {
            y += rowStep;
            column = 0;
        }
    }
}

void BasePluginEditor::setEditorSize (int width, int newContentHeight)
{
    contentHeight = newContentHeight;
    const bool showBar = statusBar != nullptr && isStatusBarVisible();
    const int barHeight = statusBar != nullptr ? statusBar->getHeight() : 0;

    setSize (width, contentHeight + (showBar ? barHeight : 0));

    if (statusBar != nullptr)
        statusBar->setBounds (0, contentHeight, width, barHeight);

    if (auto* parent = getParentComponent())
        parent->setSize (getWidth(), getHeight());
}

juce::Component* BasePluginEditor::findControlByName (juce::Component* root, const juce::String& name)
{
    if (root == nullptr)
        return nullptr;

    for (auto* child : root->getChildren())
        if (child->getName() == name)
            return child;

    for (auto* child : root->getChildren())
        if (auto* found = findControlByName (child, name))
            return found;

    return nullptr;
}

//==============================================================================
void BasePluginEditor::showParameterStatus (Parameter* parameter)
{
    if (parameter == nullptr)
        return;

    auto& midi = plugin.getMidiControl();

    if (parameter->isAutomatable())
    {
        const juce::ScopedLock sl (midi.getLock());

        if (midi.isLearnMode())
            midi.learnParameter (parameter);
    }

    const auto text = plugin.getParameterValueText (parameter->getIndex());

    if (text.isNotEmpty())
        statusBar->setText (parameter->getName() + ": " + text, 6, 3000);
}

void BasePluginEditor::showSettingsNotice (const juce::String& what)
{
    statusBar->setText (what + " settings will be affected when plugin is loaded.", 4, 0);
}

void BasePluginEditor::askStoreCurrentPreset (const juce::String&)
{
    // Only plug-ins with a preset collection store through a question; the slot bank has none.
}

void BasePluginEditor::savePresetsAs (const juce::String&)
{
    // As above: nothing to save without a preset collection.
}

//==============================================================================
void BasePluginEditor::refreshDisplay()
{
    if (midiActivityLed != nullptr && plugin.takeMidiActivity())
        midiActivityLed->showFrame (1, 175);
}

void BasePluginEditor::timerCallback()
{
    // A minimised window keeps its timer (nothing tells the editor when it comes back), but
    // nothing is refreshed for it.
    if (isShowing())
        refreshDisplay();
}

void BasePluginEditor::visibilityChanged()
{
    updateTimerState();
}

void BasePluginEditor::parentHierarchyChanged()
{
    updateTimerState();
}

void BasePluginEditor::updateTimerState()
{
    // The tooltip window polls the mouse on a timer of its own: it too lives only while the
    // editor shows.
    if (BasePluginEditorDetail::isInOpenWindow (*this))
    {
        if (! isTimerRunning())
            startTimer (25);

        if (tooltipWindow == nullptr)
        {
            tooltipWindow = std::make_unique<juce::TooltipWindow> (this, 850);
            tooltipWindow->setOpaque (false);
        }
    }
    else
    {
        stopTimer();
        tooltipWindow.reset();
    }
}

//==============================================================================
void BasePluginEditor::paint (juce::Graphics& g)
{
    if (backgroundImage.isValid())
    {
        g.drawImageAt (backgroundImage, 0, 0);
        return;
    }

    g.fillAll (juce::Colour (0xffe5e5e5));
    g.setColour (juce::Colours::black);
    g.drawText (plugin.getPluginName(), getLocalBounds(), juce::Justification::topLeft, false);
}

void BasePluginEditor::resized()
{
    if (statusBar != nullptr)
        statusBar->setBounds (0, contentHeight, getWidth(), statusBar->getHeight());

    repaint();
}

void BasePluginEditor::childBoundsChanged (juce::Component* child)
{
    // The editor follows the status bar's height, which comes with the look-and-feel.
    if (child != nullptr && child == statusBar.get())
        setEditorSize (getWidth(), contentHeight);
}

//==============================================================================
void BasePluginEditor::controllerValueChanged (GUIController* controller)
{
    if (controller != nullptr)
        showParameterStatus (controller->getLinkedParameter());
}

void BasePluginEditor::controllerEvent (GUIController* controller, int eventId)
{
    switch (eventId)
    {
        case PluginCommand::options:
            optionsWindow->show();
            statusBar->clear();
            break;

        case PluginCommand::about:
            aboutWindow->show();
            break;

        case PluginCommand::browsePresets:
            break;      // this layer has no browser

        case PluginCommand::savePreset:
            askStoreCurrentPreset ("Presets");
            break;

        case PluginCommand::savePresetAs:
            savePresetsAs ("Presets");
            break;

        case PluginCommand::toggleMidiLearn:
        {
            auto& midi = plugin.getMidiControl();
            const juce::ScopedLock sl (midi.getLock());
            midi.setLearnMode (! midi.isLearnMode());
            break;
        }

        default:
            plugin.handleCommand (eventId);

            if (controller != nullptr)
                showParameterStatus (controller->getLinkedParameter());
            break;
    }
}

void BasePluginEditor::learnStateChanged (MidiControl* midiControl)
{
    if (midiControl == nullptr)
        return;

    bool learn;
    {
        const juce::ScopedLock sl (midiControl->getLock());
        learn = midiControl->isLearnMode();
    }

    if (learn)
    {
        const int controller = midiControl->getPendingController();
        auto* parameter = midiControl->getPendingParameter();
        const auto name = parameter != nullptr ? parameter->getName() : juce::String();

        if (controller < 0 && parameter == nullptr)
            statusBar->setText ("Waiting for a controller or parameter movement...", 7, 0);
        else if (controller < 0)
            statusBar->setText ("'" + name + "' parameter is free. Waiting for a free controller now...", 7, 0);
        else if (parameter == nullptr)
            statusBar->setText ("CC# " + juce::String (controller) + " is free. Waiting for a parameter now...", 7, 0);
        else
            statusBar->setText ("CC# " + juce::String (controller) + " is assigned to parameter '" + name + "'.", 7, 0);
    }
    else
    {
        statusBar->clear();
    }

    if (midiLearnButton != nullptr)
    {
        midiLearnButton->setShownState (learn ? 1 : 0);

        if (learn)
            midiLearnButton->startBlinking (100);
        else
            midiLearnButton->stopBlinking();
    }
}

void BasePluginEditor::controllerMoved (MidiControl* midiControl)
{
    if (midiControl == nullptr)
        return;

    if (auto* parameter = midiControl->getLastMovedParameter())
        statusBar->setText (parameter->getName() + ": " + plugin.getParameterValueText (parameter->getIndex()), 5, 3000);
}

void BasePluginEditor::tabChanged (TabbedComponentEx* tabbedComponent)
{
    if (optionsWindow != nullptr && tabbedComponent == &optionsWindow->getTabbedComponent())
        statusBar->clear();
}
