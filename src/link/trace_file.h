#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "link/traffic.h"

// The --trace file: every event as one line of the monitor's text format, appended on a
// thread of its own, so a slow or full disk never holds up the link. Waking that thread for
// each event cost the link a measurable share of every turnaround, so the writer sleeps for
// kTraceFlushPeriod (or until half of the backlog is queued) and then writes and flushes all
// that came meanwhile: every line is on disk within that period, and all of them once the
// trace is closed. When the writer falls behind by more than kTraceBacklog events, the newest
// are dropped and counted; a line the disk refuses is counted too. Frames are never touched.
// A trace that silently stops is worse than none, so the first dropped line is announced once
// (takeDropNotice) and closing writes the count at the end of the file, if the disk takes it.
class TraceFile {
public:
    // Writes text and flushes it; returns 0 or the errno of the failure. A seam: the default
    // writes to the file, a test puts a full disk in its place.
    using Sink = std::function<int(std::FILE* file, const std::string& text)>;

    static constexpr std::size_t kTraceBacklog = 4096;
    static constexpr std::chrono::milliseconds kTraceFlushPeriod{50};

    TraceFile() = default;
    ~TraceFile();
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    // Opens path for appending and starts the writer. On failure error names the reason.
    bool open(const std::string& path, std::string& error);
    // Before open(): what the writer hands its lines to.
    void setSink(Sink sink) { m_Sink = std::move(sink); }
    bool isOpen() const { return m_File != nullptr; }
    const std::string& path() const { return m_Path; }

    // Queues one event; never blocks on the disk, and wakes the writer at most once a period.
    void write(const TrafficEntry& entry);
    // Writes every queued line now and waits until it is flushed.
    void drain();
    // Writes what is queued, then, if lines were lost, a last line with their count.
    void close();

    // Lines lost: not queued because the writer was behind, or refused by the disk.
    std::uint64_t lost() const;
    // The first write error, once there was one ("" otherwise).
    std::string firstError() const;
    // True once, on the first look after lines started being dropped: the caller says so.
    bool takeDropNotice();
    // What to tell the user about the lost lines ("" when none were lost).
    std::string lossSummary() const;

private:
    void run();

    std::FILE* m_File = nullptr;
    std::string m_Path;
    std::thread m_Writer;
    mutable std::mutex m_Mutex;
    std::condition_variable m_Wake;
    std::condition_variable m_Idle;
    std::deque<TrafficEntry> m_Queue;
    bool m_Writing = false;
    bool m_Asleep = false;    // the writer waits for a first event, with no period running
    bool m_FlushNow = false;  // drain() wants the queue written without waiting the period
    bool m_Stop = false;
    std::uint64_t m_Lost = 0;
    std::string m_FirstError;
    bool m_DropNoticed = false;
    Sink m_Sink;
};
