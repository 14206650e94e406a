// Every configuration dialog's record conversion, the one the window runs:
// SetData with arbitrary bytes, then GetData. Invariant: what a dialog writes
// back is stable — shown again and written again, it gives the same bytes —
// and has the size of the record it was shown.
#include "ui/dialogs/ULockersInput.h"
#include "ui/dialogs/USectorKeys.h"
#include "ui/dialogs/uAuthFlagsInput.h"
#include "ui/dialogs/uDebugFlagsInput.h"
#include "ui/dialogs/uNetConfig.h"
#include "ui/dialogs/uOptoFlagsInput.h"
#include "ui/dialogs/uUSARTCfg.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace velkor::dialogs;

namespace {

void Require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

template <typename Form> std::string WrittenBack(const std::string& record) {
    Form form;
    form.SetData(record);
    return form.GetData();
}

// Records of the dialog's own size, as the controller sends them (a dialog
// shown a record it refuses keeps its empty controls, which is not a record).
template <typename Form> void RequireStable(const std::string& bytes, std::size_t size) {
    if (bytes.size() < size) {
        return;
    }
    const std::string record = bytes.substr(0, size);
    const std::string written = WrittenBack<Form>(record);
    Require(written.size() == size);
    Require(WrittenBack<Form>(written) == written);
}

template <typename Form> void RequireStableFlags(uint8_t flags) {
    Form form;
    form.SetData(flags);
    const uint8_t written = form.GetData();
    Form again;
    again.SetData(written);
    Require(again.GetData() == written);
}

void RequireStableLockers(const std::string& record) {
    TfrmLockersInput form;
    if (!form.SetData(record)) {
        return;
    }
    const std::string written = form.GetData();
    TfrmLockersInput again;
    Require(again.SetData(written));
    Require(again.GetData() == written);
}

} // namespace

// The first byte picks the dialog, the rest is the record it is shown.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > 4096) {
        return 0;
    }
    const std::string record(reinterpret_cast<const char*>(data) + 1, size - 1);
    const uint8_t flags = size > 1 ? data[1] : 0;
    switch (data[0] % 7) {
    case 0:
        RequireStable<TfrmNetConfig>(record, TfrmNetConfig::kRecordSize);
        break;
    case 1:
        RequireStable<TfrmSectorKeys>(record, TfrmSectorKeys::kBlockSize);
        break;
    case 2:
        RequireStable<TfrmUSARTCfg>(record, TfrmUSARTCfg::kBlockSize);
        break;
    case 3:
        // The flags come in 1 to 4 bytes; the second byte of the input picks the length.
        RequireStable<TfrmAuthFlagsInput>(record.substr(record.empty() ? 0 : 1),
                                          1 + flags % TfrmAuthFlagsInput::kMaxLength);
        break;
    case 4:
        RequireStableLockers(record);
        break;
    case 5:
        RequireStableFlags<TfrmDebugFlagsInput>(flags);
        break;
    default:
        RequireStableFlags<TfrmOptoFlagsInput>(flags);
        break;
    }
    return 0;
}
