#pragma once

#include <cstdint>
#include <string>

// What the protocol needs of a transport to send: one byte at a time, and a way to let go of
// the line. Every line (CommLine: the terminal device, a serial server) implements it; the
// exporter wraps a line in a guard that lets only reading commands through; tests plug in the
// simulator's in-memory link or a port that records what was sent.
class BytePort {
public:
    virtual ~BytePort() = default;
    // Returns the number of bytes written: 1, or 0 when the port is closed or the write failed.
    virtual int WriteByte(std::uint8_t byte) = 0;
    // Closes the line; writes then return 0 at once. Nothing to do for an in-memory port.
    virtual void ClosePort() {}
    // The device the line runs over, for the trace; empty when it has no name.
    virtual std::string deviceName() const { return {}; }
    // True when the bytes cross a network (a serial server's address) rather than a local
    // wire: their answers then take a round trip of the network, and the timers follow it.
    virtual bool networkLine() const { return false; }
};

// How the receive watcher reaches its consumer. Every call comes from the watcher thread;
// the main window posts them on to the GUI thread and never lets the watcher touch a widget.
class CommConsumer {
public:
    virtual ~CommConsumer() = default;
    // New bytes are in the receive queue (one call per batch of reads).
    virtual void onCommRead(std::uint16_t portId) = 0;
    // A message for the user: "Error while creating watchDevice, " followed by the port name.
    virtual void onCommMessage(const std::string& text) = 0;
    // The receive queue had no room, so bytes were dropped: said once, until the consumer says
    // it has shown it. A consumer that only passes messages on shows the window's first line.
    virtual void onCommOverflow(std::uint16_t /*portId*/) { onCommMessage("m_QueueRead FULL!"); }
    // The line is gone (other end closed, adapter pulled, I/O error). Called once; the
    // watcher has ended by then and the port should be closed.
    virtual void onCommHangup(std::uint16_t portId) = 0;
};
