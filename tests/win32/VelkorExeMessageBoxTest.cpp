// Velkor.exe started from the desktop (no output to write to, no console to
// attach to) answers --help and a wrong option in a message box: the usage
// text, or the error with exit status 2 once the box is closed.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring velkorExe; // from the command line, a Unix path made a Windows one

// Runs Velkor.exe with `arguments` and no standard handles; returns the
// process, or nullptr when it could not be started.
HANDLE StartDetached(const std::wstring& arguments) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES; // all three null
    PROCESS_INFORMATION process{};
    std::wstring line = L"\"" + velkorExe + L"\" " + arguments;
    if (!CreateProcessW(velkorExe.c_str(), line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                        nullptr, nullptr, &startup, &process)) {
        return nullptr;
    }
    CloseHandle(process.hThread);
    return process.hProcess;
}

struct ShownBox {
    DWORD processId;
    HWND box = nullptr;
};

BOOL CALLBACK FindBox(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<ShownBox*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t caption[16] = {};
    GetWindowTextW(window, caption, 16);
    if (owner == search->processId && IsWindowVisible(window) &&
        std::wstring(caption) == L"Velkor") {
        search->box = window;
        return FALSE;
    }
    return TRUE;
}

// Waits up to 20 s for the process's message box; returns its text and
// closes it, or returns nothing.
std::wstring TakeMessageBox(HANDLE process) {
    ShownBox search{GetProcessId(process)};
    for (int tries = 0; tries < 200 && search.box == nullptr; ++tries) {
        Sleep(100);
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    }
    if (search.box == nullptr) {
        return {};
    }
    wchar_t text[4096] = {};
    GetDlgItemTextW(search.box, 0xFFFF, text, 4096); // a message box's text
    PostMessageW(search.box, WM_COMMAND, IDOK, 0);
    return text;
}

// Waits up to 20 s for the end; its exit status, or -1.
long ExitStatus(HANDLE process) {
    DWORD status = 0;
    const bool ended = WaitForSingleObject(process, 20000) == WAIT_OBJECT_0 &&
                       GetExitCodeProcess(process, &status);
    if (!ended) {
        TerminateProcess(process, 99);
    }
    CloseHandle(process);
    return ended ? static_cast<long>(status) : -1;
}

TEST(VelkorExe, FromTheDesktopItAnswersInAMessageBox) {
    FreeConsole(); // so Velkor.exe finds no console of ours to write to
    const HANDLE help = StartDetached(L"--help");
    ASSERT_NE(help, nullptr) << "cannot start " << std::string(velkorExe.begin(), velkorExe.end());
    const std::wstring usage = TakeMessageBox(help);
    EXPECT_EQ(usage.rfind(L"Usage: Velkor.exe", 0), 0u);
    EXPECT_NE(usage.find(L"--broadcast"), std::wstring::npos);
    EXPECT_EQ(ExitStatus(help), 0);

    const HANDLE wrong = StartDetached(L"--bogus");
    ASSERT_NE(wrong, nullptr);
    const std::wstring error = TakeMessageBox(wrong);
    EXPECT_NE(error.find(L"--bogus"), std::wstring::npos);
    EXPECT_EQ(ExitStatus(wrong), 2);
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc < 2) {
        return 2;
    }
    const std::string path = argv[1];
    velkorExe.assign(path.begin(), path.end());
    if (!velkorExe.empty() && velkorExe[0] == L'/') { // Wine's drive Z: is the Unix root
        velkorExe = L"Z:" + velkorExe;
        for (wchar_t& c : velkorExe) {
            c = c == L'/' ? L'\\' : c;
        }
    }
    return RUN_ALL_TESTS();
}
