#include "gui/controls/ParameterModulator.h"

#include "framework/EmbeddedResources.h"
#include "gui/controls/SkinXml.h"
#include "gui/widgets/DefaultLookAndFeel.h"
#include "gui/widgets/ToolkitImageNames.h"

namespace ParameterModulatorDetail
{
using Names = ToolkitImageNames;

juce::Image loadImage (const juce::String& name)
{
    juce::Image image;
    return loadImageResource (name, image) ? image : juce::Image();
}

const char* const buttonNames[] = { "Add Row", "Delete Row", "Move Up", "Move Down", "Settings" };

/** The curve's size when the background is missing: as large as the embedded one. */
constexpr int defaultCurveWidth = 897, defaultCurveHeight = 200;

constexpr int lineHeight = 20, lineSpacing = 21;
} // namespace ParameterModulatorDetail

//==============================================================================
ParameterModulator::Row::Row (ParameterModulator& ownerModulator)
    : owner (ownerModulator)
{
    amountSlider.setSliderStyle (juce::Slider::LinearHorizontal);
    amountSlider.setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
    amountSlider.setRange (-1.0, 1.0, 0.0);
    amountSlider.setValue (0.0, juce::dontSendNotification);

    for (auto* box : { &sourceBox, &destinationBox })
    {
        box->addListener (this);
        box->update();
    }

    amountSlider.addListener (this);

    for (auto* child : std::initializer_list<juce::Component*> { &sourceBox, &destinationBox, &amountSlider })
    {
        addAndMakeVisible (child);
        child->addMouseListener (this, false);
    }
}

ParameterModulator::Row::~Row()
{
    for (auto* child : std::initializer_list<juce::Component*> { &sourceBox, &destinationBox, &amountSlider })
        child->removeMouseListener (this);
}

ParameterModulationMatrix::Row ParameterModulator::Row::getRouting() const
{
    return { sourceBox.getSelectedId(), destinationBox.getSelectedId(),
             (float) juce::jlimit (-1.0, 1.0, amountSlider.getValue()) };
}

void ParameterModulator::Row::showRouting (const ParameterModulationMatrix::Row& routing)
{
    if (sourceBox.getSelectedId() != routing.source)
        sourceBox.setSelectedId (routing.source);

    if (destinationBox.getSelectedId() != routing.destination)
        destinationBox.setSelectedId (routing.destination);

    amountSlider.setValue (routing.amount, juce::dontSendNotification);
}

void ParameterModulator::Row::setSelected (bool shouldBeSelected)
{
    if (selected == shouldBeSelected)
        return;

    selected = shouldBeSelected;
    repaint();
}

void ParameterModulator::Row::comboBoxExChanged (ComboBoxEx*)       { owner.rowChanged (*this); }
void ParameterModulator::Row::sliderValueChanged (juce::Slider*)    { owner.rowChanged (*this); }
void ParameterModulator::Row::mouseDown (const juce::MouseEvent&)   { owner.selectRow (*this); }

void ParameterModulator::Row::paint (juce::Graphics& g)
{
    if (selected)
        g.fillAll (juce::Colour (selectedColour));
}

void ParameterModulator::Row::resized()
{
    sourceBox.setBounds (0, 0, 150, ParameterModulatorDetail::lineHeight);
    destinationBox.setBounds (152, 0, 150, ParameterModulatorDetail::lineHeight);
    amountSlider.setBounds (304, 0, juce::jmax (0, getWidth() - 304), ParameterModulatorDetail::lineHeight);
}

//==============================================================================
ParameterModulator::Table::Table()
{
    // The lines are children of the content, so that they scroll.
    setViewedComponent (&content, false);
    setScrollBarsShown (true, false);
}

//==============================================================================
ParameterModulator::PitchScaler::PitchScaler (ParameterModulator& ownerModulator)
    : owner (ownerModulator)
{
    keyboard.setKeyRange (0, 127);
    keyboard.setMouseEnabled (false);
    keyboard.setColour (MusicKeyboard::backgroundColourId, juce::Colour (0xff000000));
    addAndMakeVisible (keyboard);
    setBackground (ParameterModulatorDetail::loadImage (ToolkitImageNames::pitchScalerBackground()));
}

void ParameterModulator::PitchScaler::setBackground (const juce::Image& image)
{
    background = image;
    const auto width = image.isValid() ? image.getWidth() : ParameterModulatorDetail::defaultCurveWidth;
    const auto height = image.isValid() ? image.getHeight() : ParameterModulatorDetail::defaultCurveHeight;

    setSize (width, height + keyboardHeight);
    keyboard.setBounds (0, height, juce::jmax (0, width - 1), keyboardHeight);
    curveArea = { 0, 0, width - 1, getHeight() - keyboardHeight };
    repaint();
}

void ParameterModulator::PitchScaler::setKeyValue (int key, float value)
{
    if (! juce::isPositiveAndBelow (key, 128))
        return;

    values[key] = juce::jlimit (0.0f, 1.0f, value);
    repaint();
}

