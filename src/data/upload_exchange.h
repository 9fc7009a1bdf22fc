#pragma once

#include <cstdint>

class LinkContext;

// The replies that pace a default-data transfer: the upload 10..13 that the program starts,
// and the chain 6..9 of the same shape that the ACU starts with an unasked reply 6. Each
// reply sends the next region record, then the satellites, then the end.
class UploadExchange {
public:
    explicit UploadExchange(LinkContext& link) : m_Link(link) {}

    // Handles replies 6..13; returns false for any other code.
    bool onReply(std::uint8_t code);

private:
    void regionStep(std::uint8_t regionCode);
    void satelliteStep(std::uint8_t satelliteCode);
    void progressStep();

    LinkContext& m_Link;
};

// Puts the upload cursor on the first region of the loaded scope (g_RegionMode).
void placeUploadCursorAtScopeStart();
