#include "wire_schedule.h"

#include <algorithm>

void WireSchedule::enqueue(std::span<const std::uint8_t> bytes, std::chrono::microseconds now) {
    std::vector<std::size_t> cuts;
    for (std::size_t at : m_Faults.splitAt) {
        if (at > 0 && at < bytes.size()) cuts.push_back(at);
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    cuts.push_back(bytes.size());

    // A piece never goes before the one ahead of it: the line carries one byte at a time.
    std::chrono::microseconds due = std::max(now, m_Pieces.empty() ? now : m_Pieces.back().due);
    std::size_t begin = 0;
    for (std::size_t end : cuts) {
        Piece piece;
        piece.bytes.assign(bytes.begin() + static_cast<std::ptrdiff_t>(begin),
                           bytes.begin() + static_cast<std::ptrdiff_t>(end));
        piece.paced = m_Faults.pace;
        if (piece.paced) {
            due = std::max(due, m_WireFreeAt);
            m_WireFreeAt = due + SimFaults::wireTime(piece.bytes.size());
        }
        piece.due = due;
        m_Pieces.push_back(std::move(piece));
        due += m_Faults.splitGap;
        begin = end;
    }
}

std::size_t WireSchedule::arrived(const Piece& piece, std::chrono::microseconds now) {
    if (now < piece.due) return 0;
    if (!piece.paced) return piece.bytes.size();
    const auto elapsed = static_cast<std::uint64_t>((now - piece.due).count());
    const std::uint64_t done = elapsed * SimFaults::kLineBaud /
                               (static_cast<std::uint64_t>(SimFaults::kBitsPerByte) * 1'000'000);
    return static_cast<std::size_t>(std::min<std::uint64_t>(done, piece.bytes.size()));
}

void WireSchedule::release(std::chrono::microseconds now, const Writer& write) {
    while (!m_Pieces.empty()) {
        const Piece& piece = m_Pieces.front();
        const std::size_t ready = arrived(piece, now);
        if (ready <= piece.sent) return;
        // The writer may reach back into the schedule (a reader that answers at once makes
        // the unit send more, or drops the line): it gets a copy, and a schedule cleared
        // meanwhile is left alone.
        const std::vector<std::uint8_t> chunk(
            piece.bytes.begin() + static_cast<std::ptrdiff_t>(piece.sent),
            piece.bytes.begin() + static_cast<std::ptrdiff_t>(ready));
        const std::uint64_t generation = m_Generation;
        const std::size_t taken = std::min(chunk.size(), write(chunk));
        if (generation != m_Generation) return;
        Piece& written = m_Pieces.front();
        written.sent += taken;
        if (taken < chunk.size() || written.sent < written.bytes.size()) return;
        m_Pieces.pop_front();
    }
}

std::optional<std::chrono::microseconds> WireSchedule::nextDue() const {
    if (m_Pieces.empty()) return std::nullopt;
    const Piece& piece = m_Pieces.front();
    if (!piece.paced || piece.sent == 0) {
        // Unpaced pieces are due whole; a paced one at its first byte's end.
        return piece.paced ? piece.due + SimFaults::wireTime(1) : piece.due;
    }
    return piece.due + SimFaults::wireTime(piece.sent + 1);
}

std::size_t WireSchedule::pendingBytes() const {
    std::size_t total = 0;
    for (const Piece& piece : m_Pieces) total += piece.bytes.size() - piece.sent;
    return total;
}
