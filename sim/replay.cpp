#include "replay.h"

#include <algorithm>

#include "link/frame_text.h"

Replay::Replay(const std::vector<TrafficEntry>& entries, Settings settings) : m_Settings(settings) {
    std::vector<Output>* group = &m_Opening;
    // A saved monitor may begin deep into a session: what it holds before its first command
    // is timed from its first line, not from the link's opening.
    std::chrono::microseconds previous =
        entries.empty() ? std::chrono::microseconds{0} : entries.front().at;
    for (const TrafficEntry& entry : entries) {
        const auto bytes = entry.bytes();
        switch (entry.kind) {
            case TrafficKind::LinkOpened:
                break;
            case TrafficKind::Sent: {
                Command& command = m_Commands[entry.data[2]].emplace_back();
                command.bytes.assign(bytes.begin(), bytes.end());
                group = &command.outputs;
                ++m_Total;
                break;
            }
            default: {
                const auto delay =
                    m_Settings.fast ? std::chrono::microseconds{0} : entry.at - previous;
                group->push_back({delay, entry.kind, {bytes.begin(), bytes.end()}});
                break;
            }
        }
        // Times start again at each link opening.
        previous = entry.at;
    }
}

Replay::Verdict Replay::answer(std::span<const std::uint8_t> frame, std::vector<Output>& outputs) {
    outputs.clear();
    const std::uint8_t code = frame[2];
    const std::size_t index = m_Asked[code]++;
    const auto found = m_Commands.find(code);
    if (found == m_Commands.end() || index >= found->second.size()) {
        const bool model = m_Settings.rest == Rest::Model;
        if (m_Notice && m_BeyondNoted.insert(code).second) {
            m_Notice("replay: command " + std::to_string(code) + " (" + frameName(code, false) +
                     ") #" + std::to_string(index + 1) + " is not in the recording: " +
                     (model ? "the model answers it" : "left unanswered") +
                     ", and every later one with this code");
        }
        return model ? Verdict::Model : Verdict::Silent;
    }
    const Command& command = found->second[index];
    if (!std::equal(frame.begin(), frame.end(), command.bytes.begin(), command.bytes.end())) {
        m_Differences.push_back({code, index + 1, command.bytes, {frame.begin(), frame.end()}});
    }
    outputs = command.outputs;
    ++m_Answered;
    if (finished() && m_Notice) m_Notice(summary());
    return Verdict::Recorded;
}

namespace {

std::string count(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string Replay::summary() const {
    std::string text =
        finished() ? "replay: end of the recording: "
                   : "replay: stopped before the end of the recording (" +
                         count(m_Total - m_Answered, "recorded command", "recorded commands") +
                         " not asked): ";
    text += count(m_Answered, "command", "commands") + " answered from it, " +
            std::to_string(m_Differences.size()) + " differed from the recorded bytes";
    for (const Difference& difference : m_Differences) {
        text += "\n  command " + std::to_string(difference.code) + " (" +
                frameName(difference.code, false) + ") #" + std::to_string(difference.occurrence) +
                " differs:\n    recorded " + hexBytes(difference.recorded) + "\n    received " +
                hexBytes(difference.received);
    }
    return text;
}
