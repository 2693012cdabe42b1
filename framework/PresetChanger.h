/*
    Begins a deferred, silent change to the preset slot that is already selected in a
    plug-in's bank. The implementer (the effect's DSP core) fades out, asks the bank to
    apply the current slot at silence, and fades back in.
*/
#pragma once

#include <atomic>

class PresetChanger
{
public:
    /** The bank whose current slot a changer applies; the old-style plug-in implements it. */
    class Target
    {
    public:
        virtual ~Target() = default;

        /** Applies the selected slot's values to the parameters now, on the calling thread. */
        virtual void applyCurrentPreset() = 0;
    };

    virtual ~PresetChanger() = default;

    /** Starts a change to the slot already selected; the changer applies it later. */
    virtual void beginPresetChange() = 0;

    /** Sets the bank whose presets this changer applies (null: the change only fades). */
    void setPresetTarget (Target* newTarget) noexcept       { target = newTarget; }

    /** The bank this changer applies presets of, or null. */
    Target* getPresetTarget() const noexcept                 { return target; }

private:
    std::atomic<Target*> target { nullptr };
};
