#include "editor/MidiControlComponent.h"
#include "gui/SkinFonts.h"
#include "gui/widgets/DefaultLookAndFeel.h"

namespace MidiControlComponentDetail
{
/** The icons of the four buttons, in the look-and-feel's icon set (27-pixel size). */
constexpr int deleteIcon = 4, clearIcon = 12, loadIcon = 15, saveIcon = 16;

/** The table's colours. */
const juce::Colour outlineColour (0xffffffff), headerColour (0xff6e6e6e), bodyColour (0xffe3e3e3),
                   controllerHeaderColour (0xff5b5b5b), controllerBodyColour (0xffbfbfbf),
                   gridColour (0xff6e6e6e), selectedColour (0xff5b5b5b);

constexpr float cornerSize = 5.0f;
} // namespace MidiControlComponentDetail

//==============================================================================
MidiControlComponent::ListComponent::ListComponent (MidiControlComponent& ownerPage, MidiControl& midi)
    : owner (ownerPage), midiControl (midi),
      headerFont (SkinFonts::getFont (14.0f, juce::Font::bold)),
      rowFont (SkinFonts::getFont (14.0f))
{
    // Shown and hidden by the column count, not by JUCE's own rule.
    scrollBar.setAutoHide (false);
    scrollBar.addListener (this);
    addChildComponent (scrollBar);
    lookAndFeelChanged();
}

MidiControlComponent::ListComponent::~ListComponent()
{
    scrollBar.removeListener (this);
}

void MidiControlComponent::ListComponent::setMinimumColumns (int numColumns)
{
    minimumColumns = juce::jmax (1, numColumns);
    layoutColumns();
}

void MidiControlComponent::ListComponent::rebuildRows()
{
    rows.clearQuick();
    selectedRow = -1;

    {
        const juce::ScopedLock sl (midiControl.getLock());

        for (int controller = 0; controller < MidiControl::numControllers; ++controller)
            if (auto* parameter = midiControl.getAssignedParameter (controller))
                rows.add ({ controller, parameter->getName() });
    }

    layoutColumns();
}

void MidiControlComponent::ListComponent::layoutColumns()
{
    const auto needed = (rows.size() + rowsPerColumn - 1) / rowsPerColumn;
    visibleColumns = juce::jmax (minimumColumns, needed);

    drawing = table.reduced (1);
    columnWidth = drawing.getWidth() / minimumColumns + 1;
    controllerColumnWidth = juce::jmax (juce::roundToInt (rowFont.getStringWidthFloat ("127")),
                                        juce::roundToInt (headerFont.getStringWidthFloat ("CC"))) + 8;
    parameterColumnWidth = columnWidth - controllerColumnWidth;
    drawing.setWidth (juce::jmax (drawing.getWidth(), columnWidth * visibleColumns));

    // Synchronously: the drawing must follow a range the new limits have moved before it paints.
    scrollBar.setRangeLimits (0.0, (double) juce::jmax (0, columnWidth * visibleColumns), juce::sendNotificationSync);
    scrollBar.setCurrentRange (scrollBar.getCurrentRangeStart(), (double) (minimumColumns * columnWidth),
                               juce::sendNotificationSync);
    scrollBar.setSingleStepSize ((double) (columnWidth / 12));
    scrollBar.setVisible (visibleColumns > minimumColumns);

    scrollOffset = -juce::roundToInt (scrollBar.getCurrentRangeStart());
    drawing.setX (table.getX() + 1 + scrollOffset);
    repaint();
}

juce::Rectangle<int> MidiControlComponent::ListComponent::getRowBounds (int index) const
{
    const auto column = index / rowsPerColumn;
    const auto line = index % rowsPerColumn;
    return { drawing.getX() + column * columnWidth, drawing.getY() + headerHeight + line * rowHeight, columnWidth, rowHeight };
}

void MidiControlComponent::ListComponent::selectRow (int index)
{
    if (index == selectedRow)
        return;

    selectedRow = index;

    if (index >= 0)
        scrollColumnIntoView (index / rowsPerColumn);

    repaint();
    owner.updateDeleteButton();

    if (! hasValidSelection())
        return;

    // In learn mode a chosen row is the pair to show; MidiControl tells everyone of it.
    const juce::ScopedLock sl (midiControl.getLock());

    if (midiControl.isLearnMode())
        midiControl.setPendingAssignment (rows.getReference (index).controller);
}

