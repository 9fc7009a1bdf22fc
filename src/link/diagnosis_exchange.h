#pragma once

#include <cstdint>
#include <span>

class LinkContext;

// The self test as the ACU reports it: replies 21 (started), 22 (item under test), 23 (item
// result) and 24 (stopped). Items 1..10 each own two bits of DiagLamps, item 1 highest:
// 1 under test, 2 passed, 3 failed.
class DiagnosisExchange {
public:
    explicit DiagnosisExchange(LinkContext& link) : m_Link(link) {}

    // Handles replies 21..24 (payload long enough for its code); false for any other code.
    bool onReply(std::span<const std::uint8_t> payload);

private:
    void itemUnderTest(std::uint8_t item);
    void itemResult(std::uint8_t item, std::uint8_t result);

    LinkContext& m_Link;
};

struct ProductInformation;

// Item 7 is the skew limit test, which antennas of model 1 and skewless antennas lack.
bool diagnosisItemSkipped(const ProductInformation& product, std::uint8_t item);
