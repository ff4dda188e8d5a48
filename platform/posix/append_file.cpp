#include "platform/append_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vorlan {

std::string AppendToFile(const std::string& path, const std::string& text) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return std::strerror(errno);
    std::string problem;
    // Nothing to write: the open alone tells whether the file takes lines
    // (a full device refuses even an empty write).
    ssize_t written = 0;
    while (!text.empty()) {
        written = ::write(fd, text.data(), text.size());
        if (written >= 0 || errno != EINTR)
            break;
    }
    if (written < 0)
        problem = std::strerror(errno);
    else if (static_cast<std::size_t>(written) != text.size())
        problem = std::strerror(ENOSPC);
    if (::close(fd) != 0 && problem.empty())
        problem = std::strerror(errno);
    return problem;
}

}  // namespace vorlan
