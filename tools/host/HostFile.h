/*
    Whole-file reads and writes for the host: reads refuse files above a size limit, writes go
    to a temporary file beside the target that is renamed into place, so a failed write never
    destroys the file that was there before.
*/
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vsthost
{

class HostFile
{
public:
    /** Reads a whole file; false with a reason when it cannot be read or is larger than maxBytes. */
    static bool read (const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error,
                      std::uint64_t maxBytes = (std::uint64_t) 1 << 30);

    /** Writes bytes to a file beside the target and renames it into place; false with a reason
        when any step fails, in which case the previous file is left as it was. */
    static bool write (const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error);
};

} // namespace vsthost
