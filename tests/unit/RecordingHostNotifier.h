/*
    A host side that records what a processor tells the host: automation, gesture begins
    and ends, and display updates.
*/
#pragma once

#include "host/HostedProcessor.h"

#include <utility>
#include <vector>

struct RecordingHostNotifier final : HostedProcessor::HostNotifier
{
    void hostAutomate (int slot, float value) override  { automated.push_back ({ slot, value }); }
    void hostBeginEdit (int slot) override              { begun.push_back (slot); }
    void hostEndEdit (int slot) override                { ended.push_back (slot); }
    void hostUpdateDisplay() override                   { ++displayUpdates; }
    void hostIoChanged() override                       {}

    std::vector<std::pair<int, float>> automated;
    std::vector<int> begun, ended;
    int displayUpdates = 0;
};
