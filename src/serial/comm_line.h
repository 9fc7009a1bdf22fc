#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "serial/byte_port.h"
#include "serial/comm_queue.h"

// A line to the control unit that the program opens by name and watches: a terminal device,
// or a serial server reached over the network. Whatever carries the bytes, received bytes land
// in the owner's receive queue and the consumer hears of them (and of a hang-up) from the
// line's own thread, so nothing above this interface knows which kind it holds.
class CommLine : public BytePort {
public:
    // 1 on success, 0 on failure (nothing left open), and 0 without any change while the line
    // is still open.
    virtual int OpenPort(const std::string& portName, std::uint32_t baudRate,
                         std::uint16_t portId) = 0;
    // Open, or its watcher still on its way out: a new OpenPort would be refused.
    virtual bool isOpen() const = 0;
    virtual const std::string& portName() const = 0;
    std::string deviceName() const override { return portName(); }
    // Why the last OpenPort failed, as the technician's next step; "" when it did not fail or
    // there is nothing more to say than that it failed.
    virtual std::string openFailure() const = 0;
    // Why the line hung up, when the line can tell more than that it did; "" otherwise.
    virtual std::string hangupReason() const { return {}; }
    // Receive bytes dropped because the queue was full, since the line was opened.
    virtual std::uint64_t droppedBytes() const { return m_nDroppedBytes.load(); }
    // The consumer has shown the last overflow message: the next overflow sends another.
    // Until then overflows are only counted, so a flood sends one message, not one per chunk.
    virtual void overflowShown() { m_bOverflowReported = false; }

protected:
    // From the line's own thread: a chunk that doesn't fit is dropped whole, since the frame
    // layer resynchronises on the next STX, which a half-stored chunk would make harder.
    void queueChunk(CommQueue& queue, CommConsumer& consumer, std::uint16_t portId,
                    const std::uint8_t* chunk, std::uint32_t n) {
        if (queue.putChunk(chunk, n)) return;
        m_nDroppedBytes += n;
        if (!m_bOverflowReported.exchange(true)) consumer.onCommOverflow(portId);
    }
    // A line opened afresh starts with nothing dropped.
    void forgetOverflows() {
        m_nDroppedBytes = 0;
        m_bOverflowReported = false;
    }

private:
    std::atomic<std::uint64_t> m_nDroppedBytes{0};
    std::atomic<bool> m_bOverflowReported{false};
};
