// SPDX-License-Identifier: GPL-2.0-or-later
// libFuzzer target: the debug adapter's reader. The input is fed in pieces
// whose sizes come from its first byte, and every message and problem is
// taken out, then the end of input; each message found is framed again.

#include <cstdint>
#include <string_view>

#include "dap_reader.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t piece = data[0] % 64 + 1;
    std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    calcview::dap::Reader reader;
    auto drain = [](std::optional<calcview::dap::Incoming> found) {
        if (found && found->message) (void)calcview::dap::frame(*found->message);
        return found.has_value();
    };
    while (!input.empty()) {
        reader.feed(input.substr(0, piece));
        input.remove_prefix(std::min(piece, input.size()));
        while (drain(reader.next())) {
        }
    }
    drain(reader.finish());
    return 0;
}
