// SPDX-License-Identifier: GPL-2.0-or-later
// libFuzzer target: the translation itself, from memory (the input is read as
// fuzz_run.hpp says). The assembler it starts has nothing to say, so no input
// takes the way back from its messages to the source lines;
// fuzz_message_mapping takes that way.
//
// Every input is translated twice, in short reads with the statement checks
// and in whole reads. With bit 7 of the settings the second run checks too,
// and the two must agree byte for byte in everything they produce; without
// it the second does not check, and they must write the same files with the
// same status: warnings never change the output.

#include <cstdlib>

#include "fuzz_run.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace trovik::fuzzing;
    if (size == 0) return 0;
    const FuzzInput input = readFuzzInput(data, size);
    const bool bothChecked = (input.settings & 0x80) != 0;
    const Outcome inShortReads = translate(input, input.shortRead(), false, true);
    Outcome inWholeReads = translate(input, readSizes.back(), false, bothChecked);
    if (!bothChecked) inWholeReads.errors = inShortReads.errors;  // the warnings differ
    if (!inShortReads.hasKnownStatus() || !(inShortReads == inWholeReads)) std::abort();
    return 0;
}
