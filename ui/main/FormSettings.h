// Texts the main window's files share: the keys of the remembered settings
// and the first item of the interface choice.
#pragma once

namespace velkor {

inline constexpr const char* kSettingGeometry = "window/geometry";
inline constexpr const char* kSettingUdpFlag = "discovery/udpFlag";
inline constexpr const char* kSettingInterface = "discovery/interface"; // a name or "all"
inline constexpr const char* kSettingLogTimestamps = "log/timestamps";  // "1" or "0"
inline constexpr const char* kSettingLogSent = "log/sentPackets";       // "1" or "0"
inline constexpr const char* kSettingDirectTarget = "connect/lastTarget";

inline constexpr const char* kAllInterfaces = "All interfaces";

} // namespace velkor
