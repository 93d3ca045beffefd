#include "background_writer.hpp"

#include <system_error>

namespace trovik {

BackgroundWriter::BackgroundWriter(FileWriter& file) : file_(file) {}

BackgroundWriter::~BackgroundWriter() {
    if (!thread_.joinable()) return;
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !runPending_; });
        ending_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

bool BackgroundWriter::threadRunning() {
    if (!thread_.joinable() && !threadFailed_) {
        try {
            thread_ = std::thread(&BackgroundWriter::writeRuns, this);
        } catch (const std::system_error&) {
            threadFailed_ = true;  // `start` writes each run itself
        }
    }
    return thread_.joinable();
}

std::optional<std::string> BackgroundWriter::start(std::string_view bytes) {
    if (!threadRunning()) return writeNow(bytes);
    std::optional<std::string> earlierFailure;
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !runPending_; });
        earlierFailure = failure_;
        run_ = bytes;
        runPending_ = true;
    }
    changed_.notify_all();
    return earlierFailure;
}

std::optional<std::string> BackgroundWriter::wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !runPending_; });
    return failure_;
}

std::optional<std::string> BackgroundWriter::writeNow(std::string_view bytes) {
    wait();
    write(bytes);
    return failure_;
}

void BackgroundWriter::writeRuns() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return runPending_ || ending_; });
        if (!runPending_) return;
        const std::string_view bytes = run_;
        lock.unlock();
        write(bytes);
        lock.lock();
        runPending_ = false;
        changed_.notify_all();
    }
}

void BackgroundWriter::write(std::string_view bytes) {
    // Only one thread writes at a time: the second one while a run is
    // pending, the caller's while none is.
    if (failure_) return;
    if (auto why = file_.write(bytes)) failure_ = std::move(why);
}

}  // namespace trovik
