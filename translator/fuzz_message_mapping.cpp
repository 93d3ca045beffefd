// SPDX-License-Identifier: GPL-2.0-or-later
// libFuzzer target: the way back from the assembler's messages to the source
// lines. The input is read as fuzz_run.hpp says and translated twice, in
// short and in whole reads, each time with an assembler that names lines of
// the output all through it, so that trovik translates once more to find the
// source line of each; the two runs must agree byte for byte.

#include <cstdlib>

#include "fuzz_run.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace trovik::fuzzing;
    if (size == 0) return 0;
    const FuzzInput input = readFuzzInput(data, size);
    const Outcome inShortReads = translate(input, input.shortRead(), true, true);
    const Outcome inWholeReads = translate(input, readSizes.back(), true, true);
    if (!inShortReads.hasKnownStatus() || !(inShortReads == inWholeReads)) std::abort();
    return 0;
}
