// A backup holding keys on Windows: the file's access list lets only the
// current user in and does not inherit the folder's entries; other files keep
// the folder's. Read back through the security API, as another program sees it.
// Wine keeps no access lists on files (it turns them into Unix modes and builds
// a list from the mode when asked), so there only the rest is checked.
#include "cli/PrivateFile.h"

#include <windows.h>

#include <aclapi.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace velkor {

namespace {

struct FileSecurity {
    bool Protected = false;
    std::vector<ACCESS_ALLOWED_ACE*> Allowed; // valid while `descriptor` lives
    int Entries = 0;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ~FileSecurity() { ::LocalFree(descriptor); }
};

void ReadSecurity(const std::filesystem::path& path, FileSecurity& security) {
    ACL* dacl = nullptr;
    ASSERT_EQ(::GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                      nullptr, nullptr, &dacl, nullptr, &security.descriptor),
              static_cast<DWORD>(ERROR_SUCCESS));
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ASSERT_TRUE(::GetSecurityDescriptorControl(security.descriptor, &control, &revision));
    security.Protected = (control & SE_DACL_PROTECTED) != 0;
    ASSERT_NE(dacl, nullptr) << "no access list: everyone may open the file";
    security.Entries = dacl->AceCount;
    for (DWORD k = 0; k < dacl->AceCount; ++k) {
        void* entry = nullptr;
        ASSERT_TRUE(::GetAce(dacl, k, &entry));
        if (static_cast<ACE_HEADER*>(entry)->AceType == ACCESS_ALLOWED_ACE_TYPE) {
            security.Allowed.push_back(static_cast<ACCESS_ALLOWED_ACE*>(entry));
        }
    }
}

bool IsCurrentUser(ACCESS_ALLOWED_ACE* entry) {
    HANDLE token = nullptr;
    ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token);
    BYTE buffer[256];
    DWORD size = 0;
    const bool read = ::GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size);
    ::CloseHandle(token);
    return read &&
           ::EqualSid(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &entry->SidStart) != 0;
}

bool RunningOnWine() {
    return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

std::string Content(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace

TEST(PrivateFileOnWindows, KeysFileIsForTheCurrentUserAloneOthersInherit) {
    const auto folder = std::filesystem::temp_directory_path() /
                        ("velkor-cli-acl-" + std::to_string(::GetCurrentProcessId()));
    std::filesystem::create_directories(folder);
    const auto keyed = folder / "keyed.json";
    const auto plain = folder / "plain.json";
    std::string error;

    // An existing file the folder's entries apply to is replaced and closed off.
    ASSERT_TRUE(cli::WriteTextFile(keyed.string(), "old", false, &error)) << error;
    ASSERT_TRUE(cli::WriteTextFile(keyed.string(), "{\"keys\":1}", true, &error)) << error;
    EXPECT_EQ(Content(keyed), "{\"keys\":1}");
    ASSERT_TRUE(cli::WriteTextFile(plain.string(), "{}", false, &error)) << error;
    if (RunningOnWine()) {
        std::cout << "Wine keeps no access lists on files: they are checked on Windows only\n";
    } else {
        FileSecurity security;
        ReadSecurity(keyed, security);
        EXPECT_TRUE(security.Protected) << "the folder's entries would still apply";
        EXPECT_EQ(security.Entries, 1);
        ASSERT_EQ(security.Allowed.size(), 1u);
        EXPECT_TRUE(IsCurrentUser(security.Allowed[0]));
        EXPECT_EQ(security.Allowed[0]->Mask & FILE_ALL_ACCESS, static_cast<DWORD>(FILE_ALL_ACCESS));

        FileSecurity inherited;
        ReadSecurity(plain, inherited);
        EXPECT_FALSE(inherited.Protected);
    }

    // A folder that is not there: an error naming the file, nothing created.
    const auto missing = folder / "no-such-folder" / "x.json";
    EXPECT_FALSE(cli::WriteTextFile(missing.string(), "{}", true, &error));
    EXPECT_NE(error.find("x.json"), std::string::npos) << error;
    std::filesystem::remove_all(folder);
}

} // namespace velkor
