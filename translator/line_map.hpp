// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Which source line wrote each line of the output, so that a message of the
// assembler about an output line can name the line the user wrote.

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "platform.hpp"

namespace trovik {

/// The output as runs: a run begins at an output line and names the source
/// line that wrote it and the lines after it, up to the next run. Runs are
/// kept as small differences to the run before, 1 to 21 bytes each (the
/// forms are listed once, in line_map.cpp), in one
/// block of memory; a full block goes to a scratch file, so the memory used
/// is the same for a program of any length. A sparse index of the blocks in
/// the file (at most `indexCapacity` entries, thinned out as the file grows)
/// lets a lookup start close to the run it looks for.
class LineMap {
public:
    static constexpr std::size_t indexCapacity = 1024;
    explicit LineMap(FileSystem& files, std::size_t blockSize = 64 * 1024);

    /// Output lines from `outputLine` on come from `sourceLine`, until the
    /// next mark. Output lines only grow from mark to mark.
    void mark(long outputLine, long sourceLine) {
        if (sourceLine == current_.source) return;
        // A run without lines, or one that goes on with the source line of
        // the last, adds nothing.
        if (outputLine > current_.output && current_.source != lastCommitted_.source) {
            commit(current_);
        }
        current_ = Run{outputLine, sourceLine};
    }
    /// The source line that wrote output line `outputLine` (counted from 1),
    /// 0 when that is not known.
    long sourceLineOf(long outputLine);
    /// Why the runs could not be kept, when the scratch file failed.
    const std::optional<FileFailure>& failure() const { return failure_; }

private:
    struct Run {
        long output = 1;
        long source = 0;
    };
    /// Where a block begins in the encoded runs, and the run before it.
    struct BlockStart {
        std::size_t offset = 0;
        Run before;
    };
    class Reader;

    /// Encodes `run` after the last one (line_map.cpp has the byte forms).
    void commit(const Run& run);
    void spillBlock();
    /// The run that holds `outputLine`, decoding from `start` on.
    Run findFrom(const BlockStart& start, long outputLine);

    FileSystem& files_;
    const std::size_t blockSize_;
    Run current_;        ///< the run being written, not yet encoded
    Run lastCommitted_;  ///< the last encoded run
    std::unique_ptr<unsigned char[]> block_;
    std::size_t used_ = 0;   ///< bytes of `block_` in use
    BlockStart blockStart_;  ///< where the block in memory begins
    std::unique_ptr<ScratchFile> scratch_;
    std::size_t spilled_ = 0;  ///< bytes in the scratch file
    std::size_t blocksSpilled_ = 0;
    std::vector<BlockStart> index_;  ///< every `indexStride_`-th block start
    std::size_t indexStride_ = 1;
    std::optional<FileFailure> failure_;
};

}  // namespace trovik
