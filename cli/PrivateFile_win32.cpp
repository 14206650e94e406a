#include "cli/PrivateFile.h"

#include "cli/Utf8Console.h"

#include <windows.h>

#include <aclapi.h>

#include <vector>

namespace velkor::cli {

namespace {

// The user this process runs as, from its token.
std::vector<BYTE> CurrentUserSid() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return {};
    }
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    const bool ok = size != 0 && ::GetTokenInformation(token, TokenUser, user.data(), size, &size);
    ::CloseHandle(token);
    if (!ok) {
        return {};
    }
    const PSID sid = reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid;
    std::vector<BYTE> copy(::GetLengthSid(sid));
    ::CopySid(static_cast<DWORD>(copy.size()), copy.data(), sid);
    return copy;
}

// An access list with one entry: everything for `sid`.
std::vector<BYTE> OnlyAllowing(std::vector<BYTE>& sid) {
    const DWORD size = static_cast<DWORD>(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + sid.size());
    std::vector<BYTE> acl(size);
    auto* list = reinterpret_cast<ACL*>(acl.data());
    if (!::InitializeAcl(list, size, ACL_REVISION) ||
        !::AddAccessAllowedAce(list, ACL_REVISION, FILE_ALL_ACCESS, sid.data())) {
        return {};
    }
    return acl;
}

// Replaces the file's access list with one for its user alone, protected
// from the entries the folder would hand down.
bool RestrictToCurrentUser(HANDLE file) {
    std::vector<BYTE> sid = CurrentUserSid();
    std::vector<BYTE> acl = sid.empty() ? sid : OnlyAllowing(sid);
    if (acl.empty()) {
        return false;
    }
    return ::SetSecurityInfo(file, SE_FILE_OBJECT,
                             DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                             nullptr, nullptr, reinterpret_cast<ACL*>(acl.data()),
                             nullptr) == ERROR_SUCCESS;
}

} // namespace

bool WriteTextFile(const std::string& path, const std::string& content, bool owner_only,
                   std::string* error) {
    // Not shared while it is open: nobody opens it before its access list is
    // set, and nothing is written before.
    const HANDLE file =
        ::CreateFileW(PathFromUtf8(path).c_str(), GENERIC_WRITE | (owner_only ? WRITE_DAC : 0), 0,
                      nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *error =
            "cannot write " + path + " (Windows error " + std::to_string(::GetLastError()) + ")";
        return false;
    }
    DWORD written = 0;
    const bool restricted = !owner_only || RestrictToCurrentUser(file);
    const bool ok =
        restricted &&
        ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
        written == content.size();
    const DWORD code = ::GetLastError();
    ::CloseHandle(file);
    if (!ok) {
        *error = (restricted ? "cannot write " : "cannot restrict to its owner: ") + path +
                 " (Windows error " + std::to_string(code) + ")";
        // A file meant for its owner alone is not left readable by others.
        ::DeleteFileW(PathFromUtf8(path).c_str());
    }
    return ok;
}

} // namespace velkor::cli
