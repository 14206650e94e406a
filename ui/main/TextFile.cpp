#include "ui/main/TextFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace velkor {

bool WriteTextFile(const std::string& path, std::string_view bytes, std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    bool ok = file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int code = errno;
    if (file != nullptr && std::fclose(file) != 0) {
        ok = false;
    }
    if (!ok && error != nullptr) {
        *error = std::strerror(code != 0 ? code : EIO);
    }
    return ok;
}

} // namespace velkor