void ParameterModulator::PitchScaler::setPitchScaleFromLine (juce::Point<int> a, juce::Point<int> b)
{
    // A background one pixel wide or one without height leaves no area to divide by.
    if (curveArea.getWidth() < 1 || curveArea.getHeight() < 1)
        return;

    const auto start = a.x <= b.x ? a : b, end = a.x <= b.x ? b : a;
    const auto slope = end.x != start.x ? (double) (end.y - start.y) / (double) (end.x - start.x) : 0.0;
    const auto areaX = curveArea.getX();
    const auto areaWidth = (double) curveArea.getWidth();
    auto previousKey = -1;

    for (int x = start.x, k = 0; x <= end.x; ++x, ++k)
    {
        if (x < areaX || x > areaX + curveArea.getWidth())
            continue;

        const auto key = juce::jlimit (0, 127, (int) ((x - areaX) / areaWidth * 128.0));
        const auto y = k * slope + start.y - curveArea.getY();
        const auto value = juce::jlimit (0.0, 1.0, 1.0 - y / curveArea.getHeight());

        if (key != previousKey)
        {
            previousKey = key;

            if (owner.matrix != nullptr)
                owner.matrix->setKeySourceValue (key, (float) value);
        }
    }
}

void ParameterModulator::PitchScaler::paint (juce::Graphics& g)
{
    if (background.isValid())
        g.drawImageAt (background, 0, 0);
    else
        g.fillAll (juce::Colour (0xff1e1e1e));

    const auto areaHeight = curveArea.getHeight();

    for (int i = 0; i < 128; ++i)
    {
        const auto y = (int) ((1.0f - values[i]) * (float) areaHeight);
        const auto x = 7 * i;
        g.setColour (juce::Colour (0xffff8400));
        g.drawHorizontalLine (y, (float) x, (float) (x + 7));
        g.setColour (juce::Colour (0x80ff8400));
        g.fillRect (x, y, 7, getHeight() - y);
    }

    if (curveArea.contains (mousePoint))
    {
        g.setColour (juce::Colour (0x40ff8400));
        g.drawHorizontalLine (mousePoint.y, 0.0f, (float) getWidth());
        g.drawVerticalLine (mousePoint.x, 0.0f, (float) getHeight());
    }

    if (lineMode)
    {
        g.setColour (juce::Colour (0xbfff0000));
        g.drawLine (juce::Line<int> (anchor, mousePoint).toFloat(), 2.5f);

        for (auto end : { anchor, mousePoint })
            g.drawEllipse (juce::Rectangle<float> (5.0f, 5.0f).withCentre (end.toFloat()), 3.0f);
    }
}

void ParameterModulator::PitchScaler::setMousePoint (juce::Point<int> point)
{
    mousePoint = point;
    repaint();
}

void ParameterModulator::PitchScaler::mouseDown (const juce::MouseEvent& e)
{
    const auto point = e.getPosition();
    setPitchScaleFromLine (point, point);
    mousePoint = point;

    if (lineMode)
        setPitchScaleFromLine (anchor, point);

    lineMode = e.mods.isRightButtonDown();

    if (lineMode)
        anchor = point;

    repaint();
}

void ParameterModulator::PitchScaler::mouseDrag (const juce::MouseEvent& e)
{
    if (! lineMode)
        setPitchScaleFromLine (mousePoint, e.getPosition());

    setMousePoint (e.getPosition());
}

void ParameterModulator::PitchScaler::mouseMove (const juce::MouseEvent& e)     { setMousePoint (e.getPosition()); }
void ParameterModulator::PitchScaler::mouseEnter (const juce::MouseEvent& e)    { setMousePoint (e.getPosition()); }
void ParameterModulator::PitchScaler::mouseExit (const juce::MouseEvent& e)     { setMousePoint (e.getPosition()); }
void ParameterModulator::PitchScaler::mouseUp (const juce::MouseEvent& e)       { setMousePoint (e.getPosition()); }

//==============================================================================
ParameterModulator::ParameterModulator (const juce::String& name)
    : juce::Component (name)
{
    using namespace ParameterModulatorDetail;

    buttonColumn.setVertical (true);
    buttonColumn.setGap (0);
    buttonColumn.setAlignment (ComponentRow::alignStart);

    for (int i = 0; i < Names::numModulatorButtons; ++i)
    {
        const auto which = (Names::ModulatorButton) i;
        auto* button = buttons.add (DefaultLookAndFeel::createIconImageButton (buttonNames[i],
                                                                               loadImage (Names::modulatorButton (which, false)),
                                                                               loadImage (Names::modulatorButton (which, true))));
        button->addListener (this);
        buttonColumn.addAndMakeVisible (button);
    }

    addAndMakeVisible (buttonColumn);
    addAndMakeVisible (table);
    pitchScaler = std::make_unique<PitchScaler> (*this);
    addChildComponent (*pitchScaler);
}

ParameterModulator::~ParameterModulator()
{
    setModulationMatrix (nullptr);
}

void ParameterModulator::setModulationMatrix (ParameterModulationMatrix* newMatrix)
{
    if (newMatrix == matrix)
        return;

    if (matrix != nullptr)
        matrix->removeListener (this);

    matrix = newMatrix;

    if (matrix != nullptr)
        matrix->addListener (this);
}

