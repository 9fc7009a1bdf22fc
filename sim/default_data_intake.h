#pragma once

#include <span>

#include "acu_state.h"

// Default data arriving record by record: the upload (commands 10..13) and the chain that an
// unasked reply 6 starts (commands 6..9). Each call stores what came and returns whether it
// made sense; the caller answers only those that did.

bool takeUploadHeader(std::span<const std::uint8_t> payload, ReceivedDefaults& into);
bool takeAnnouncement(std::span<const std::uint8_t> payload, ReceivedDefaults& into);
bool takeRegionRecord(std::span<const std::uint8_t> payload, ReceivedDefaults& into);
bool takeSatelliteRecord(std::span<const std::uint8_t> payload, ReceivedDefaults& into);

// At the end of a transfer the unit works from the new data: the region the program had
// selected when it started an upload, or else the unit's current region when the transfer
// holds it, becomes the current region with its satellites.
void applyReceivedDefaults(const ReceivedDefaults& received, CurrentRegion& current);
