#include "tools/host/ProcessUsage.h"

#include <sys/resource.h>

namespace vsthost
{

ProcessUsage ProcessUsage::now()
{
    rusage usage {};
    ProcessUsage result;

    if (getrusage (RUSAGE_SELF, &usage) == 0)
    {
        result.userSeconds = (double) usage.ru_utime.tv_sec + 1.0e-6 * (double) usage.ru_utime.tv_usec;
        result.systemSeconds = (double) usage.ru_stime.tv_sec + 1.0e-6 * (double) usage.ru_stime.tv_usec;
        result.wakeUps = (std::int64_t) usage.ru_nvcsw;
    }

    return result;
}

ProcessUsage ProcessUsage::since (const ProcessUsage& earlier) const noexcept
{
    ProcessUsage difference;
    difference.userSeconds = userSeconds - earlier.userSeconds;
    difference.systemSeconds = systemSeconds - earlier.systemSeconds;
    difference.wakeUps = wakeUps - earlier.wakeUps;
    return difference;
}

} // namespace vsthost
