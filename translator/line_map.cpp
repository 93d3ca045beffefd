// SPDX-License-Identifier: GPL-2.0-or-later
#include "line_map.hpp"

#include <algorithm>

namespace trovik {

// A run is stored as its step from the run before it (the first from output
// line 1, source line 0): how many output lines later it begins, and how many
// source lines on its line is. Most runs follow the line before them in the
// source and are a few output lines long; a loop's own lines sit a few source
// lines away from those of its body.
//
//   first byte   then                    output step      source step
//   00h-7Fh      nothing                 the first byte   +1
//   80h-BFh      one byte                that byte        low 6 bits of the
//                                                         first, -32 to 31
//   FFh          two numbers of 7 bits   the first        the second, zigzag:
//                a byte, low bits first,  number          0, -1, 1, -2, 2 ...
//                80h set: more follow
//   C0h-FEh      not used
//
// `LineMap::commit` writes these forms and `LineMap::Reader::nextRun` reads
// them; both are below, next to each other.

namespace {

constexpr unsigned char nearStep = 0x80;  ///< first byte of a two-byte run
constexpr long nearSourceSteps = 32;
constexpr unsigned char escape = 0xff;
/// The most bytes one run takes: the escape and two 64-bit numbers of seven
/// bits a byte.
constexpr std::size_t longestRun = 21;

/// Writes `value` seven bits a byte, low bits first; returns the end.
unsigned char* putNumber(unsigned char* out, unsigned long value) {
    while (value >= 0x80) {
        *out++ = static_cast<unsigned char>(value | 0x80);
        value >>= 7;
    }
    *out++ = static_cast<unsigned char>(value);
    return out;
}

/// Small differences of either sign as small unsigned numbers.
unsigned long zigzag(long value) {
    return (static_cast<unsigned long>(value) << 1) ^ static_cast<unsigned long>(value >> 63);
}
long unzigzag(unsigned long value) {
    return static_cast<long>(value >> 1) ^ -static_cast<long>(value & 1);
}

}  // namespace

void LineMap::commit(const Run& run) {
    if (failure_) return;
    if (used_ + longestRun > blockSize_) {
        spillBlock();
        if (failure_) return;
    }
    const long sourceStep = run.source - lastCommitted_.source;
    const unsigned long outputStep = static_cast<unsigned long>(run.output - lastCommitted_.output);
    unsigned char* out = block_.get() + used_;
    if (sourceStep == 1 && outputStep < nearStep) {
        *out++ = static_cast<unsigned char>(outputStep);
    } else if (sourceStep >= -nearSourceSteps && sourceStep < nearSourceSteps &&
               outputStep < 256) {
        *out++ = static_cast<unsigned char>(nearStep | (sourceStep & 0x3f));
        *out++ = static_cast<unsigned char>(outputStep);
    } else {
        *out++ = escape;
        out = putNumber(out, outputStep);
        out = putNumber(out, zigzag(sourceStep));
    }
    used_ = static_cast<std::size_t>(out - block_.get());
    lastCommitted_ = run;
}

/// Reads the encoded runs byte by byte from an offset on: from the scratch
/// file up to what it holds, then from the block in memory.
class LineMap::Reader {
public:
    Reader(LineMap& map, std::size_t offset) : map_(map), offset_(offset) {}

    /// The next run after `run`; false at the end.
    bool nextRun(Run& run) {
        unsigned char first = 0;
        if (!next(first)) return false;
        if (first < nearStep) {
            run = Run{run.output + first, run.source + 1};
            return true;
        }
        if (first != escape) {
            unsigned char outputStep = 0;
            if (!next(outputStep)) return false;
            const long sourceStep =
                (first & 0x3f) >= nearSourceSteps ? (first & 0x3f) - 64 : first & 0x3f;
            run = Run{run.output + outputStep, run.source + sourceStep};
            return true;
        }
        unsigned long outputStep = 0;
        unsigned long sourceStep = 0;
        if (!number(outputStep) || !number(sourceStep)) return false;
        run = Run{run.output + static_cast<long>(outputStep), run.source + unzigzag(sourceStep)};
        return true;
    }

private:
    bool number(unsigned long& value) {
        value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            unsigned char byte = 0;
            if (!next(byte)) return false;
            value |= static_cast<unsigned long>(byte & 0x7f) << shift;
            if (byte < 0x80) return true;
        }
        return false;
    }
    bool next(unsigned char& byte) {
        if (position_ == end_ && !refill()) return false;
        byte = bytes_[position_++];
        return true;
    }
    bool refill() {
        if (offset_ >= map_.spilled_) {
            const std::size_t inBlock = offset_ - map_.spilled_;
            if (inBlock >= map_.used_) return false;
            bytes_ = map_.block_.get() + inBlock;
            end_ = map_.used_ - inBlock;
        } else {
            buffer_.resize(map_.blockSize_);
            const std::size_t wanted = std::min(buffer_.size(), map_.spilled_ - offset_);
            const ReadResult got = map_.scratch_->readAt(offset_, buffer_.data(), wanted);
            bytes_ = reinterpret_cast<const unsigned char*>(buffer_.data());
            if (got.failure || got.count == 0) return false;
            end_ = got.count;
        }
        offset_ += end_;
        position_ = 0;
        return true;
    }

    LineMap& map_;
    std::size_t offset_;
    std::vector<char> buffer_;
    const unsigned char* bytes_ = nullptr;
    std::size_t position_ = 0;
    std::size_t end_ = 0;
};

LineMap::LineMap(FileSystem& files, std::size_t blockSize)
    : files_(files),
      blockSize_(std::max(blockSize, 2 * longestRun)),
      block_(std::make_unique_for_overwrite<unsigned char[]>(blockSize_)) {
    index_.push_back(blockStart_);
}

void LineMap::spillBlock() {
    if (!scratch_) {
        Opened<ScratchFile> opened = files_.createScratchFile();
        if (!opened.file) {
            failure_ = FileFailure{files_.scratchFolder(), opened.failure};
            return;
        }
        scratch_ = std::move(opened.file);
    }
    if (auto why = scratch_->append(
            std::string_view(reinterpret_cast<const char*>(block_.get()), used_))) {
        failure_ = FileFailure{files_.scratchFolder(), *why};
        return;
    }
    spilled_ += used_;
    used_ = 0;
    blockStart_ = BlockStart{spilled_, lastCommitted_};
    if (++blocksSpilled_ % indexStride_ != 0) return;
    if (index_.size() == indexCapacity) {
        // Keep every second entry: the index then covers twice as many blocks each.
        for (std::size_t i = 0; i < index_.size() / 2; ++i) index_[i] = index_[2 * i];
        index_.resize(index_.size() / 2);
        indexStride_ *= 2;
        if (blocksSpilled_ % indexStride_ != 0) return;
    }
    index_.push_back(blockStart_);
}

LineMap::Run LineMap::findFrom(const BlockStart& start, long outputLine) {
    Reader reader(*this, start.offset);
    Run found = start.before;
    for (Run next = found; reader.nextRun(next) && next.output <= outputLine;) found = next;
    return found;
}

long LineMap::sourceLineOf(long outputLine) {
    if (failure_ || outputLine < 1) return 0;
    if (outputLine >= current_.output) return current_.source;
    if (outputLine >= blockStart_.before.output) return findFrom(blockStart_, outputLine).source;
    // The last indexed block that begins at or before the line.
    const auto after = std::upper_bound(
        index_.begin(), index_.end(), outputLine,
        [](long line, const BlockStart& block) { return line < block.before.output; });
    return findFrom(*std::prev(after), outputLine).source;
}

}  // namespace trovik
