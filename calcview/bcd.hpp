// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The TI-83's real numbers: 9 bytes in the OP registers and in variables.
//   byte 0: sign and type (bit 7 set: negative; the low bits the type, 0 real)
//   byte 1: exponent, biased by 80h (80h: 10^0, 81h: 10^1, 7Fh: 10^-1)
//   bytes 2-8: 14 decimal digits, two a byte, high digit first; the first
//              digit is not 0 unless the number is 0.
// Arithmetic here is exact decimal arithmetic rounded to 14 digits, as the
// calculator's own.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace calcview::bcd {

inline constexpr int digits = 14;
inline constexpr int realSize = 9;
using Bytes = std::array<std::uint8_t, realSize>;

/// A number as sign, exponent and 14-digit mantissa: the value is
/// mantissa * 10^(exponent - 13), with mantissa in [10^13, 10^14), or 0.
struct Real {
    bool negative = false;
    int exponent = 0;
    std::uint64_t mantissa = 0;

    bool isZero() const { return mantissa == 0; }
    friend bool operator==(const Real&, const Real&) = default;
};

/// Why an operation gave no number; the calculator stops with that error.
enum class Error { overflow, divideByZero };

struct Result {
    std::optional<Real> value;
    Error error = Error::overflow;
};

Real fromInteger(std::int64_t value);
/// Digits that are not decimal (a nibble above 9) are read as they come.
Real decode(const Bytes& bytes);
/// Type bits of the sign byte other than the sign are written as 0.
Bytes encode(const Real& value);

Result add(const Real& a, const Real& b);
Result subtract(const Real& a, const Real& b);
Result multiply(const Real& a, const Real& b);
Result divide(const Real& a, const Real& b);

/// The integer part (towards zero), when it is below `limit` in size.
std::optional<std::uint32_t> integerPart(const Real& value, std::uint32_t limit);

/// The number as the home screen shows it in the normal float mode: up to 10
/// significant digits, scientific notation (the calculator's E, 1Bh) when it
/// is 10^10 or more or below 10^-3, the negative sign 1Ah, no more than
/// `width` characters (fewer digits when the width is short).
std::string format(const Real& value, int width);

/// Font codes of the negative sign and of the exponent's E.
inline constexpr char negativeSign = 0x1A;
inline constexpr char exponentMark = 0x1B;

}  // namespace calcview::bcd
