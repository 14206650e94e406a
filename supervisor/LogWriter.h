// The writer behind WriteLog: lines are queued by the caller and appended by a thread of
// their own, so that a slow, full or unwritable log never holds up the supervision. Each
// line goes into its file whole or not at all; lines that cannot be written yet are kept (up
// to a cap) and written, in order, once the file can be written again.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace torvane {

// One line waiting for its file.
struct QueuedLine {
    std::string path;
    std::string line;
};

class LogWriter {
public:
    // Where the writer tells of its own trouble (standard error in the service).
    using ReportFn = std::function<void(std::string_view)>;

    // Lines kept while the file cannot be written; beyond this the oldest are dropped.
    static constexpr std::size_t kMaxPendingBytes = 8 << 20;
    // How often a file that could not be written is tried again.
    static constexpr std::chrono::milliseconds kRetryPeriod{250};
    // How long the writer lets lines gather after the first before it writes them: one opening
    // of the file and one wake-up of the writer for all of them.
    static constexpr std::chrono::milliseconds kGather{20};

    explicit LogWriter(ReportFn report);
    // Makes one last attempt at what is pending, then ends the thread.
    ~LogWriter();
    LogWriter(const LogWriter&) = delete;
    LogWriter& operator=(const LogWriter&) = delete;

    // Keeps each file under max_size bytes by renaming it to "<path>.1" (and "<path>.1" to
    // "<path>.2" ...) before a line would take it past the size; keep is how many old files
    // stay. A max_size of 0 lets files grow without limit.
    void SetRotation(std::uint64_t max_size, unsigned keep);

    // Queues one whole line (with its line end) for the file. Never waits for the file.
    void Append(std::string path, std::string line);

    // Waits until every line queued so far is in its file (true) or the timeout passes.
    bool Flush(std::chrono::milliseconds timeout);

private:
    void Run();
    // Puts the lines that could not be written back in front of the queue and says what
    // changed for the operator. Called with the mutex held; returns the reports to make.
    std::vector<std::string> TakeBack(std::deque<QueuedLine> rest, const std::string& failed_path,
                                      unsigned long error);
    void DropOldestBeyondCap();

    ReportFn report_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable written_;
    std::deque<QueuedLine> queue_;
    std::size_t queued_bytes_ = 0;
    std::uint64_t appended_ = 0; // lines queued so far
    std::uint64_t done_ = 0;     // lines written or dropped so far
    std::uint64_t dropped_ = 0;  // dropped since the last report
    bool failing_ = false;
    bool stopping_ = false;
    std::uint64_t max_size_ = 0;
    unsigned keep_ = 0;
    std::thread thread_;
};

} // namespace torvane
