// Writing a file that only its owner may read (a backup holding sector keys),
// one platform file per system.
#pragma once

#include <string>

namespace velkor::cli {

// Creates or replaces `path` with `content`; `owner_only` restricts it to the
// owner (POSIX mode 0600; on Windows an access list for the current user
// alone, not inheriting the folder's).
bool WriteTextFile(const std::string& path, const std::string& content, bool owner_only,
                   std::string* error);

} // namespace velkor::cli
