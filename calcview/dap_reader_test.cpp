// SPDX-License-Identifier: GPL-2.0-or-later
#include "dap_reader.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace calcview::dap {
namespace {

std::string framed(const std::string& body) {
    return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

/// What the reader makes of `input`: "seq N" for a message (with " !" when it
/// came with a problem), "problem" for a problem alone.
std::vector<std::string> readAll(const std::string& input, std::size_t piece) {
    Reader reader;
    std::vector<std::string> seen;
    auto take = [&](std::optional<Incoming> found) {
        if (!found) return false;
        if (found->message) {
            seen.push_back("seq " + found->message->value("seq", Json(-1)).dump() +
                           (found->problem.empty() ? "" : " !"));
        } else {
            EXPECT_FALSE(found->problem.empty());
            seen.push_back("problem");
        }
        return true;
    };
    for (std::size_t at = 0; at < input.size(); at += piece) {
        reader.feed(std::string_view(input).substr(at, piece));
        while (take(reader.next())) {
        }
    }
    take(reader.finish());
    return seen;
}

struct Case {
    const char* name;
    std::string input;
    std::vector<std::string> expected;
};

const std::string one = R"({"seq":1,"type":"request","command":"threads"})";
const std::string two = R"({"seq":2,"type":"request","command":"threads"})";

TEST(DapReader, FramesWholeOrInPiecesGiveTheSameMessages) {
    const std::vector<Case> cases = {
        {"two messages", framed(one) + framed(two), {"seq 1", "seq 2"}},
        {"another header line", "Content-Length: 46\r\nContent-Type: x\r\n\r\n" + one, {"seq 1"}},
        {"header line before", "Content-Type: x\r\n" + framed(one), {"seq 1"}},
        {"blank lines between", framed(one) + "\r\n\r\n" + framed(two), {"seq 1", "seq 2"}},
        {"a body holding the header's words",
         framed(R"({"seq":3,"x":"Content-Length: 9\r\n\r\n{}"})"),
         {"seq 3"}},
        {"garbage before", "hello there\n" + framed(one), {"problem", "seq 1"}},
        {"garbage alone", "garbage", {"problem"}},
        {"not JSON", framed("{nope}") + framed(two), {"problem", "seq 2"}},
        {"JSON not an object", framed("[1,2]") + framed(two), {"problem", "seq 2"}},
        {"not UTF-8", framed("{\"seq\":\"\xff\"}") + framed(two), {"problem", "seq 2"}},
        {"too deep",
         framed(std::string(100, '[') + std::string(100, ']')) + framed(two),
         {"problem", "seq 2"}},
        {"length not a number",
         "Content-Length: ten\r\n\r\n" + one + framed(two),
         {"problem", "problem", "seq 2"}},
        {"length too large",
         "Content-Length: 99999999999\r\n\r\n" + framed(two),
         {"problem", "seq 2"}},
        {"no blank line",
         "Content-Length: 46\r\n" + one + framed(two),
         {"problem", "problem", "seq 2"}},
        {"length too small",
         "Content-Length: 20\r\n\r\n" + one + framed(two),
         {"seq 1 !", "seq 2"}},
        {"length too small, last", "Content-Length: 20\r\n\r\n" + one, {"seq 1 !"}},
        {"length too large, more follows",
         "Content-Length: 60\r\n\r\n" + one + framed(two),
         {"seq 1 !", "seq 2"}},
        {"length too large, last", "Content-Length: 60\r\n\r\n" + one, {"seq 1 !"}},
        {"cut short", framed(one).substr(0, 30), {"problem"}},
    };
    for (const Case& test : cases) {
        for (const std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{4096}}) {
            EXPECT_EQ(readAll(test.input, piece), test.expected)
                << test.name << ", in pieces of " << piece;
        }
    }
}

TEST(DapReader, FrameCountsBytesAndReplacesBadText) {
    EXPECT_EQ(frame(Json{{"text", "\xc3\xa9"}}),
              "Content-Length: 13\r\n\r\n{\"text\":\"\xc3\xa9\"}");
    EXPECT_EQ(frame(Json{{"text", "\xff"}}),
              "Content-Length: 14\r\n\r\n{\"text\":\"\xef\xbf\xbd\"}");
}

}  // namespace
}  // namespace calcview::dap
