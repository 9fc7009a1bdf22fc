#pragma once

#include <cstdint>
#include <span>

class LinkContext;

// The LCD block travels in five chained pieces each way: write 33..37, read 38..42. Each
// reply sends the next piece's command.
class LcdExchange {
public:
    explicit LcdExchange(LinkContext& link) : m_Link(link) {}

    // The first piece of each way, with the wait cursor up until the last reply.
    void startWrite();
    void startRead();

    // Handles replies 33..42 (payload: code byte first, already long enough for its code);
    // returns false for any other code.
    bool onReply(std::span<const std::uint8_t> payload);

private:
    LinkContext& m_Link;
};
