#include "tools/host/HostFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vsthost
{

bool HostFile::read (const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error, std::uint64_t maxBytes)
{
    bytes.clear();
    const int fd = ::open (path.c_str(), O_RDONLY | O_CLOEXEC);

    if (fd < 0)
    {
        error = "cannot open " + path + ": " + std::strerror (errno);
        return false;
    }

    struct stat info {};

    if (fstat (fd, &info) != 0 || ! S_ISREG (info.st_mode))
    {
        ::close (fd);
        error = path + " is not a regular file";
        return false;
    }

    if ((std::uint64_t) info.st_size > maxBytes)
    {
        ::close (fd);
        error = path + " is too large (" + std::to_string ((long long) info.st_size) + " bytes)";
        return false;
    }

    bytes.resize ((size_t) info.st_size);
    size_t done = 0;

    while (done < bytes.size())
    {
        const auto got = ::read (fd, bytes.data() + done, bytes.size() - done);

        if (got < 0 && errno == EINTR)
            continue;

        if (got <= 0)
            break;

        done += (size_t) got;
    }

    ::close (fd);

    if (done != bytes.size())
    {
        bytes.clear();
        error = "cannot read " + path;
        return false;
    }

    return true;
}

bool HostFile::write (const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error)
{
    if (path.empty())
    {
        error = "no file name given";
        return false;
    }

    std::string temporary = path + ".XXXXXX";
    const int fd = mkstemp (temporary.data());

    if (fd < 0)
    {
        error = "cannot create a file beside " + path + ": " + std::strerror (errno);
        return false;
    }

    auto fail = [&] (const std::string& reason)
    {
        error = reason + ": " + std::strerror (errno);
        ::close (fd);
        ::unlink (temporary.c_str());
        return false;
    };

    fchmod (fd, 0644);
    size_t done = 0;

    while (done < bytes.size())
    {
        const auto written = ::write (fd, bytes.data() + done, bytes.size() - done);

        if (written < 0 && errno == EINTR)
            continue;

        if (written <= 0)
            return fail ("cannot write " + temporary);

        done += (size_t) written;
    }

    if (fsync (fd) != 0)
        return fail ("cannot write " + temporary);

    if (::close (fd) != 0)
    {
        error = "cannot write " + temporary + ": " + std::strerror (errno);
        ::unlink (temporary.c_str());
        return false;
    }

    if (std::rename (temporary.c_str(), path.c_str()) != 0)
    {
        error = "cannot replace " + path + ": " + std::strerror (errno);
        ::unlink (temporary.c_str());
        return false;
    }

    return true;
}

} // namespace vsthost
