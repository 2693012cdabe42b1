#include "gui/controls/PatternNumberDisplay.h"

#include "framework/EmbeddedResources.h"
#include "framework/NoteNames.h"
#include "gui/controls/SkinXml.h"

namespace PatternNumberDisplayDetail
{
/** The text of the frames every cell shares: 1..10 are the digits 0..9. */
juce::String digitText (int frame)
{
    return frame >= 1 && frame <= 10 ? juce::String (frame - 1) : juce::String();
}
} // namespace PatternNumberDisplayDetail

void PatternNumberDisplay::PatternNumberDisplayDigit::paint (juce::Graphics& g)
{
    if (hasImage())
    {
        GFXAnimation::paint (g);
        return;
    }

    g.setColour (juce::Colour (0xffe5e5e5));
    g.fillRect (getLocalBounds());
    g.setColour (juce::Colour (0xff000000));
    g.drawRect (getLocalBounds(), 1);

    const auto text = getFrameText (getCurrentFrame());

    if (text.isNotEmpty())
        g.drawText (text, getLocalBounds(), juce::Justification::centred, true);
}

juce::String PatternNumberDisplay::PatternNumberDisplayFirstDigit::getFrameText (int frame) const
{
    return frame == 11 ? juce::String ("P.") : PatternNumberDisplayDetail::digitText (frame);
}

juce::String PatternNumberDisplay::PatternNumberDisplaySecondDigit::getFrameText (int frame) const
{
    static const char* const letters[] = { "C", "D", "E", "F", "G", "A", "B" };

    if (frame >= 11 && frame <= 17)
        return letters[frame - 11];

    return frame == 18 ? juce::String ("-") : PatternNumberDisplayDetail::digitText (frame);
}

juce::String PatternNumberDisplay::PatternNumberDisplayThirdDigit::getFrameText (int frame) const
{
    if (frame == 11)
        return "#";

    return frame == 12 ? juce::String ("-") : PatternNumberDisplayDetail::digitText (frame);
}

juce::String PatternNumberDisplay::PatternNumberDisplayFourthDigit::getFrameText (int frame) const
{
    return frame >= 1 ? juce::String (frame - 1) : juce::String();
}

//==============================================================================
PatternNumberDisplay::PatternNumberDisplay (const juce::String& name)
    : juce::Component (name)
{
}

PatternNumberDisplay::~PatternNumberDisplay() = default;

juce::Range<int> PatternNumberDisplay::getModeRange() const
{
    switch (mode)
    {
        case numericPattern:        return { numericMin, numericMax };
        case bankAndSlotPattern:    return { bankAndSlotMin, bankAndSlotMax };
        default:                    return { noteMin, noteMax };
    }
}

int PatternNumberDisplay::clampToMode (int v) const
{
    const auto range = getModeRange();
    return v < range.getStart() ? range.getStart() : juce::jmin (v, range.getEnd());
}

void PatternNumberDisplay::setValue (int newValue)
{
    newValue = clampToMode (newValue);

    if (newValue == value)
        return;

    value = newValue;
    updateDigits();
}

void PatternNumberDisplay::setMode (int newMode)
{
    if (newMode == mode)
        return;

    mode = newMode;
    value = clampToMode (value);
    updateDigits();
}

juce::Array<int> PatternNumberDisplay::getDigitFrames() const
{
    juce::Array<int> frames;

    for (auto* digit : digits)
        frames.add (digit->getCurrentFrame());

    return frames;
}

void PatternNumberDisplay::updateDigits()
{
    // Without "gfx" the display has no cells: nothing to update.
    if (digits.size() < 4)
        return;

    int frames[4] = { 0, 0, 0, 0 };
    const auto v = value;

    if (isEnabled())
    {
        switch (mode)
        {
            case notePattern:
            {
                const auto pitchClass = ((v % 12) + 12) % 12;
                const auto sharp = pitchClass == 1 || pitchClass == 3 || pitchClass == 6 || pitchClass == 8 || pitchClass == 10;
                frames[0] = 11;
                frames[1] = 11 + noteLetterIndex (v);
                frames[2] = sharp ? 11 : 12;
                frames[3] = v / 12 + 1;
                break;
            }

            case numericPattern:
                frames[1] = v / 10 + 1;
                frames[2] = v % 10 + 1;
                break;

            case bankAndSlotPattern:
            {
                const auto bank = (v - 1) / slotsPerBank;
                const auto slot = (v - 1) % slotsPerBank + 1;
                frames[0] = bank + 2;
                frames[1] = 18;
                frames[2] = slot / 10 + 1;
                frames[3] = slot % 10 + 1;
                break;
            }

            default:
                return;
        }
    }

    for (int i = 0; i < 4; ++i)
        digits.getUnchecked (i)->setCurrentFrame (frames[i]);
}

//==============================================================================
void PatternNumberDisplay::updateFromParameter (Parameter* parameter)
{
    if (parameter != nullptr)
        setValue (parameter->getIntValue());
}

void PatternNumberDisplay::loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                                        EventsMap& events, juce::Component* owner)
{
    GUIController::loadFromXml (element, parameters, events, owner);

    if (element.getTagName() != "PatternNumberDisplay")
        return;

    noteMin = SkinXml::getInt (element, "notePatternMin", 0);
    noteMax = SkinXml::getInt (element, "notePatternMax", 127);
    numericMin = SkinXml::getInt (element, "numericPatternMin", 1);
    numericMax = SkinXml::getInt (element, "numericPatternMax", 16);
    bankAndSlotMin = SkinXml::getInt (element, "bankAndSlotPatternMin", 1);
    bankAndSlotMax = SkinXml::getInt (element, "bankAndSlotPatternMax", 96);
    slotsPerBank = juce::jlimit (4, 16, SkinXml::getInt (element, "slotMax", 12));
    value = clampToMode (value);

    int left = 0, top = 0, width = 100, height = 40;

    if (auto* pos = element.getChildByName ("pos"))
    {
        left = SkinXml::getInt (*pos, "left");
        top = SkinXml::getInt (*pos, "top");
    }

    if (auto* size = element.getChildByName ("size"))
    {
        width = juce::jmax (0, SkinXml::getInt (*size, "width"));
        height = juce::jmax (0, SkinXml::getInt (*size, "height"));
    }

    if (auto* gfx = element.getChildByName ("gfx"))
    {
        digits.clear();
        digits.add (std::make_unique<PatternNumberDisplayFirstDigit>());
        digits.add (std::make_unique<PatternNumberDisplaySecondDigit>());
        digits.add (std::make_unique<PatternNumberDisplayThirdDigit>());
        digits.add (std::make_unique<PatternNumberDisplayFourthDigit>());

        const char* const attributes[] = { "firstDigit", "secondDigit", "thirdDigit", "fourthDigit" };
        auto x = 0;

        for (int i = 0; i < 4; ++i)
        {
            auto* digit = digits.getUnchecked (i);
            juce::Image image;

            // A cell whose image does not load draws its text instead of borrowing another cell's image.
            if (loadImageResource (gfx->getStringAttribute (attributes[i]), image) && image.isValid())
                digit->setImage (image, digit->getNumFrames());
            else
                digit->setSize (width / 4, height);

            digit->setTopLeftPosition (x, 0);
            addAndMakeVisible (digit);
            x += digit->getWidth();
        }
    }

    setBounds (left, top, width, height);
    updateDigits();
}

void PatternNumberDisplay::enablementChanged()
{
    updateDigits();
}
