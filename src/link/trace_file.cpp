#include "link/trace_file.h"

#include <cerrno>
#include <cstring>

#include "link/frame_decoder.h"

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
    m_Writer = std::thread([this] { run(); });
    return true;
}

void TraceFile::write(const TrafficEntry& entry) {
    if (m_File == nullptr) return;
    bool wasEmpty = false;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_Queue.size() >= kTraceBacklog) {
            ++m_Lost;
            return;
        }
        wasEmpty = m_Queue.empty();
        m_Queue.push_back(entry);
    }
    // The writer sleeps only on an empty queue.
    if (wasEmpty) m_Wake.notify_one();
}

void TraceFile::drain() {
    std::unique_lock<std::mutex> lock(m_Mutex);
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

void TraceFile::run() {
    std::unique_lock<std::mutex> lock(m_Mutex);
    for (;;) {
        m_Wake.wait(lock, [this] { return m_Stop || !m_Queue.empty(); });
        // What is queued when the stop comes is still written.
        if (m_Queue.empty()) break;
        const TrafficEntry entry = m_Queue.front();
        m_Queue.pop_front();
        m_Writing = true;
        lock.unlock();
        // Formatted here, not on the window thread: the link only pays for the copy.
        const std::string line = trafficLine(entry) + "\n";
        const bool written = std::fputs(line.c_str(), m_File) >= 0 && std::fflush(m_File) == 0;
        const int reason = errno;
        lock.lock();
        m_Writing = false;
        if (!written) {
            ++m_Lost;
            if (m_FirstError.empty()) m_FirstError = std::strerror(reason);
        }
        if (m_Queue.empty()) m_Idle.notify_all();
    }
    m_Idle.notify_all();
}
