// The whole controller against a hostile line and a careless user. The input is a script of
// steps, each opened by one byte:
//   0x00..0xBF  the next (byte & 0x3F) + 1 bytes arrive on the line, then the window reads them
//   0xC0..0xDF  the clock moves (byte & 0x1F) * 250 ms, firing the command timers on the way
//   0xE0..0xFF  the user does operation (byte & 0x1F), some taking the next byte as argument
// A message box or a question runs the next step while it is open, as the window's modal
// loop keeps delivering bytes and timers. The controller must neither crash nor write
// anything but whole, well-formed frames to the line.

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "link/controller.h"
#include "serial/byte_port.h"
#include "serial/comm_queue.h"
#include "support/manual_timers.h"
#include "support/recorder_view.h"
#include "wire/frame_assembler.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

// The far end of the cable: every byte the controller writes must belong to a valid frame.
class CheckingPort : public BytePort {
public:
    int WriteByte(std::uint8_t byte) override {
        if (m_Closed) return 0;
        require(m_Frames.push(byte) != FrameAssembler::Result::Dropped);
        return 1;
    }
    void ClosePort() override { m_Closed = true; }
    void reopen() { m_Closed = false; }
    // Between steps no frame may be left half written.
    bool betweenFrames() const { return m_Frames.pending() == 0; }

private:
    FrameAssembler m_Frames;
    bool m_Closed = false;
};

constexpr int kMaxModalDepth = 3;
constexpr std::uint8_t kLineBytes = 0xC0;
constexpr std::uint8_t kClock = 0xE0;
constexpr std::chrono::milliseconds kClockStep{250};

class Script {
public:
    Script(const std::uint8_t* data, std::size_t size) : m_Input(data, size) {
        const auto modal = [this] {
            if (m_Depth >= kMaxModalDepth) return;
            ++m_Depth;
            step(true);
            --m_Depth;
        };
        m_View.state = &m_Controller.state();
        m_View.onMessageBox = [modal](const std::string&) { modal(); };
        m_View.onConfirm = modal;
    }

    void run() {
        m_Controller.StartConnection();
        while (m_Next < m_Input.size()) {
            step(false);
            require(m_Port.betweenFrames());
            m_View.calls.clear();  // keeps memory flat over long scripts
        }
    }

private:
    std::uint8_t take() { return m_Next < m_Input.size() ? m_Input[m_Next++] : 0; }

    // While a modal box is open only the line and the clock can act; the user's clicks on the
    // main window wait for the box.
    void step(bool modal) {
        if (m_Next >= m_Input.size()) return;
        const std::uint8_t op = take();
        if (op < kLineBytes) {
            lineBytes(static_cast<std::size_t>(op & 0x3F) + 1);
        } else if (op < kClock) {
            m_Timers.advance(kClockStep * (op & 0x1F),
                             [this](int id) { m_Controller.OnTimer(id); });
        } else if (!modal) {
            userOperation(op & 0x1F);
        }
    }

    void lineBytes(std::size_t count) {
        const std::size_t n = std::min(count, m_Input.size() - m_Next);
        // A full ring drops the chunk, as the watcher does.
        if (m_Queue.putChunk(m_Input.data() + m_Next, static_cast<std::uint32_t>(n))) {
            m_Controller.OnCommRead();
        }
        m_Next += n;
    }

    void userOperation(std::uint8_t which) {
        switch (which) {
            case 0:
                if (m_Controller.state().Connected == 0) {
                    m_Port.reopen();
                    m_Controller.StartConnection();
                }
                break;
            case 1:
                if (m_Controller.state().Connected == 1) m_Controller.Disconnect();
                break;
            case 2:
                m_Controller.OnPortHangup("/dev/ttyUSB0");
                break;
            case 3:
                m_Controller.OnAntennaRestart();
                break;
            case 4:
                m_Controller.OnSetupMode();
                break;
            case 5:
                m_Controller.OnTargetSelected(static_cast<std::int8_t>(take()));
                break;
            case 6:
                m_Controller.OnTargetChange(static_cast<std::int8_t>(take()));
                break;
            case 7:
                m_Controller.OnGetAntennaInformation();
                break;
            case 8:
                m_Controller.OnFactorySetting();
                break;
            case 9:
                m_Controller.updateDefaultData(m_Continent, m_Region);
                break;
            case 10:
                m_View.confirmAnswer = !m_View.confirmAnswer;
                break;
            case 11:
                m_Continent = static_cast<std::int8_t>(take());
                m_Region = static_cast<std::int8_t>(take());
                break;
            case 13:
                m_Controller.OnGoToPosition(static_cast<std::int8_t>(take()) * 7.5,
                                            static_cast<std::int8_t>(take()) * 7.5);
                break;
            case 14:
                m_Controller.OnAzStepCw(static_cast<std::int8_t>(take()) * 7.5);
                break;
            case 15:
                m_Controller.OnDiagnosisStartStop();
                break;
            case 16:
                m_Controller.OnLcdWrite();
                break;
            case 17:
                m_Controller.OnLcdRead();
                break;
            case 18:
                m_Controller.sendDiseqcMode(take());
                break;
            default:
                // 12 and up: a chain's step out of turn, built from whatever the state holds.
                m_Controller.sendStep(take(), kCommandPeriod);
                break;
        }
    }

    std::span<const std::uint8_t> m_Input;
    std::size_t m_Next = 0;
    int m_Depth = 0;
    CheckingPort m_Port;
    CommQueue m_Queue;
    RecorderView m_View;
    ManualTimers m_Timers;
    AcuController m_Controller{m_Port, m_Queue, m_View, m_Timers, &m_View};
    int m_Continent = -1;
    int m_Region = -1;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A fresh controller: nothing of one input carries over to the next. The link opens as the
    // start-up scan opens it; the script may close and reopen it.
    Script script(data, size);
    script.run();
    return 0;
}
