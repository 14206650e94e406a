// A POSIX descriptor closed when its owner goes out of scope (Linux platform files only).
#pragma once

#include <unistd.h>
#include <utility>

namespace torvane {

struct UniqueFd {
    int fd = -1;

    UniqueFd() = default;
    explicit UniqueFd(int value) : fd(value) {}
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    UniqueFd(UniqueFd&& other) noexcept : fd(std::exchange(other.fd, -1)) {}
    UniqueFd& operator=(UniqueFd&&) = delete;
    ~UniqueFd() {
        if (fd >= 0) {
            close(fd);
        }
    }
};

} // namespace torvane
