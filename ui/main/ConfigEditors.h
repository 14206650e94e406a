// The modal editors the main window opens. Each settings editor takes the
// current value bytes and a caption and returns the new value bytes, empty
// when cancelled or unchanged. DialogEditors forwards to the dialogs; tests
// script the user's answers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velkor {

class IConfigEditors {
public:
    virtual ~IConfigEditors() = default;

    virtual std::string EditNetConfig(const std::string& value, const std::string& caption) = 0;
    virtual std::string EditSectorKeys(const std::string& value, const std::string& caption) = 0;
    virtual std::string EditLockersList(const std::string& value, const std::string& caption) = 0;
    virtual std::string EditUSARTConfig(const std::string& value, const std::string& caption) = 0;
    virtual std::string EditOptoFlags(const std::string& value, const std::string& caption) = 0;
    virtual std::string EditDebugFlags(const std::string& value, const std::string& caption) = 0;
    virtual std::string EditAuthFlags(const std::string& value, const std::string& caption) = 0;
    virtual std::string EditWaitTimeout(const std::string& value, const std::string& caption) = 0;
    virtual std::string EditRelayOpenTime(const std::string& value, const std::string& caption) = 0;

    // One-line text: the trimmed answer, or `initial` when cancelled.
    virtual std::string InputString(const std::string& initial, const std::string& caption) = 0;

    // The application-wide display-text dialog: its text (lines joined with
    // CR LF) and hold time, nothing when cancelled.
    struct DisplayText {
        std::string text;
        uint32_t holdMs = 0;
    };
    virtual std::optional<DisplayText> InputDisplayText() = 0;

    // The card-number dialog: the number typed (0 when not an integer),
    // nothing when cancelled.
    virtual std::optional<int32_t> InputCardNumber() = 0;
};

// An edit entry point as a settings reply names it.
using ConfigEditorMethod = std::string (IConfigEditors::*)(const std::string&, const std::string&);

} // namespace velkor
