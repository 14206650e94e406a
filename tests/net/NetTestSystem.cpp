// The error codes and quirks of the system the tests run on.
#include "tests/net/NetTestSupport.h"

#ifdef _WIN32
#include <winsock2.h>

#include <windows.h>
#else
#include <cerrno>
#endif

namespace velkor {

namespace nettest {

#ifdef _WIN32
int ConnectionRefusedCode() {
    return WSAECONNREFUSED;
}
int ConnectionResetCode() {
    return WSAECONNRESET;
}
bool RunningUnderWine() {
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}
#else
int ConnectionRefusedCode() {
    return ECONNREFUSED;
}
int ConnectionResetCode() {
    return ECONNRESET;
}
bool RunningUnderWine() {
    return false;
}
#endif

} // namespace nettest

} // namespace velkor
