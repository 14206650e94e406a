#include "cli/PrivateFile.h"

#include <fstream>

namespace cli {

bool WriteTextFile(const std::string& path, const std::string& content, bool, std::string* error) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << content;
    if (!file.flush()) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace cli
