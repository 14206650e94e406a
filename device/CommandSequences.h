// The command sequences the window sends for its buttons, menus and
// write-backs, over the reader link, so that every front end and the
// command-line tool send exactly the same packets. Over UDP the reader puts
// its UDP flag into `flags`; over TCP the value given here goes out.
#pragma once

#include "device/SettingsItems.h"
#include "session/ReaderLink.h"

#include <cstdint>
#include <string>

namespace velkor::device {

// ---- Settings ----

// Command 8 with the item byte.
void ReadSetting(IReaderLink& link, uint8_t item);
// Command 9 with the item byte and the value.
void WriteSetting(IReaderLink& link, uint8_t item, const std::string& value, uint8_t flags = 0);
// Command 9, then 19 (commit).
void WriteSettingAndCommit(IReaderLink& link, uint8_t item, const std::string& value);
// The write-back after an item's dialog: command 9, then 34, 36 and 19, all
// with `flags` (those of the reply the dialog was opened for).
void SendSettings(IReaderLink& link, uint8_t item, uint8_t flags, const std::string& value);
// A byte-value menu choice: command 9, 19, then a read of the item.
void ChooseByteValue(IReaderLink& link, uint8_t item, uint8_t value);
// The write of `item` as the window writes it (its WriteSequence), flags 0.
void WriteSettingsItem(IReaderLink& link, const SettingsItemInfo& item, const std::string& value);

// ---- Device commands ----

// Command 23: the text, the tones of sound pattern 0 to 4, the hold item.
void ShowDeviceText(IReaderLink& link, const std::string& text, uint16_t holdMs, int pattern,
                    bool holdFlag, uint8_t volume, uint8_t flags, uint8_t code);
// Command 23: the greeting melody, then a hold item when holdMs is above 0.
void PlayMelody(IReaderLink& link, uint8_t volume, uint16_t holdMs, uint8_t flags, uint8_t code);
// "Beep": command 23 with one 4000 Hz tone of 150 ms.
void Beep(IReaderLink& link, uint8_t volume);
// "Text": the text with its hold time, then the melody with the same hold.
void ShowTextWithMelody(IReaderLink& link, const std::string& text, uint16_t holdMs,
                        uint8_t volume);
// Command 21; false, nothing sent, for a relay above 3 or 3200 ms and more.
bool PulseRelay(IReaderLink& link, unsigned relay, unsigned durationMs, uint8_t flags);
// Command 41 with the reset byte (ResetByte).
void SendReset(IReaderLink& link, uint8_t resetByte);
// Command 40 with the card message record.
void SendCardMessage(IReaderLink& link, uint32_t value, uint8_t mode, uint8_t flags, uint8_t code,
                     const std::string& identifier, const std::string& text);
// Command 33: write a number to a card block.
void WriteNumber(IReaderLink& link, uint8_t block, int64_t number);
// "Set" of the LED brightness: item 25 written and committed, then a preview
// (LED on, a tone, a pause, LED off).
void SetLedBrightness(IReaderLink& link, uint8_t level, uint8_t volume);
// "Global Sound Vol": item 24 := volume div 2, committed.
void SetGlobalSoundVolume(IReaderLink& link, uint8_t volume);

} // namespace velkor::device
