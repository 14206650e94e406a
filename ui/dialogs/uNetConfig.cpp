#include "ui/dialogs/uNetConfig.h"

#include "device/SettingsRecords.h"
#include "protocol/eproto.h"

#include "ui/dialogs/EditOperations.h"
#include "ui/dialogs/FlagEdit.h"
#include "ui/dialogs/NumberText.h"
#include <algorithm>

namespace velkor::dialogs {

namespace {

TEdit MakeEdit(std::string name, const char* text, int maxLength) {
    TEdit edit(std::move(name));
    edit.SetText(text);
    edit.SetMaxLength(maxLength);
    return edit;
}

std::array<TEdit, 4> MakeOctetEdits(const char* prefix, std::array<const char*, 4> texts) {
    std::array<TEdit, 4> edits;
    for (std::size_t k = 0; k < edits.size(); ++k) {
        edits[k] = MakeEdit(prefix + std::to_string(k + 1), texts[k], 3);
    }
    return edits;
}

void ShowOctets(std::array<TEdit, 4>& edits, const std::array<uint8_t, 4>& octets) {
    for (std::size_t k = 0; k < edits.size(); ++k) {
        edits[k].SetText(std::to_string(octets[k]));
    }
}

// The low 8 bits of each field's number.
std::array<uint8_t, 4> Octets(const std::array<TEdit, 4>& edits) {
    std::array<uint8_t, 4> octets{};
    for (std::size_t k = 0; k < edits.size(); ++k) {
        octets[k] = static_cast<uint8_t>(FieldToInt(edits[k].Text()));
    }
    return octets;
}

uint16_t Port(const TEdit& edit) {
    return static_cast<uint16_t>(FieldToInt(edit.Text()));
}

} // namespace

TfrmNetConfig::TfrmNetConfig()
    : DialogForm("Network Config"), Label4("Label4", "MAC:"), labMAC("labMAC", "IP"),
      labIP("labIP", "IP"), edIP(MakeOctetEdits("edIP", {"192", "168", "0", "2"})),
      labMask("labMask", "Mask"), edMask(MakeOctetEdits("edMask", {"255", "255", "255", "0"})),
      labGateway("labGateway", "Gateway"),
      edGateway(MakeOctetEdits("edGateway", {"192", "168", "0", "1"})),
      Label1("Label1", "UDP Port"), edUDPPort(MakeEdit("edUDPPort", "3052", 5)),
      Label2("Label2", "TCP Port"), edTCPPort(MakeEdit("edTCPPort", "8080", 5)),
      Label3("Label3", "Debug Port"), edDebugPort(MakeEdit("edDebugPort", "80", 5)) {
    edUDPPort.SetEnabled(false);
    btnOk = MakeOkButton();
    btnCancel = MakeCancelButton();
    btnCancel.SetCancel(false); // Escape does not cancel this dialog
}

void TfrmNetConfig::SetData(const std::string& record) {
    const std::optional<device::NetworkRecord> decoded = device::DecodeNetworkRecord(record);
    if (!decoded) {
        return;
    }
    labMAC.SetCaption(eproto_bytes_to_hex(decoded->Mac.data(), decoded->Mac.size(), ""));
    ShowOctets(edIP, decoded->Ip);
    ShowOctets(edMask, decoded->Mask);
    ShowOctets(edGateway, decoded->Gateway);
    edUDPPort.SetText(std::to_string(decoded->UdpPort));
    edTCPPort.SetText(std::to_string(decoded->TcpPort));
    edDebugPort.SetText(std::to_string(decoded->DebugPort));
}

std::string TfrmNetConfig::GetData() const {
    device::NetworkRecord record;
    // The MAC text's bytes, cut to six or padded with zero bytes.
    const std::string mac = eproto_hex_to_bytes(labMAC.Caption());
    std::copy_n(mac.begin(), std::min(mac.size(), record.Mac.size()), record.Mac.begin());
    record.Ip = Octets(edIP);
    record.Mask = Octets(edMask);
    record.Gateway = Octets(edGateway);
    record.UdpPort = Port(edUDPPort);
    record.TcpPort = Port(edTCPPort);
    record.DebugPort = Port(edDebugPort);
    return device::EncodeNetworkRecord(record);
}

std::string EditNetConfig(IModalRunner& runner, const std::string& record,
                          const std::string& caption) {
    return EditRecord<TfrmNetConfig>(runner, record, caption);
}

} // namespace velkor::dialogs
