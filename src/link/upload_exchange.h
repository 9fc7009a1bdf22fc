#pragma once

#include <cstdint>
#include <string>

class LinkContext;

// The replies that pace a default-data transfer: the upload 10..13 that the program starts,
// and the chain 6..9 of the same shape that the ACU starts with an unasked reply 6. Each
// reply sends the next region record, then the satellites, then the end.
class UploadExchange {
public:
    explicit UploadExchange(LinkContext& link) : m_Link(link) {}

    // Starts the upload of the loaded default data: the Update_Progress popup and command 10
    // with the Administrator page's selector positions as read.
    void start(std::uint32_t continentSelection, std::uint32_t regionSelection);

    // Handles replies 6..13; returns false for any other code.
    bool onReply(std::uint8_t code);

    // Timer id of 7..13 expired. The commands are not repeated; an upload that waits for an
    // answer that never comes is given up with a message, so that the main window, disabled
    // while the popup shows, does not stay locked. True when it gave an upload up.
    bool onTimeout(int id);

    // Ends a running upload without a word: the popup closes and the window is usable again.
    void abandon();

    bool running() const { return m_Running; }

private:
    void regionStep(std::uint8_t regionCode);
    void satelliteStep(std::uint8_t satelliteCode);
    void progressStep();

    LinkContext& m_Link;
    bool m_Running = false;
};

struct LinkState;
struct SatelliteTables;
struct UploadCursor;

// Region records the loaded scope holds: all continents, one continent or one region.
std::uint32_t regionRecordsInScope(const SatelliteTables& tables);

// Puts the upload cursor on the first region of the loaded scope (RegionMode).
void placeUploadCursorAtScopeStart(const SatelliteTables& tables, UploadCursor& cursor);

// The message of an upload given up at timer id: which step got no answer.
std::string uploadStallText(int id, const LinkState& state);
