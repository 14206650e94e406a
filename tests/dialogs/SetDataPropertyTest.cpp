// Loading any byte string into a dialog never fails, and the dialog always
// builds a value of its documented length.
#include "ScriptedRunner.h"

#include <random>

namespace velkor::dialogs::testing {
namespace {

constexpr std::size_t kMaxLength = 200;

template <typename Check> void ForRandomValues(Check check) {
    std::mt19937 random(20240601);
    std::uniform_int_distribution<int> byte(0, 255);
    for (std::size_t length = 0; length <= kMaxLength; ++length) {
        for (int round = 0; round < 4; ++round) {
            std::string value(length, '\0');
            for (char& c : value) {
                c = static_cast<char>(byte(random));
            }
            check(value);
        }
    }
}

TEST(SetDataProperty, EveryDialogBuildsItsDocumentedLength) {
    ForRandomValues([](const std::string& value) {
        TfrmNetConfig net;
        net.SetData(value);
        EXPECT_EQ(net.GetData().size(), 24u);
        if (value.size() >= 24) {
            EXPECT_EQ(net.GetData(), value.substr(0, 24));
        }

        TfrmSectorKeys keys;
        keys.SetData(value);
        EXPECT_EQ(keys.GetData().size(), 98u);

        TfrmLockersInput lockers;
        lockers.SetData(value);
        const std::size_t length = lockers.GetData().size();
        EXPECT_GE(length, 81u);
        EXPECT_LE(length, 97u);
        EXPECT_EQ((length - 1) % 16, 0u);

        TfrmUSARTCfg usart;
        usart.SetData(value);
        EXPECT_EQ(usart.GetData().size(), 12u);

        TfrmAuthFlagsInput auth;
        auth.SetData(value);
        EXPECT_EQ(auth.GetData().size(), std::min<std::size_t>(value.size(), 4));

        if (!value.empty()) {
            TfrmOptoFlagsInput opto;
            opto.SetData(static_cast<uint8_t>(value[0]));
            EXPECT_EQ(opto.GetData(), static_cast<uint8_t>(value[0]));
            TfrmDebugFlagsInput debug;
            debug.SetData(static_cast<uint8_t>(value[0]));
            EXPECT_EQ(debug.GetData(), static_cast<uint8_t>(value[0]) & 0xC1);
        }
    });
}

TEST(SetDataProperty, IntegerDialogStaysWithinItsBounds) {
    ForRandomValues([](const std::string& value) {
        TfrmIntInput form;
        form.lowBound = 300;
        form.highBound = 65535;
        form.edNum.SetText(value);
        const uint32_t number = form.Value();
        EXPECT_GE(number, 300u);
        EXPECT_LE(number, 65535u);
    });
}

} // namespace
} // namespace velkor::dialogs::testing
