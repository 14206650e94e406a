// The edit operations the main window calls: each creates its dialog, loads
// the current value, runs it through the modal seam and converts the result
// back. Values and texts are byte strings (Windows-1251 texts, raw bytes).
// Unless noted, an empty result means there is nothing to write.
#pragma once

#include "ui/dialogs/ModalDialog.h"

#include <cstdint>
#include <optional>
#include <string>

namespace velkor::dialogs {

// Network record (24 bytes): the edited record on OK, empty otherwise.
std::string EditNetConfig(IModalRunner& runner, const std::string& record,
                          const std::string& caption);

// Sector keys block: the 98-byte block on OK, empty otherwise.
std::string EditSectorKeys(IModalRunner& runner, const std::string& block,
                           const std::string& caption);

// Lockers list block: the rebuilt block on OK, empty otherwise. The main window
// logs the result and restores the lockers count's colour itself.
std::string EditLockersList(IModalRunner& runner, const std::string& block,
                            const std::string& caption);

// USART block: the 12 bytes on OK when they differ from the given block,
// empty when cancelled, unchanged, or when the given block is empty.
std::string EditUSARTConfig(IModalRunner& runner, const std::string& block,
                            const std::string& caption);

// One flags byte: the edited byte on OK, the given byte otherwise.
uint8_t EditOptoFlags(IModalRunner& runner, uint8_t value, const std::string& caption);
uint8_t EditDebugFlags(IModalRunner& runner, uint8_t value, const std::string& caption);

// Workflow forms of the two above: the first byte of `value` is edited; the
// result is that one byte when it changed, empty when unchanged, cancelled, or
// when `value` is empty.
std::string EditOptoFlags(IModalRunner& runner, const std::string& value,
                          const std::string& caption);
std::string EditDebugFlags(IModalRunner& runner, const std::string& value,
                           const std::string& caption);

// Authorisation flags (1 to 4 bytes kept): the new value when it differs from
// the given one, empty when unchanged, cancelled, or when `value` is empty.
std::string EditAuthFlags(IModalRunner& runner, const std::string& value,
                          const std::string& caption);

// Integer within [low, high]; text the dialog cannot use is corrected and the
// dialog shown again. Returns `onCancel` when the dialog is cancelled.
uint32_t InputInteger(IModalRunner& runner, uint32_t low, uint32_t high, uint32_t initial,
                      const std::string& caption, uint32_t onCancel);

// 16-bit wait time-out (300..65535): 2 bytes on OK (also when unchanged),
// empty when cancelled or when `value` has fewer than 2 bytes.
std::string EditWaitTimeout(IModalRunner& runner, const std::string& value,
                            const std::string& caption);

// 32-bit relay open time (50..99999): 4 bytes on OK (also when unchanged),
// empty when cancelled or when `value` has fewer than 4 bytes.
std::string EditRelayOpenTime(IModalRunner& runner, const std::string& value,
                              const std::string& caption);

// One-line text: the trimmed text on OK, `initial` otherwise.
std::string InputString(IModalRunner& runner, const std::string& initial,
                        const std::string& caption);

// The display text and its hold time chosen in the application-wide text
// dialog. The form outlives the call so the last text and delay are kept.
struct DisplayTextInput {
    std::string text; // the memo's lines joined with CR LF
    uint32_t holdMs = 0;
};
std::optional<DisplayTextInput> InputDisplayText(IModalRunner& runner, TfrmTextInput& form);

// New card number: the number typed (0 when it is not an integer) on OK,
// nothing when cancelled.
std::optional<int32_t> InputCardNumber(IModalRunner& runner);

} // namespace velkor::dialogs
