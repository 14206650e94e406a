#include "ui/dialogs/Controls.h"

namespace dialogs {

std::string TMemo::Text() const {
    std::string text;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        if (n > 0) {
            text += "\r\n";
        }
        text += lines[n];
    }
    return text;
}

} // namespace dialogs
