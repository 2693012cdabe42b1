/*
    The entry routine: builds a processor, runs the framework's start-up in order and
    hands the host the VST 2.4 record of a new plug-in instance.
*/
#pragma once

#include "host/VstInterface.h"

namespace juce { class AudioProcessor; }

/** Creates the product's processor; null when it cannot. The product defines it. */
juce::AudioProcessor* createPluginFilter();

/** Creates one plug-in instance for the host; null when the host or the start-up refuses. */
vst::AEffect* pluginEntryPoint (vst::HostCallback audioMaster);
