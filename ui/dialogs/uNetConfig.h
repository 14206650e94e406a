// The network configuration dialog and the 24-byte network record: MAC (6),
// address, mask and gateway (4 each, first octet first), then the UDP, TCP and
// debug ports (16-bit little-endian each).
#pragma once

#include "device/SettingsRecords.h"
#include "ui/controls/Controls.h"
#include "ui/dialogs/ModalDialog.h"

#include <array>
#include <string>

namespace velkor::dialogs {

class TfrmNetConfig : public DialogForm {
public:
    static constexpr std::size_t kRecordSize = device::NetworkRecord::kSize;

    TfrmNetConfig();

    TLabel Label4; // "MAC:", the caption of labMAC
    TLabel labMAC; // shows the MAC address as 12 hexadecimal digits
    TLabel labIP;
    std::array<TEdit, 4> edIP; // edIP1..edIP4
    TLabel labMask;
    std::array<TEdit, 4> edMask; // edMask1..edMask4
    TLabel labGateway;
    std::array<TEdit, 4> edGateway; // edGateway1..edGateway4
    TLabel Label1;                  // "UDP Port", the caption of edUDPPort
    TEdit edUDPPort;                // shown, never edited
    TLabel Label2;                  // "TCP Port", the caption of edTCPPort
    TEdit edTCPPort;
    TLabel Label3; // "Debug Port", the caption of edDebugPort
    TEdit edDebugPort;
    TButton btnOk;
    TButton btnCancel;

    // A record shorter than 24 bytes leaves the designed texts in place.
    void SetData(const std::string& record);
    // Always 24 bytes.
    std::string GetData() const;
};

} // namespace velkor::dialogs
