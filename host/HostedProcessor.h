/*
    What the VST 2.4 wrapper needs of a processor beyond juce::AudioProcessor: the
    host's parameter slots, the identity the record carries, and a way to tell the
    host about automation, gestures and display changes.

    juce::AudioProcessor's own per-index parameter calls are deprecated, so the host
    slots have names of their own here.
*/
#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

class HostedProcessor
{
public:
    /** Receives what the processor reports to the host; the wrapper implements it. */
    class HostNotifier
    {
    public:
        virtual ~HostNotifier() = default;

        /** The value of host slot changed inside the plug-in: the host records automation. */
        virtual void hostAutomate (int slot, float normalisedValue) = 0;

        /** The user starts changing host slot (a drag begins). */
        virtual void hostBeginEdit (int slot) = 0;

        /** The user stops changing host slot. */
        virtual void hostEndEdit (int slot) = 0;

        /** Names, texts or programs changed: the host should read them again. */
        virtual void hostUpdateDisplay() = 0;

        /** Latency or channel counts changed. */
        virtual void hostIoChanged() = 0;
    };

    virtual ~HostedProcessor() = default;

    /** Holds back the host notices the calling thread causes until sendHeldHostNotices: the
        wrapper holds them while it processes under its own locks. Holds nest. A processor
        that tells the host nothing from its audio thread may keep these empty. */
    virtual void holdHostNotices() noexcept {}

    /** Ends one hold; the outermost one sends what was held. */
    virtual void sendHeldHostNotices() {}

    /** The number of parameter slots the host sees. */
    virtual int getNumHostParameters() = 0;

    /** The normalised value of host slot i; 0 for a slot out of range. */
    virtual float getHostParameter (int i) = 0;

    /** Sets host slot i from the host (normalised); ignored for a slot out of range. */
    virtual void setHostParameter (int i, float value) = 0;

    /** The name the host shows for slot i; empty out of range. */
    virtual juce::String getHostParameterName (int i) = 0;

    /** The display text of slot i's current value; empty out of range. */
    virtual juce::String getHostParameterText (int i) = 0;

    /** True when the host may automate slot i. */
    virtual bool isHostParameterAutomatable (int i) = 0;

    /** The plug-in's unique id, four characters with the first in the highest byte. */
    virtual int getVstUniqueId() = 0;

    /** The vendor's version number of the plug-in. */
    virtual int getVstVendorVersion() = 0;

    /** The vendor's name. */
    virtual juce::String getVendorName() = 0;

    /** Where host notifications go; null while no host is attached. */
    void setHostNotifier (HostNotifier* n) noexcept           { hostNotifier = n; }

    /** The current notification sink, or null. */
    HostNotifier* getHostNotifier() const noexcept            { return hostNotifier; }

private:
    std::atomic<HostNotifier*> hostNotifier { nullptr };
};