void MidiControlComponent::ListComponent::scrollColumnIntoView (int column)
{
    const auto start = column * columnWidth;
    const auto end = start + columnWidth;
    const auto visible = scrollBar.getCurrentRange();

    if (start < visible.getStart())
        scrollBar.setCurrentRangeStart ((double) start, juce::sendNotificationSync);
    else if (end > visible.getEnd())
        scrollBar.setCurrentRangeStart ((double) end - visible.getLength(), juce::sendNotificationSync);
}

void MidiControlComponent::ListComponent::selectRowForController (int controller)
{
    for (int i = 0; i < rows.size(); ++i)
    {
        if (rows.getReference (i).controller == controller)
        {
            selectRow (i);
            return;
        }
    }
}

//==============================================================================
void MidiControlComponent::ListComponent::scrollBarMoved (juce::ScrollBar*, double newRangeStart)
{
    const auto offset = -juce::roundToInt (newRangeStart);

    if (offset == scrollOffset)
        return;

    scrollOffset = offset;
    drawing.setX (table.getX() + 1 + scrollOffset);
    repaint();
}

void MidiControlComponent::ListComponent::mouseDown (const juce::MouseEvent& event)
{
    if (! table.contains (event.getPosition()))
        return;

    // Measured from the drawing's top, where the header and the rows are painted.
    const auto x = event.x - drawing.getX();
    const auto y = event.y - drawing.getY();

    if (y < headerHeight || columnWidth <= 0)
        return;

    const auto column = juce::jlimit (0, visibleColumns - 1, x / columnWidth);
    const auto line = juce::jlimit (0, rowsPerColumn - 1, (y - headerHeight) / rowHeight);
    selectRow (rowsPerColumn * column + line);
}

void MidiControlComponent::ListComponent::paint (juce::Graphics& g)
{
    using namespace MidiControlComponentDetail;

    if (table.isEmpty())
        return;

    g.setColour (outlineColour);
    DefaultLookAndFeel::drawRoundedOutline (g, table, cornerSize, 1.0f);

    // The visible part of the drawing: the table inside its outline.
    juce::Path clip;
    clip.addRoundedRectangle (table.reduced (1).toFloat(), cornerSize);
    g.reduceClipRegion (clip);

    const auto header = drawing.withHeight (headerHeight);
    const auto body = drawing.withTrimmedTop (headerHeight);
    g.setColour (headerColour);
    g.fillRect (header);
    g.setColour (bodyColour);
    g.fillRect (body);

    g.setFont (headerFont);

    for (int c = 0; c < visibleColumns; ++c)
    {
        const auto x = drawing.getX() + c * columnWidth;
        g.setColour (controllerHeaderColour);
        g.fillRect (x, header.getY(), controllerColumnWidth, headerHeight);
        g.setColour (controllerBodyColour);
        g.fillRect (x, body.getY(), controllerColumnWidth, body.getHeight());

        g.setColour (juce::Colours::white);
        g.drawText ("CC", x, header.getY(), controllerColumnWidth, headerHeight, juce::Justification::centred, false);
        g.drawText ("Parameter", x + controllerColumnWidth + 5, header.getY(), parameterColumnWidth - 10, headerHeight,
                    juce::Justification::centredLeft, true);
    }

    g.setColour (gridColour);

    for (int i = 1; i <= rowsPerColumn; ++i)
        g.fillRect (0, drawing.getY() + headerHeight + i * rowHeight, getWidth(), 1);

    g.setFont (rowFont);

    for (int k = 0; k < rows.size(); ++k)
    {
        const auto cell = getRowBounds (k);
        const auto selected = k == selectedRow;

        if (selected)
        {
            g.setColour (selectedColour);
            g.fillRect (cell);
        }

        g.setColour (selected ? juce::Colours::white : juce::Colours::black);
        const auto& row = rows.getReference (k);
        g.drawText (juce::String (row.controller), cell.getX() + 5, cell.getY(), controllerColumnWidth - 10, rowHeight,
                    juce::Justification::centred, false);
        g.drawText (row.parameterName, cell.getX() + controllerColumnWidth + 5, cell.getY(), parameterColumnWidth - 10,
                    rowHeight, juce::Justification::centredLeft, true);
    }
}

void MidiControlComponent::ListComponent::resized()
{
    const auto barHeight = scrollBar.getHeight();

    // At least one row: a short list, or one not laid out yet, still divides by it.
    rowsPerColumn = juce::jmax (1, (getHeight() - barHeight - headerHeight - 6) / rowHeight);

    const auto tableHeight = rowsPerColumn * rowHeight + headerHeight + 2;
    table = { 0, (getHeight() - barHeight - tableHeight - 4) / 2, getWidth(), tableHeight };
    scrollBar.setBounds (0, table.getBottom() + 4, getWidth(), barHeight);

    layoutColumns();
}

