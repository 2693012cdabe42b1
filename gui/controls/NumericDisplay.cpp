#include "gui/controls/NumericDisplay.h"

#include "framework/EmbeddedResources.h"
#include "gui/controls/SkinXml.h"

#include <cmath>

namespace NumericDisplayDetail
{
/** The image of a cell strip: the "resource" of the child's "gfx" element, or a null image. */
juce::Image loadCellImage (const juce::XmlElement& element, juce::StringRef childTag)
{
    juce::Image image;

    if (auto* child = element.getChildByName (childTag))
        if (auto* gfx = child->getChildByName ("gfx"))
            if (! loadImageResource (gfx->getStringAttribute ("resource"), image))
                image = {};

    return image;
}

double powerOfTen (int exponent)
{
    return std::pow (10.0, (double) exponent);
}
} // namespace NumericDisplayDetail

NumericDisplay::NumericDisplay (const juce::String& name)
    : juce::Component (name)
{
    addAndMakeVisible (sign);
    setDigits (0, 0.0);
}

NumericDisplay::~NumericDisplay() = default;

void NumericDisplay::setDigits (int numDigits, double firstUnit)
{
    // A skin asking for thousands of cells would make thousands of components and numbers
    // beyond what a double holds exactly.
    digitsNum = juce::jlimit (0, maxDigits, numDigits);

    // The unit must be a power of ten; log10 of one is only nearly whole (log10 (1000) may
    // come out as 2.9999...), so the test allows for that and the exponent is rounded.
    const auto exponent = firstUnit > 0.0 ? std::log10 (firstUnit) : 0.0;

    if (firstUnit > 0.0 && std::abs (exponent - std::round (exponent)) < 1.0e-9)
        unitExponent = (int) std::round (exponent);
    else
        unitExponent = digitsNum - 1;

    firstDigitUnit = NumericDisplayDetail::powerOfTen (unitExponent);
    scale = NumericDisplayDetail::powerOfTen (digitsNum - unitExponent - 1);
    firstDivisor = NumericDisplayDetail::powerOfTen (digitsNum - 1);
    unitsIndex = juce::jmax (digitsNum - unitExponent, 0);
}

void NumericDisplay::setValue (double newValue, bool notify)
{
    newValue = juce::jlimit (minValue, maxValue, newValue);

    if (newValue != value)
    {
        value = newValue;

        if (notify)
            writeParameter ([newValue] (Parameter& p) { p.setValue ((float) newValue, true); });
    }

    updateCells();
}

void NumericDisplay::updateCells()
{
    auto n = std::round (std::abs (value) * scale);
    auto divisor = firstDivisor;
    auto metShownDigit = false;

    for (int i = 0; i < cells.size(); ++i)
    {
        const auto digit = std::trunc (n / divisor);
        const auto blank = digit == 0.0 && ! metShownDigit && i != digitsNum - unitsIndex;

        if (! blank)
            metShownDigit = true;

        // A value too large for the cells would put more than 9 into the first one.
        cells.getUnchecked (i)->setDigit ((int) juce::jlimit (0.0, 9.0, digit), blank);
        n -= digit * divisor;
        divisor /= 10.0;
    }

    sign.setNegative (value < 0.0);
}

std::pair<double, int> NumericDisplay::getDragStep (int x) const
{
    int k = 1;

    if (! continuous)
        k = getWidth() > 0 ? (int) ((double) x / (double) getWidth() * digitsNum) : 0;

    // Past the fifth digit the spacing would reach 0 (a division by zero) and then turn negative.
    return { firstDigitUnit * NumericDisplayDetail::powerOfTen (-k), juce::jmax (1, (5 - k) * 5) };
}

//==============================================================================
void NumericDisplay::updateFromParameter (Parameter* parameter)
{
    if (parameter != nullptr)
        setValue (parameter->getValue(), false);
}

void NumericDisplay::loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                                  EventsMap& events, juce::Component* owner)
{
    GUIController::loadFromXml (element, parameters, events, owner);

    if (element.getTagName() != "NumericDisplay")
        return;

    setDigits (SkinXml::getInt (element, "digitsNum"), element.getDoubleAttribute ("firstDigitOrder"));

    // A range given upside down is still a range.
    const auto a = element.getDoubleAttribute ("minValue"), b = element.getDoubleAttribute ("maxValue");
    minValue = juce::jmin (a, b);
    maxValue = juce::jmax (a, b);
    continuous = element.getStringAttribute ("control") == "continous";

    int cellWidth = 0, cellHeight = 0;

    if (auto* size = element.getChildByName ("size"))
    {
        cellWidth = juce::jmax (0, SkinXml::getInt (*size, "width"));
        cellHeight = juce::jmax (0, SkinXml::getInt (*size, "height"));
    }

    const auto signImage = NumericDisplayDetail::loadCellImage (element, "sign");
    sign.setImage (signImage);
    sign.setBounds (0, 0, signImage.isValid() ? signImage.getWidth() : cellWidth,
                          signImage.isValid() ? signImage.getHeight() / 2 : cellHeight);

    const auto digitImage = NumericDisplayDetail::loadCellImage (element, "digits");
    cells.clear();
    auto x = sign.getRight();
    auto height = sign.getHeight();

    for (int i = 0; i < digitsNum; ++i)
    {
        auto* cell = cells.add (std::make_unique<NumericDisplayDigit> (unitExponent - i >= 0));
        cell->setImage (digitImage);
        cell->setBounds (x, 0, digitImage.isValid() ? digitImage.getWidth() : cellWidth,
                               digitImage.isValid() ? digitImage.getHeight() / 11 : cellHeight);
        addAndMakeVisible (cell);
        x = cell->getRight();
        height = juce::jmax (height, cell->getHeight());
    }

    if (auto* pos = element.getChildByName ("pos"))
        setTopLeftPosition (SkinXml::getInt (*pos, "left"), SkinXml::getInt (*pos, "top"));

    setSize (x, height);
    setValue (juce::jlimit (minValue, maxValue, value), false);
    updateCells();
}

//==============================================================================
void NumericDisplay::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colour (0xff000000));
}

void NumericDisplay::enablementChanged()
{
    repaint();
}

void NumericDisplay::mouseDown (const juce::MouseEvent& e)
{
    beginGesture();
    valueAtMouseDown = value;
    dragging = true;
    std::tie (step, pixelsPerStep) = getDragStep (e.x);
}

void NumericDisplay::mouseDrag (const juce::MouseEvent& e)
{
    if (! dragging)
        return;

    const auto steps = e.getDistanceFromDragStartY() / pixelsPerStep;
    setValue (valueAtMouseDown - steps * step, true);
}

void NumericDisplay::mouseUp (const juce::MouseEvent&)
{
    endGesture();
    dragging = false;
}