void ParameterModulator::loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                                      EventsMap& events, juce::Component* owner)
{
    GUIController::loadFromXml (element, parameters, events, owner);

    int width = 400, height = 200;

    if (element.getTagName() == "ParameterModulator")
    {
        if (auto* size = element.getChildByName ("size"))
        {
            width = juce::jmax (0, SkinXml::getInt (*size, "width"));
            height = juce::jmax (0, SkinXml::getInt (*size, "height"));
        }

        if (auto* pos = element.getChildByName ("pos"))
            setTopLeftPosition (SkinXml::getInt (*pos, "left"), SkinXml::getInt (*pos, "top"));
    }

    setSize (width, height);
    repaint();
}

//==============================================================================
ParameterModulator::Row& ParameterModulator::createRow (const ParameterModulationMatrix::Row& routing)
{
    auto* row = rows.add (std::make_unique<Row> (*this));
    row->showRouting (routing);
    table.getContent().addAndMakeVisible (row);
    return *row;
}

void ParameterModulator::layoutRows()
{
    using namespace ParameterModulatorDetail;
    const auto contentHeight = lineSpacing * rows.size();
    const auto width = table.getWidth() - (contentHeight > table.getHeight() ? table.getScrollBarThickness() : 0);

    table.getContent().setSize (juce::jmax (0, width), contentHeight);

    for (int i = 0; i < rows.size(); ++i)
        rows.getUnchecked (i)->setBounds (0, lineSpacing * i, juce::jmax (0, width), lineHeight);
}

void ParameterModulator::refreshHighlight()
{
    for (int i = 0; i < rows.size(); ++i)
        rows.getUnchecked (i)->setSelected (i == selectedRow);
}

void ParameterModulator::selectRow (Row& row)
{
    selectedRow = rows.indexOf (&row);
    refreshHighlight();
}

void ParameterModulator::tellRowHandler (Row& row, int index)
{
    if (rowHandler != nullptr)
        rowHandler->rowUpdated (this, &row, index);
}

void ParameterModulator::rowChanged (Row& row)
{
    const auto index = rows.indexOf (&row);

    if (matrix != nullptr)
        matrix->setModulationRow (index, row.getRouting());

    tellRowHandler (row, index);
}

void ParameterModulator::moveSelectedRow (int delta)
{
    const auto from = selectedRow, to = selectedRow + delta;

    if (! juce::isPositiveAndBelow (from, rows.size()) || ! juce::isPositiveAndBelow (to, rows.size()))
        return;

    if (matrix != nullptr)
        matrix->moveModulationRow (from, to);

    rows.move (from, to);
    layoutRows();
    selectedRow = to;
    refreshHighlight();
    table.repaint();
}

void ParameterModulator::buttonClicked (juce::Button* button)
{
    switch (buttons.indexOf (static_cast<juce::ImageButton*> (button)))
    {
        case ToolkitImageNames::addRowButton:
        {
            auto& row = createRow ({ -1, -1, 0.0f });

            if (matrix != nullptr)
                matrix->addModulationRow (row.getRouting());

            tellRowHandler (row, rows.size() - 1);
            layoutRows();
            refreshHighlight();
            break;
        }

        case ToolkitImageNames::deleteRowButton:
            if (juce::isPositiveAndBelow (selectedRow, rows.size()))
            {
                if (matrix != nullptr)
                    matrix->removeModulationRow (selectedRow);

                rows.remove (selectedRow);
                layoutRows();
                selectedRow = -1;
                refreshHighlight();
            }
            break;

        case ToolkitImageNames::moveUpButton:     moveSelectedRow (-1); break;
        case ToolkitImageNames::moveDownButton:   moveSelectedRow (1); break;

        case ToolkitImageNames::settingsButton:
            curveShown = ! curveShown;
            table.setVisible (! curveShown);
            pitchScaler->setVisible (curveShown);
            break;

        default:
            break;
    }
}

//==============================================================================
void ParameterModulator::keySourceValueChanged (ParameterModulationMatrix* changed, int key)
{
    if (changed != nullptr && key < 128)
        pitchScaler->setKeyValue (key, changed->getKeySourceValue (key));
}

void ParameterModulator::modulationMatrixChanged (ParameterModulationMatrix*)
{
    rows.clear();

    if (matrix != nullptr)
        for (int i = 0; i < matrix->getNumRows(); ++i)
            createRow (matrix->getModulationRow (i));

    layoutRows();
    selectedRow = -1;
    refreshHighlight();

    for (int i = 0; i < rows.size(); ++i)
        tellRowHandler (*rows.getUnchecked (i), i);

    if (matrix != nullptr)
        for (int key = 0; key < 128; ++key)
            pitchScaler->setKeyValue (key, matrix->getKeySourceValue (key));
}

void ParameterModulator::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff000000));
}

void ParameterModulator::resized()
{
    const auto x = buttonColumn.getRight() + 4;
    buttonColumn.setTopLeftPosition (0, 0);
    table.setBounds (x, 0, juce::jmax (0, getWidth() - x), getHeight());
    pitchScaler->setTopLeftPosition (x, 0);
    layoutRows();
}
