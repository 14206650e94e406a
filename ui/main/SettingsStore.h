// What Velkor remembers between runs, per user, in the platform's usual place
// (QSettings on Linux, the registry or an ini file on Windows). The window's
// logic reads and writes plain text values under fixed keys; each front end
// brings its store.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velkor {

class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;
    // Values are Windows-1251 texts like every text of the window.
    virtual std::optional<std::string> Read(const std::string& key) const = 0;
    // Stores the value; false, with `error` saying where and why, when it
    // could not be written.
    [[nodiscard]] virtual bool Write(const std::string& key, const std::string& value,
                                     std::string& error) = 0;
};

// The main window's place on the screen, in pixels, without its frame.
struct WindowGeometry {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool Maximized = false;
};

// "left,top,width,height,maximized" and back; nothing for a text that is not
// one, or for a size below one pixel.
std::string GeometryText(const WindowGeometry& geometry);
std::optional<WindowGeometry> ParseGeometry(std::string_view text);

} // namespace velkor
