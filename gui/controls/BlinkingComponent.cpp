#include "gui/controls/BlinkingComponent.h"

class BlinkingComponent::BlinkingComponentTimer : public juce::Timer
{
public:
    explicit BlinkingComponentTimer (BlinkingComponent& ownerToTell) : owner (ownerToTell) {}

    void timerCallback() override
    {
        owner.blinkFlag = ! owner.blinkFlag;
        owner.blinkStateChanged();
    }

private:
    BlinkingComponent& owner;
};

BlinkingComponent::BlinkingComponent()
    : timer (std::make_unique<BlinkingComponentTimer> (*this))
{
}

BlinkingComponent::~BlinkingComponent()
{
    timer->stopTimer();
}

void BlinkingComponent::startBlinking (int periodMilliseconds)
{
    blinkFlag = false;
    blinkPeriod = periodMilliseconds;
    timer->startTimer (periodMilliseconds);
    blinkStateChanged();
}

void BlinkingComponent::stopBlinking()
{
    if (! timer->isTimerRunning())
        return;

    timer->stopTimer();
    blinkStateChanged();
}

bool BlinkingComponent::isBlinking() const noexcept
{
    return timer->isTimerRunning();
}
