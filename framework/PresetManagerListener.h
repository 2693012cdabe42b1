/*
    Told by the preset bank after every application of its current slot.
*/
#pragma once

class PresetManagerListener
{
public:
    virtual ~PresetManagerListener() = default;

    /** Called at the end of every application of the current preset. */
    virtual void currentPresetApplied() = 0;
};
