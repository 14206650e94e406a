#include "ui/main/SettingsStore.h"

#include <cstdio>

namespace velkor {

std::string GeometryText(const WindowGeometry& geometry) {
    return std::to_string(geometry.Left) + "," + std::to_string(geometry.Top) + "," +
           std::to_string(geometry.Width) + "," + std::to_string(geometry.Height) + "," +
           (geometry.Maximized ? "1" : "0");
}

std::optional<WindowGeometry> ParseGeometry(std::string_view text) {
    WindowGeometry geometry;
    int maximized = 0;
    int used = 0;
    const std::string copy(text);
    if (std::sscanf(copy.c_str(), "%d,%d,%d,%d,%d%n", &geometry.Left, &geometry.Top,
                    &geometry.Width, &geometry.Height, &maximized, &used) != 5 ||
        used != static_cast<int>(copy.size()) || geometry.Width < 1 || geometry.Height < 1 ||
        (maximized != 0 && maximized != 1)) {
        return std::nullopt;
    }
    geometry.Maximized = maximized == 1;
    return geometry;
}

} // namespace velkor
