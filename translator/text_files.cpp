// SPDX-License-Identifier: GPL-2.0-or-later
#include "text_files.hpp"

#include <algorithm>

namespace trovik {

namespace {

constexpr std::size_t readBufferSize = 64 * 1024;

}  // namespace

std::optional<FileFailure> LineReader::open(FileSystem& files, const std::string& path) {
    path_ = path;
    Opened<FileReader> opened = files.openForReading(path);
    if (!opened.file) {
        failure_ = FileFailure{path, std::move(opened.failure)};
        return failure_;
    }
    file_ = std::move(opened.file);
    buffer_.resize(readBufferSize);
    return std::nullopt;
}

void LineReader::readMore() {
    std::copy(buffer_.begin() + static_cast<long>(position_),
              buffer_.begin() + static_cast<long>(end_), buffer_.begin());
    end_ -= position_;
    position_ = 0;
    if (end_ == buffer_.size()) buffer_.resize(2 * buffer_.size());
    const ReadResult got = file_->read(buffer_.data() + end_, buffer_.size() - end_);
    if (got.failure) {
        failure_ = FileFailure{path_, *got.failure};
    } else if (got.count == 0) {
        atEnd_ = true;
    } else {
        end_ += std::min(got.count, buffer_.size() - end_);
    }
}

bool LineReader::readLineAcrossReads(std::string_view& line) {
    line = {};
    if (!file_) return false;
    std::size_t searched = end_;  // no line end before this position
    for (;;) {
        const char* start = buffer_.data() + position_;
        const void* found = std::memchr(buffer_.data() + searched, '\n', end_ - searched);
        if (found) {
            const char* newline = static_cast<const char*>(found);
            line = std::string_view(start, static_cast<std::size_t>(newline - start));
            if (line.ends_with('\r')) line.remove_suffix(1);
            position_ = static_cast<std::size_t>(newline - buffer_.data()) + 1;
            return true;
        }
        if (failure_) return false;
        if (atEnd_) {
            if (position_ == end_) return false;  // the view stays empty
            line = std::string_view(start, end_ - position_);
            position_ = end_;
            return true;
        }
        searched = end_ - position_;
        readMore();
    }
}

bool LineReader::readLine(std::string& line) {
    std::string_view read;
    if (!readLine(read)) {
        line.clear();
        return false;
    }
    line.assign(read);
    return true;
}

namespace {

class DiscardingWriter final : public FileWriter {
public:
    std::optional<std::string> write(std::string_view) override { return std::nullopt; }
    std::optional<std::string> close() override { return std::nullopt; }
};

}  // namespace

void OutputFile::openDiscarding() {
    path_ = "(none)";
    file_ = std::make_unique<DiscardingWriter>();
    buffer_ = std::make_unique_for_overwrite<char[]>(bufferSize);
    countLines();
}

std::optional<FileFailure> OutputFile::create(FileSystem& files, const std::string& path) {
    path_ = path;
    Opened<FileWriter> opened = files.createForWriting(path);
    if (!opened.file) {
        failure_ = FileFailure{path, std::move(opened.failure)};
        return failure_;
    }
    file_ = std::move(opened.file);
    buffer_ = std::make_unique_for_overwrite<char[]>(bufferSize);
    return std::nullopt;
}

void OutputFile::flushBuffer() {
    if (countingLines_) linesWritten();
    writeAll(std::string_view(buffer_.get(), used_));
    used_ = 0;
    countedTo_ = 0;
}

void OutputFile::writeAll(std::string_view bytes) {
    flushed_ += bytes.size();
    if (failure_ || dropping_ || bytes.empty()) return;
    noteFailure(file_->write(bytes));
}

void OutputFile::noteFailure(std::optional<std::string> why) {
    if (why && !failure_) failure_ = FileFailure{path_, std::move(*why)};
}

std::optional<FileFailure> OutputFile::close() {
    if (!file_) return failure_;
    flushBuffer();
    noteFailure(file_->close());
    file_.reset();
    return failure_;
}

}  // namespace trovik
