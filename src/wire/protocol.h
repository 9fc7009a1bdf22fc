#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

// The ACU protocol as numbers: frame bytes, buffer sizes and command codes. A frame is
// STX, LEN, LEN payload bytes (the first is the code), CHK, ETX, with
// CHK = (LEN + sum of the payload) mod 256 and no escaping, the same in both directions.

inline constexpr std::uint8_t kStx = 0x02;
inline constexpr std::uint8_t kEtx = 0x03;
inline constexpr std::size_t kFrameOverhead = 4;       // STX, LEN, CHK, ETX
inline constexpr std::size_t kFrameBufferSize = 1000;  // m_TxPayload, m_TxFrame, m_RxFrame
inline constexpr std::size_t kMaxPayloadSize = 255;    // LEN is one byte
inline constexpr std::size_t kMaxFrameSize = kMaxPayloadSize + kFrameOverhead;

namespace cmd {
inline constexpr std::uint8_t LinkCheck = 1;
inline constexpr std::uint8_t AntennaInformation = 2;
inline constexpr std::uint8_t CurrentRegion = 3;
inline constexpr std::uint8_t RegionSatellite = 4;
inline constexpr std::uint8_t RegionCountAnnouncement = 6;
inline constexpr std::uint8_t RegionRecord = 7;
inline constexpr std::uint8_t SatelliteRecord = 8;
inline constexpr std::uint8_t ChainEnd = 9;
inline constexpr std::uint8_t UploadStart = 10;
inline constexpr std::uint8_t UploadRegion = 11;
inline constexpr std::uint8_t UploadSatellite = 12;
inline constexpr std::uint8_t UploadEnd = 13;
inline constexpr std::uint8_t StatusPoll = 14;
inline constexpr std::uint8_t AntennaRestart = 15;
inline constexpr std::uint8_t SetupMode = 16;
inline constexpr std::uint8_t TargetChange = 17;
inline constexpr std::uint8_t EditSatellite = 18;
inline constexpr std::uint8_t SetLocalFrequency = 19;
inline constexpr std::uint8_t SetDiseqc = 20;
inline constexpr std::uint8_t DiagnosisStart = 21;
inline constexpr std::uint8_t DiagnosisItem = 22;    // reply only
inline constexpr std::uint8_t DiagnosisResult = 23;  // reply only
inline constexpr std::uint8_t DiagnosisStop = 24;
inline constexpr std::uint8_t GoToPosition = 25;
inline constexpr std::uint8_t MoveAzimuth = 26;
inline constexpr std::uint8_t MoveElevation = 27;
inline constexpr std::uint8_t MoveSkew = 28;
inline constexpr std::uint8_t SetParameters = 29;
inline constexpr std::uint8_t FactoryDefault = 30;
inline constexpr std::uint8_t FactoryProgress = 31;  // reply only
inline constexpr std::uint8_t FactoryDone = 32;      // reply only
inline constexpr std::uint8_t LcdWriteFirst = 33;
inline constexpr std::uint8_t LcdWriteLast = 37;
inline constexpr std::uint8_t LcdReadFirst = 38;
inline constexpr std::uint8_t LcdReadLast = 42;
inline constexpr std::uint8_t Last = 42;
}  // namespace cmd

// The LCD block travels in five pieces, both ways: bytes [offset, offset + size).
struct LcdPiece {
    std::size_t offset;
    std::size_t size;
};
inline constexpr LcdPiece kLcdPieces[5] = {{0, 20}, {20, 80}, {100, 80}, {180, 80}, {260, 12}};

// Timer ids beside the command codes, and the periods the senders start them with.
inline constexpr int kStartupTimer = 0;
inline constexpr int kDiscoveryTimer = 100;
inline constexpr auto kCommandPeriod = std::chrono::milliseconds{1000};
inline constexpr auto kChainPeriod = std::chrono::milliseconds{2000};
inline constexpr auto kLcdReadStartPeriod = std::chrono::milliseconds{10000};
inline constexpr auto kStatusPollPeriod = std::chrono::milliseconds{1000};
inline constexpr auto kFirstDiscoveryPeriod = std::chrono::milliseconds{100};
inline constexpr auto kDiscoveryPeriod = std::chrono::milliseconds{1000};
// A factory default reports its progress by itself; this long without a report ends the wait.
inline constexpr auto kFactoryProgressTimeout = std::chrono::seconds{30};

// A command the ACU leaves unanswered is sent again every period of its timer, in case only
// the reply was late or lost, until this long has passed since it first went out; then the
// exchange is given up and the user told which command went unanswered. The status poll is
// not bounded: it is the background that shows whether the ACU is there at all.
inline constexpr auto kResendLimit = std::chrono::seconds{20};

// Command 1 goes out once when the link opens and is re-sent at most this often.
inline constexpr std::uint8_t kMaxConnectResends = 5;
