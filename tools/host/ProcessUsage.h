/*
    What this process has used so far, summed over all its threads: CPU time and the number of
    times a thread blocked and was woken (voluntary context switches). The difference of two
    readings tells what a stretch of time cost, e.g. a plug-in that is loaded and idle.
*/
#pragma once

#include <cstdint>

namespace vsthost
{

struct ProcessUsage
{
    double userSeconds = 0.0;           // CPU time in user mode
    double systemSeconds = 0.0;         // CPU time in the kernel
    std::int64_t wakeUps = 0;           // voluntary context switches

    /** Reads the process's usage now (getrusage). */
    static ProcessUsage now();

    /** The CPU time in both modes. */
    double cpuSeconds() const noexcept  { return userSeconds + systemSeconds; }

    /** What was used between an earlier reading and this one. */
    ProcessUsage since (const ProcessUsage& earlier) const noexcept;
};

} // namespace vsthost
