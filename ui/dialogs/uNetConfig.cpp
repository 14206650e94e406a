#include "ui/dialogs/uNetConfig.h"

#include "protocol/eproto.h"
#include "ui/dialogs/EditOperations.h"
#include "ui/dialogs/NumberText.h"

namespace dialogs {

namespace {

constexpr std::size_t kMacSize = 6;
constexpr std::size_t kIpOffset = 6;
constexpr std::size_t kMaskOffset = 10;
constexpr std::size_t kGatewayOffset = 14;
constexpr std::size_t kUdpPortOffset = 18;
constexpr std::size_t kTcpPortOffset = 20;
constexpr std::size_t kDebugPortOffset = 22;

TEdit MakeEdit(std::string name, const char* text, int maxLength) {
    TEdit edit;
    edit.name = std::move(name);
    edit.text = text;
    edit.maxLength = maxLength;
    return edit;
}

std::array<TEdit, 4> MakeOctetEdits(const char* prefix, std::array<const char*, 4> texts) {
    std::array<TEdit, 4> edits;
    for (std::size_t k = 0; k < edits.size(); ++k) {
        edits[k] = MakeEdit(prefix + std::to_string(k + 1), texts[k], 3);
    }
    return edits;
}

void ShowOctets(std::array<TEdit, 4>& edits, const std::string& record, std::size_t offset) {
    for (std::size_t k = 0; k < edits.size(); ++k) {
        edits[k].text = std::to_string(static_cast<uint8_t>(record[offset + k]));
    }
}

void AppendOctets(std::string& record, const std::array<TEdit, 4>& edits) {
    for (const TEdit& edit : edits) {
        AppendLe(record, static_cast<uint32_t>(FieldToInt(edit.text)), 1);
    }
}

} // namespace

TfrmNetConfig::TfrmNetConfig()
    : TfrmBase("Network Config"), Label4(MakeLabel("Label4", "MAC:")),
      labMAC(MakeLabel("labMAC", "IP")), labIP(MakeLabel("labIP", "IP")),
      edIP(MakeOctetEdits("edIP", {"192", "168", "0", "2"})), labMask(MakeLabel("labMask", "Mask")),
      edMask(MakeOctetEdits("edMask", {"255", "255", "255", "0"})),
      labGateway(MakeLabel("labGateway", "Gateway")),
      edGateway(MakeOctetEdits("edGateway", {"192", "168", "0", "1"})),
      Label1(MakeLabel("Label1", "UDP Port")), edUDPPort(MakeEdit("edUDPPort", "3052", 5)),
      Label2(MakeLabel("Label2", "TCP Port")), edTCPPort(MakeEdit("edTCPPort", "8080", 5)),
      Label3(MakeLabel("Label3", "Debug Port")), edDebugPort(MakeEdit("edDebugPort", "80", 5)) {
    edUDPPort.enabled = false;
    btnOk = MakeOkButton();
    btnCancel = MakeCancelButton();
    btnCancel.isCancel = false; // Escape does not cancel this dialog
}

void TfrmNetConfig::SetData(const std::string& record) {
    if (record.size() < kRecordSize) {
        return;
    }
    labMAC.caption = eproto_bytes_to_hex(std::string_view(record).substr(0, kMacSize), "");
    ShowOctets(edIP, record, kIpOffset);
    ShowOctets(edMask, record, kMaskOffset);
    ShowOctets(edGateway, record, kGatewayOffset);
    edUDPPort.text = std::to_string(ReadLe(record, kUdpPortOffset, 2));
    edTCPPort.text = std::to_string(ReadLe(record, kTcpPortOffset, 2));
    edDebugPort.text = std::to_string(ReadLe(record, kDebugPortOffset, 2));
}

std::string TfrmNetConfig::GetData() const {
    std::string record = eproto_hex_to_bytes(labMAC.caption);
    record.resize(kMacSize, '\0');
    AppendOctets(record, edIP);
    AppendOctets(record, edMask);
    AppendOctets(record, edGateway);
    for (const TEdit* port : {&edUDPPort, &edTCPPort, &edDebugPort}) {
        AppendLe(record, static_cast<uint32_t>(FieldToInt(port->text)), 2);
    }
    return record;
}

std::string EditNetConfig(IModalRunner& runner, const std::string& record,
                          const std::string& caption) {
    TfrmNetConfig form;
    form.caption = caption;
    form.SetData(record);
    return runner.Run(form) == mrOk ? form.GetData() : std::string();
}

} // namespace dialogs
