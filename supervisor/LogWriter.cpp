#include "supervisor/LogWriter.h"
#include "supervisor/Platform.h"
#include "supervisor/Uservice.h"

#include <filesystem>
#include <optional>
#include <utility>

namespace torvane {
namespace {

constexpr std::size_t kMaxWrite = 16 << 10;

struct WriteOutcome {
    std::size_t written = 0;
    std::string failed_path; // empty when every line went in
    unsigned long error = 0;
};

// "<path>" becomes "<path>.1", "<path>.1" becomes "<path>.2" ... up to keep old files.
void Rotate(const std::string& path, unsigned keep) {
    namespace fs = std::filesystem;
    std::error_code ignored;
    const auto old_file = [&](unsigned number) { return path + "." + std::to_string(number); };
    if (keep == 0) {
        fs::remove(path, ignored);
        return;
    }
    fs::remove(old_file(keep), ignored);
    for (unsigned number = keep - 1; number >= 1; --number) {
        fs::rename(old_file(number), old_file(number + 1), ignored);
    }
    fs::rename(path, old_file(1), ignored);
}

// Appends the lines in order, one opening per run of lines for the same file (so that a file
// renamed away by an outside rotation is created anew) and one write for as many lines as fit
// before the next rotation, and stops at the first write that fails (its lines, whole, stay
// unwritten).
WriteOutcome WriteOut(const std::deque<QueuedLine>& lines, std::uint64_t max_size, unsigned keep) {
    WriteOutcome outcome;
    std::size_t& index = outcome.written;
    while (index < lines.size()) {
        const std::string& path = lines[index].path;
        std::optional<platform::AppendFile> file(std::in_place, path);
        std::uint64_t size = file->IsOpen() ? file->Size() : 0;
        const auto fits = [&](std::size_t at, std::uint64_t bytes) {
            return at < lines.size() && lines[at].path == path &&
                   (max_size == 0 || size + bytes + lines[at].line.size() <= max_size);
        };
        // Lines joined for one write, up to a size that keeps the copy small.
        const auto joins = [&](std::size_t at, std::uint64_t bytes) {
            return fits(at, bytes) && bytes + lines[at].line.size() <= kMaxWrite;
        };
        while (index < lines.size() && lines[index].path == path) {
            if (file->IsOpen() && size > 0 && !fits(index, 0)) {
                file.reset();
                Rotate(path, keep);
                file.emplace(path);
                size = file->IsOpen() ? file->Size() : 0;
            }
            std::string chunk = lines[index].line;
            std::size_t end = index + 1;
            for (; joins(end, chunk.size()); ++end) {
                chunk += lines[end].line;
            }
            if (!file->IsOpen() || !file->AppendWhole(chunk)) {
                outcome.failed_path = path;
                outcome.error = file->Error();
                return outcome;
            }
            size += chunk.size();
            index = end;
        }
    }
    return outcome;
}

} // namespace

LogWriter::LogWriter(ReportFn report) : report_(std::move(report)), thread_([this] { Run(); }) {
}

LogWriter::~LogWriter() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void LogWriter::SetRotation(std::uint64_t max_size, unsigned keep) {
    const std::lock_guard lock(mutex_);
    max_size_ = max_size;
    keep_ = keep;
}

void LogWriter::Append(std::string path, std::string line) {
    {
        const std::lock_guard lock(mutex_);
        queued_bytes_ += line.size();
        queue_.push_back({std::move(path), std::move(line)});
        ++appended_;
        DropOldestBeyondCap();
    }
    wake_.notify_one();
}

bool LogWriter::Flush(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    const std::uint64_t target = appended_;
    return written_.wait_for(lock, timeout, [&] { return done_ >= target; });
}

void LogWriter::DropOldestBeyondCap() {
    while (queued_bytes_ > kMaxPendingBytes && !queue_.empty()) {
        queued_bytes_ -= queue_.front().line.size();
        queue_.pop_front();
        ++dropped_;
        ++done_;
    }
}

std::vector<std::string> LogWriter::TakeBack(std::deque<QueuedLine> rest,
                                             const std::string& failed_path, unsigned long error) {
    std::vector<std::string> reports;
    if (rest.empty()) {
        if (failing_) {
            failing_ = false;
            reports.push_back("the log file is written again");
        }
        if (dropped_ > 0) {
            reports.push_back(std::to_string(dropped_) +
                              " log lines were dropped while the log file could not be written");
            dropped_ = 0;
        }
        return reports;
    }
    if (!failing_) {
        failing_ = true;
        reports.push_back("cannot write the log file " + failed_path + ": " +
                          platform::DescribeError(error) +
                          "; its lines are kept until it can be written");
    }
    if (stopping_) {
        // The last attempt: what is left is lost.
        reports.push_back(std::to_string(rest.size() + queue_.size()) +
                          " log lines could not be written to " + failed_path);
        done_ += rest.size() + queue_.size();
        queue_.clear();
        queued_bytes_ = 0;
        return reports;
    }
    for (const auto& pending : rest) {
        queued_bytes_ += pending.line.size();
    }
    queue_.insert(queue_.begin(), std::make_move_iterator(rest.begin()),
                  std::make_move_iterator(rest.end()));
    DropOldestBeyondCap();
    return reports;
}

void LogWriter::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        if (failing_) {
            wake_.wait_for(lock, kRetryPeriod, [this] { return stopping_; });
        } else {
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        }
        if (queue_.empty()) {
            if (stopping_) {
                return;
            }
            continue;
        }
        if (!stopping_) {
            // A sleep, not a wait on the condition: lines queued meanwhile need no wake-up.
            lock.unlock();
            std::this_thread::sleep_for(kGather);
            lock.lock();
        }
        std::deque<QueuedLine> batch;
        batch.swap(queue_);
        queued_bytes_ = 0;
        const std::uint64_t max_size = max_size_;
        const unsigned keep = keep_;

        lock.unlock();
        const WriteOutcome outcome = WriteOut(batch, max_size, keep);
        lock.lock();

        done_ += outcome.written;
        batch.erase(batch.begin(), batch.begin() + static_cast<std::ptrdiff_t>(outcome.written));
        const auto reports = TakeBack(std::move(batch), outcome.failed_path, outcome.error);
        written_.notify_all();
        if (!reports.empty()) {
            lock.unlock();
            for (const auto& report : reports) {
                report_(report);
            }
            lock.lock();
        }
    }
}

} // namespace torvane
