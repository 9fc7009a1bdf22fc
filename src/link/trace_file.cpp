#include "link/trace_file.h"

#include <cerrno>
#include <cstring>

#include "link/frame_text.h"

namespace {

int writeToFile(std::FILE* file, const std::string& text) {
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0) {
        return 0;
    }
    return errno != 0 ? errno : EIO;
}

}  // namespace

TraceFile::~TraceFile() {
    close();
}

bool TraceFile::open(const std::string& path, std::string& error) {
    close();
    m_File = std::fopen(path.c_str(), "a");
    if (m_File == nullptr) {
        error = std::strerror(errno);
        return false;
    }
    m_Path = path;
    m_Stop = false;
    m_Lost = 0;
    m_FirstError.clear();
    m_DropNoticed = false;
    if (!m_Sink) m_Sink = writeToFile;
    m_Writer = std::thread([this] { run(); });
    return true;
}

void TraceFile::write(const TrafficEntry& entry) {
    if (m_File == nullptr) return;
    bool wake = false;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_Queue.size() >= kTraceBacklog) {
            ++m_Lost;
            return;
        }
        m_Queue.push_back(entry);
        // Only the first event after a quiet spell starts the period, and a half-full queue
        // ends it early; every other event is left for the writer to find.
        wake = m_Asleep || m_Queue.size() == kTraceBacklog / 2;
        m_Asleep = false;
    }
    if (wake) m_Wake.notify_one();
}

void TraceFile::drain() {
    std::unique_lock<std::mutex> lock(m_Mutex);
    if (m_Queue.empty() && !m_Writing) return;
    m_FlushNow = true;
    m_Wake.notify_one();
    m_Idle.wait(lock, [this] { return m_Queue.empty() && !m_Writing; });
}

void TraceFile::close() {
    if (m_File == nullptr) return;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_Stop = true;
    }
    m_Wake.notify_one();
    m_Writer.join();
    // The writer is gone; whatever the disk still takes, the count of the lost lines goes last.
    if (const std::string summary = lossSummary(); !summary.empty()) {
        (void)m_Sink(m_File, "# " + summary + "\n");
    }
    std::fclose(m_File);
    m_File = nullptr;
}

std::uint64_t TraceFile::lost() const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Lost;
}

std::string TraceFile::firstError() const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_FirstError;
}

bool TraceFile::takeDropNotice() {
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (m_Lost == 0 || m_DropNoticed) return false;
    m_DropNoticed = true;
    return true;
}

std::string TraceFile::lossSummary() const {
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (m_Lost == 0) return {};
    return std::to_string(m_Lost) + " trace lines were not written (" +
           (m_FirstError.empty() ? std::string("the writer fell behind") : m_FirstError) + ")";
}

void TraceFile::run() {
    std::unique_lock<std::mutex> lock(m_Mutex);
    for (;;) {
        m_Asleep = m_Queue.empty() && !m_Stop;
        m_Wake.wait(lock, [this] { return m_Stop || !m_Queue.empty(); });
        m_Asleep = false;
        m_Wake.wait_for(lock, kTraceFlushPeriod, [this] {
            return m_Stop || m_FlushNow || m_Queue.size() >= kTraceBacklog / 2;
        });
        // What is queued when the stop comes is still written.
        if (m_Queue.empty()) break;
        std::deque<TrafficEntry> batch;
        batch.swap(m_Queue);
        m_Writing = true;
        lock.unlock();
        // Formatted here, not on the window thread: the link only pays for the copy.
        std::string text;
        for (const TrafficEntry& entry : batch) text += trafficLine(entry) + "\n";
        const int reason = m_Sink(m_File, text);
        lock.lock();
        m_Writing = false;
        if (reason != 0) {
            // Which of the lines reached the disk is not known; none is counted as kept.
            m_Lost += batch.size();
            if (m_FirstError.empty()) m_FirstError = std::strerror(reason);
        }
        if (m_Queue.empty()) {
            m_FlushNow = false;
            m_Idle.notify_all();
        }
    }
    m_Idle.notify_all();
}
