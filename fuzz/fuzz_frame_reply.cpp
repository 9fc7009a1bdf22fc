// Frame assembly and reply decoding on any byte stream: every frame found must be exactly
// what the frame format allows, and every decoder must take any payload without reading
// past it or failing.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "link/reply_decode.h"
#include "wire/frame.h"
#include "wire/frame_assembler.h"
#include "wire/protocol.h"

namespace {

// A broken promise is a finding: abort() makes libFuzzer keep the input.
void require(bool condition) {
    if (!condition) std::abort();
}

void checkFrame(const FrameAssembler& assembler) {
    const std::span<const std::uint8_t> frame = assembler.frame();
    const std::span<const std::uint8_t> payload = assembler.payload();
    require(frame.size() >= kFrameOverhead && frame.size() <= kMaxFrameSize);
    require(frame.front() == kStx && frame.back() == kEtx);
    require(payload.size() == frame[1] && frame.size() == payload.size() + kFrameOverhead);
    require(frame[frame.size() - 2] == frameChecksum(payload));

    // What the program would send with this payload is this very frame.
    std::vector<std::uint8_t> again(payload.size() + kFrameOverhead);
    require(encodeFrame(payload, again) == frame.size());
    require(std::equal(again.begin(), again.end(), frame.begin()));

    // Every decoder on every payload, relabelled as its own reply so that the fields are
    // read and not only the code: none may read past the end of what arrived.
    if (payload.empty()) return;
    (void)replyLength(payload[0]);
    std::vector<std::uint8_t> as(payload.begin(), payload.end());
    const auto relabelled = [&as](std::uint8_t code) {
        as[0] = code;
        return std::span<const std::uint8_t>(as);
    };
    (void)decodeProductInfo(relabelled(cmd::AntennaInformation));
    (void)decodeRegionReply(relabelled(cmd::CurrentRegion));
    (void)decodeSatelliteReply(relabelled(cmd::RegionSatellite));
    (void)decodeStatusReply(relabelled(cmd::StatusPoll));
    (void)decodeSetupReply(relabelled(cmd::SetupMode));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FrameAssembler assembler;
    for (std::size_t i = 0; i < size; ++i) {
        if (assembler.push(data[i]) == FrameAssembler::Result::Frame) checkFrame(assembler);
        require(assembler.pending() <= kMaxFrameSize);
    }
    return 0;
}