void MidiControlComponent::ListComponent::lookAndFeelChanged()
{
    if (auto* laf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
    {
        headerFont = SkinFonts::getFont (13.0f, juce::Font::bold);
        rowFont = laf->getDefaultFont();
    }

    // The bar makes or drops its arrow buttons only when it is resized, and a new look may
    // leave its size as it was.
    scrollBar.setSize (scrollBar.getWidth(), getLookAndFeel().getDefaultScrollbarWidth());
    scrollBar.resized();
    resized();
}

//==============================================================================
MidiControlComponent::MidiControlComponent (MidiControl& midi, const juce::String& extension, const juce::String& wildcard)
    : midiControl (midi), fileType (extension)
{
    setName ("MidiControlComponent");

    addAndMakeVisible (learnBox);
    addAndMakeVisible (defaultMapBox);

    const std::pair<juce::ImageButton*, const char*> buttons[] = {
        { &deleteButton, "Delete selected assignation" }, { &clearButton, "Clear all map" },
        { &loadButton, "Open map" }, { &saveButton, "Save current map" } };

    for (auto& [button, tooltip] : buttons)
    {
        button->setTooltip (tooltip);
        button->addListener (this);
    }

    setFileWildcard (wildcard);
    midiControl.addListener (this);

    learnBox.setText ("Midi Learn mode");
    learnBox.addListener (this);

    defaultMapBox.getCheckBox().setText ("Default map");
    defaultMapBox.addListener (this);
    defaultMapBox.setResourcePath (midiControl.getDefaultMapFile());

    list = std::make_unique<ListComponent> (*this, midiControl);
    list->setMinimumColumns (3);
    addAndMakeVisible (*list);

    buttonRow.setVertical (true);
    buttonRow.setAlignment (ComponentRow::alignEnd);

    for (auto& [button, tooltip] : buttons)
        buttonRow.addAndMakeVisible (button);

    addAndMakeVisible (buttonRow);

    lookAndFeelChanged();
    learnStateChanged (&midiControl);
    midiMapChanged (&midiControl);
}

MidiControlComponent::~MidiControlComponent()
{
    midiControl.removeListener (this);

    for (auto* button : { &deleteButton, &clearButton, &loadButton, &saveButton })
        button->removeListener (this);

    learnBox.removeListener (this);
    defaultMapBox.removeListener (this);
}

void MidiControlComponent::setFileWildcard (const juce::String& wildcard)
{
    fileWildcard = wildcard;

    auto& path = defaultMapBox.getPathComponent();
    path.setDialogArguments (path.getDialogTitle(), path.getInitialLocation(), wildcard);
}

//==============================================================================
bool MidiControlComponent::loadMapFile (const juce::File& file)
{
    return file != juce::File() && midiControl.loadFromFile (file);
}

bool MidiControlComponent::saveMapFile (const juce::File& file)
{
    return file != juce::File() && midiControl.saveToFile (file.withFileExtension (getFileExtension()));
}

void MidiControlComponent::updateDeleteButton()
{
    deleteButton.setEnabled (list != nullptr && list->hasValidSelection());
}

//==============================================================================
void MidiControlComponent::buttonClicked (juce::Button* button)
{
    if (button == &deleteButton)
    {
        if (list->hasValidSelection())
            midiControl.removeAssignment (list->getRows().getReference (list->getSelectedRow()).controller);
    }
    else if (button == &clearButton)
    {
        askToClearAll();
    }
    else if (button == &loadButton)
    {
        browseForMapToLoad();
    }
    else if (button == &saveButton)
    {
        browseForMapToSave();
    }
}

void MidiControlComponent::askToClearAll()
{
    // A question still on screen stays; only a hidden one is replaced, never one whose
    // buttons may still be at work.
    if (isQuestionShowing())
        return;

    clearAllQuestion = Kestrom::AlertWindow::showYesNoAlert ("Midi Control", "Do you really want to clear all assignations?", this);
    addChildComponent (*clearAllQuestion);
    clearAllQuestion->sendLookAndFeelChange();      // not sent by adding it
    clearAllQuestion->show();
}

bool MidiControlComponent::isQuestionShowing() const
{
    if (clearAllQuestion == nullptr)
        return false;

    return clearAllQuestion->isAttached() ? clearAllQuestion->isShownInLayer() : clearAllQuestion->isVisible();
}

void MidiControlComponent::browseForMapToLoad()
{
    // One dialog at a time; the chooser lives until it has answered.
    if (chooser != nullptr)
        return;

    chooser = std::make_unique<juce::FileChooser> ("Open Midi Control file", juce::File(), fileWildcard, true);
    chooser->launchAsync (juce::FileBrowserComponent::openMode | juce::FileBrowserComponent::canSelectFiles,
                          [safeThis = juce::Component::SafePointer<MidiControlComponent> (this)] (const juce::FileChooser& fc)
                          {
                              if (safeThis == nullptr)
                                  return;

                              const auto file = fc.getResult();
                              safeThis->chooser.reset();
                              safeThis->loadMapFile (file);
                          });
}

void MidiControlComponent::browseForMapToSave()
{
    if (chooser != nullptr)
        return;

    chooser = std::make_unique<juce::FileChooser> ("Save Midi Control file as", juce::File(), fileType.getWildcard(), true);
    chooser->launchAsync (juce::FileBrowserComponent::saveMode | juce::FileBrowserComponent::canSelectFiles
                              | juce::FileBrowserComponent::warnAboutOverwriting,
                          [safeThis = juce::Component::SafePointer<MidiControlComponent> (this)] (const juce::FileChooser& fc)
                          {
                              if (safeThis == nullptr)
                                  return;

                              const auto file = fc.getResult();
                              safeThis->chooser.reset();
                              safeThis->saveMapFile (file);
                          });
}

void MidiControlComponent::checkBoxChanged (CheckBox* box)
{
    if (box == &learnBox)
        midiControl.setLearnMode (learnBox.getToggleState());
}

void MidiControlComponent::defaultResourceChanged (DefaultResourceCheckBox* box)
{
    if (box != &defaultMapBox)
        return;

    midiControl.setDefaultMapEnabled (defaultMapBox.getCheckBox().getToggleState());
    midiControl.setDefaultMapFile (defaultMapBox.getPathComponent().getPath());
}

void MidiControlComponent::midiMapChanged (MidiControl*)
{
    list->rebuildRows();
    clearButton.setEnabled (midiControl.getNumAssignments() != 0);
    updateDeleteButton();
}

void MidiControlComponent::learnStateChanged (MidiControl*)
{
    bool learn;
    int controller;
    Parameter* parameter;

    {
        const juce::ScopedLock sl (midiControl.getLock());
        learn = midiControl.isLearnMode();
        controller = midiControl.getPendingController();
        parameter = midiControl.getPendingParameter();
    }

    learnBox.setToggleState (learn, juce::dontSendNotification);

    if (controller != -1 && parameter != nullptr)
        list->selectRowForController (controller);
    else
        list->selectRow (-1);
}

void MidiControlComponent::alertWindowResult (Kestrom::AlertWindow* window, int code)
{
    // The window stays until the next question replaces it: it is inside its own button's
    // click here.
    if (window == clearAllQuestion.get() && code == 1)
        midiControl.clearMap();
}

//==============================================================================
void MidiControlComponent::lookAndFeelChanged()
{
    using namespace MidiControlComponentDetail;

    if (auto* laf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
    {
        laf->setIconButtonImages (deleteButton, deleteIcon, 0);
        laf->setIconButtonImages (clearButton, clearIcon, 0);
        laf->setIconButtonImages (loadButton, loadIcon, 0);
        laf->setIconButtonImages (saveButton, saveIcon, 0);
    }

    repaint();
}

void MidiControlComponent::resized()
{
    // Placing the children reports their bounds back here; this pass already covers them.
    // Nothing is placed before the page has all its children.
    if (layingOut || list == nullptr)
        return;

    const juce::ScopedValueSetter<bool> guard (layingOut, true);
    auto r = getLocalBounds();

    learnBox.setTopLeftPosition (0, 0);
    r.removeFromTop (learnBox.getHeight() + 4);

    defaultMapBox.setBounds (r.removeFromBottom (defaultMapBox.getHeight()));
    r.removeFromBottom (4);

    auto right = r.removeFromRight (buttonRow.getWidth() + 5);
    list->setBounds (r);

    right.removeFromLeft (5);
    right.removeFromTop (list->getTableBounds().getY());
    buttonRow.setTopLeftPosition (right.getPosition());
}

void MidiControlComponent::childBoundsChanged (juce::Component*)
{
    // The boxes and the buttons take their sizes from a new look-and-feel after the page
    // has heard of it (children hear after their parent).
    resized();
}
