#include <gtest/gtest.h>

#include "data/satellite_tables.h"
#include "lcd/lcd_data.h"
#include "link/antenna_state.h"
#include "link/controller.h"
#include "link/link_state.h"
#include "link/process_state.h"
#include "serial/byte_port.h"
#include "serial/comm_queue.h"
#include "support/bytes.h"
#include "support/manual_timers.h"
#include "support/recorder_view.h"

namespace {

// Records every single-byte write; it can refuse chosen bytes like a failing line.
class RefusingPort : public BytePort {
public:
    int WriteByte(std::uint8_t byte) override {
        ++calls;
        if (calls == refuseCall) return 0;
        written.push_back(byte);
        return 1;
    }

    Bytes written;
    int calls = 0;
    int refuseCall = -1;
};

class SendCommand : public ::testing::Test {
protected:
    void SetUp() override { ResetProcessState(); }
    void TearDown() override { ResetProcessState(); }

    Bytes send(std::uint8_t code) {
        port.written.clear();
        port.calls = 0;
        controller.SendCommand(code);
        return port.written;
    }

    RefusingPort port;
    CommQueue queue;
    RecorderView view;
    ManualTimers timers;
    AcuController controller{port, queue, view, timers};
};

}  // namespace

TEST_F(SendCommand, WholeFramesWithTheirChecksums) {
    EXPECT_EQ(send(1), (Bytes{0x02, 0x01, 0x01, 0x02, 0x03}));
    g_ReceiveSatIndex = 3;
    EXPECT_EQ(send(4), (Bytes{0x02, 0x02, 0x04, 0x03, 0x09, 0x03}));
    g_DefaultSatIndex = 2;
    EXPECT_EQ(send(17), (Bytes{0x02, 0x02, 0x11, 0x02, 0x15, 0x03}));
    g_TargetAz = 10.5;
    EXPECT_EQ(send(26), (Bytes{0x02, 0x04, 0x1A, 0x2B, 0x04, 0x1A, 0x67, 0x03}));
    g_TargetSkew = -2.25;
    EXPECT_EQ(send(28), (Bytes{0x02, 0x04, 0x1C, 0x2D, 0x00, 0xE1, 0x2E, 0x03}));
    g_LnbType = 0;
    g_LocalFreqSingle = 10000;
    EXPECT_EQ(send(19), (Bytes{0x02, 0x04, 0x13, 0x00, 0x27, 0x10, 0x4E, 0x03}));
    // 0x02 and 0x03 inside the payload are not escaped.
    g_DiseqcMode = 2;
    EXPECT_EQ(send(20), (Bytes{0x02, 0x02, 0x14, 0x02, 0x18, 0x03}));
}

TEST_F(SendCommand, ChecksumWrapsModulo256) {
    // LEN 81 + code 34 + 80 * 255 = 20515 = 80 * 256 + 35, so CHK is 0x23.
    for (std::size_t i = 20; i < 100; ++i) g_LcdData[i] = 0xFF;
    const Bytes frame = send(34);
    ASSERT_EQ(frame.size(), 85u);
    EXPECT_EQ(frame[1], 0x51);
    EXPECT_EQ(frame[83], 0x23);
    EXPECT_EQ(frame[84], 0x03);
}

TEST_F(SendCommand, WritesOneByteAtATimeAndNeverRepeatsALostByte) {
    port.refuseCall = 3;
    controller.SendCommand(17);
    EXPECT_EQ(port.calls, 6);
    EXPECT_EQ(port.written, (Bytes{0x02, 0x02, 0x00, 0x13, 0x03}));  // the code byte was lost
}

TEST_F(SendCommand, ACodeWithoutACommandGoesOutAsAnEmptyFrame) {
    EXPECT_EQ(send(5), (Bytes{0x02, 0x00, 0x00, 0x03}));
    EXPECT_EQ(send(43), (Bytes{0x02, 0x00, 0x00, 0x03}));
}
