// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The debug adapter's wire: messages framed as
//   Content-Length: N\r\n\r\n<N bytes of UTF-8 JSON>
// in both directions. The reader takes bytes as they arrive, in pieces of any
// size, and hands out whole messages. What a client sends wrong never stops
// it: garbage between messages is skipped up to the next header, a body that
// is no JSON is reported and dropped, and a Content-Length that does not match
// its message is noticed when the next header (or the end of a JSON object)
// turns up where the body was still expected.

#include <cstddef>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace calcview::dap {

using Json = nlohmann::json;

/// One thing the reader found: a message, a problem, or a message with a
/// problem (a body that parses although its Content-Length was wrong).
struct Incoming {
    std::optional<Json> message;
    /// What was wrong, for the client to read; empty when all was well.
    std::string problem;
};

class Reader {
  public:
    /// The largest body accepted; a larger Content-Length is refused.
    static constexpr std::size_t largestBody = 16u << 20;

    void feed(std::string_view bytes);
    /// The next message or problem, or nullopt until more bytes arrive.
    std::optional<Incoming> next();
    /// The input has ended: what was left half-received, if anything.
    std::optional<Incoming> finish();

  private:
    /// Drops bytes before the next header; a problem unless they were blank
    /// or header lines of their own.
    std::optional<Incoming> skipToHeader();
    std::optional<Incoming> readHeader();
    std::optional<Incoming> readBody();
    /// A Content-Length too small or too large, seen from the bytes at hand:
    /// a JSON object that ends where the next header starts, or at the end
    /// of what has arrived.
    std::optional<Incoming> mismatchedLength();
    void drop(std::size_t count);

    std::string buffer_;
    /// The body's length once its header has been read.
    std::optional<std::size_t> bodyLength_;
    /// How far the body has been searched for a header (so that a body
    /// arriving in many pieces is not searched from its start each time).
    std::size_t searched_ = 0;
};

/// `message` framed for the wire. Text that is not valid UTF-8 (a string
/// read from the calculator's memory) is sent with replacement characters.
std::string frame(const Json& message);

}  // namespace calcview::dap
