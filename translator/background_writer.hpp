#pragma once
// Writing a file on a thread of its own, so that the translation fills its
// next buffer while the last one goes to the file.

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "platform.hpp"

namespace trovik {

/// Hands byte runs to `file` in order, one at a time. `start` writes on a
/// second thread, begun at its first call (so a file written with
/// `writeNow` alone needs none); the bytes of such a run must stay untouched
/// until the next call returns. After the first failure later runs are not
/// written. Where no thread can be begun, `start` writes before it returns.
class BackgroundWriter {
public:
    explicit BackgroundWriter(FileWriter& file);
    BackgroundWriter(const BackgroundWriter&) = delete;
    BackgroundWriter& operator=(const BackgroundWriter&) = delete;
    /// Waits for the run under way and ends the thread.
    ~BackgroundWriter();

    /// Waits for the run under way, then starts writing `bytes`. Returns
    /// the failure of an earlier run, if there was one.
    std::optional<std::string> start(std::string_view bytes);
    /// Waits for the run under way; returns the first failure of any run.
    std::optional<std::string> wait();
    /// Waits for the run under way, then writes `bytes` before returning.
    /// Returns the first failure of any run.
    std::optional<std::string> writeNow(std::string_view bytes);

private:
    void writeRuns();
    void write(std::string_view bytes);
    bool threadRunning();

    FileWriter& file_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string_view run_;
    bool runPending_ = false;
    bool ending_ = false;
    std::optional<std::string> failure_;
    bool threadFailed_ = false;
    std::thread thread_;
};

}  // namespace trovik
