#include "cli/PrivateFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velkor::cli {

bool WriteTextFile(const std::string& path, const std::string& content, bool owner_only,
                   std::string* error) {
    const mode_t mode = owner_only ? 0600 : 0644;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, mode);
    // An existing file keeps its mode through open: set it again.
    const bool ok =
        fd >= 0 && (!owner_only || ::fchmod(fd, 0600) == 0) &&
        ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
    const int code = errno;
    if (fd >= 0) {
        ::close(fd);
    }
    if (!ok) {
        *error = "cannot write " + path + ": " + std::strerror(code);
    }
    return ok;
}

} // namespace velkor::cli
