// SPDX-License-Identifier: GPL-2.0-or-later
#include "bcd.hpp"

#include <cstdlib>

namespace calcview::bcd {

namespace {

__extension__ using Wide = unsigned __int128;
__extension__ using SignedWide = __int128;

constexpr int biasedZero = 0x80;
/// The calculator's numbers run from 10^-99 to below 10^100.
constexpr int largestExponent = 99;
constexpr int smallestExponent = -99;
constexpr std::uint64_t mantissaLimit = 100'000'000'000'000;  // 10^14
constexpr int displayDigits = 10;

Wide powerOf10(int exponent) {
    Wide value = 1;
    for (int i = 0; i < exponent; ++i) value *= 10;
    return value;
}

int digitCount(Wide value) {
    int count = 0;
    for (; value != 0; value /= 10) ++count;
    return count;
}

/// `keep` digits of `value`, rounded half away from zero; `power` grows by
/// the digits dropped.
Wide roundToDigits(Wide value, int keep, int& power) {
    const int count = digitCount(value);
    if (count <= keep) return value;
    const Wide divisor = powerOf10(count - keep);
    Wide rounded = value / divisor;
    if (value % divisor >= divisor / 2) ++rounded;
    power += count - keep;
    if (digitCount(rounded) > keep) {
        rounded /= 10;
        ++power;
    }
    return rounded;
}

/// sign * magnitude * 10^power as a calculator number.
Result normalise(bool negative, Wide magnitude, int power) {
    if (magnitude == 0) return {Real{}};
    Wide mantissa = roundToDigits(magnitude, digits, power);
    const int count = digitCount(mantissa);
    mantissa *= powerOf10(digits - count);
    power -= digits - count;
    const int exponent = power + digits - 1;
    if (exponent > largestExponent) return {std::nullopt, Error::overflow};
    if (exponent < smallestExponent) return {Real{}};  // too small to hold: 0
    return {Real{negative, exponent, static_cast<std::uint64_t>(mantissa)}};
}

SignedWide signedMantissa(const Real& value) {
    const auto mantissa = static_cast<SignedWide>(value.mantissa);
    return value.negative ? -mantissa : mantissa;
}

std::string withoutTrailingZeros(std::string digitsText) {
    while (digitsText.size() > 1 && digitsText.back() == '0') digitsText.pop_back();
    return digitsText;
}

/// The number rounded to `significant` digits, and its exponent after rounding.
std::string roundedDigits(const Real& value, int significant, int& exponent) {
    int power = value.exponent - (digits - 1);
    const Wide rounded = roundToDigits(value.mantissa, significant, power);
    exponent = power + digitCount(rounded) - 1;
    return withoutTrailingZeros(std::to_string(static_cast<std::uint64_t>(rounded)));
}

std::string scientific(const std::string& text, int exponent) {
    std::string out = text.substr(0, 1);
    if (text.size() > 1) out.append(1, '.').append(text, 1);
    out += exponentMark;
    if (exponent < 0) out += negativeSign;
    return out + std::to_string(std::abs(exponent));
}

std::string plain(const std::string& text, int exponent) {
    std::string out;
    if (exponent >= 0) {
        const auto whole = static_cast<std::size_t>(exponent + 1);
        std::string padded = text;
        if (padded.size() < whole) padded.append(whole - padded.size(), '0');
        out = padded.substr(0, whole);
        if (padded.size() > whole) out.append(1, '.').append(padded, whole);
    } else {
        out.append(1, '.').append(static_cast<std::size_t>(-exponent - 1), '0').append(text);
    }
    return out;
}

/// The number with `significant` digits, in plain notation when it is in the
/// plain range and no digit before the point is lost, else in scientific.
std::optional<std::string> formatDigits(const Real& value, int significant, bool allowPlain) {
    int exponent = 0;
    const std::string text = roundedDigits(value, significant, exponent);
    const std::string sign = value.negative ? std::string(1, negativeSign) : std::string();
    const bool plainRange = exponent < displayDigits && exponent >= -3;
    if (allowPlain && plainRange) {
        if (exponent >= significant) return std::nullopt;  // would round the whole part
        return sign + plain(text, exponent);
    }
    if (allowPlain) return std::nullopt;
    return sign + scientific(text, exponent);
}

}  // namespace

Real fromInteger(std::int64_t value) {
    const bool negative = value < 0;
    const Wide magnitude = negative ? Wide(-(value + 1)) + 1 : Wide(value);
    return *normalise(negative, magnitude, 0).value;
}

Real decode(const Bytes& bytes) {
    std::uint64_t mantissa = 0;
    for (int i = 2; i < realSize; ++i) {
        mantissa = mantissa * 10 + (bytes[static_cast<std::size_t>(i)] >> 4);
        mantissa = mantissa * 10 + (bytes[static_cast<std::size_t>(i)] & 0x0F);
    }
    if (mantissa == 0) return Real{};
    if (mantissa >= mantissaLimit) mantissa = mantissaLimit - 1;  // nibbles above 9
    Real value{(bytes[0] & 0x80) != 0, bytes[1] - biasedZero, mantissa};
    // A mantissa with leading zeros (not written by the calculator) is
    // brought to 14 digits with the same value.
    while (value.mantissa < mantissaLimit / 10) {
        value.mantissa *= 10;
        --value.exponent;
    }
    return value;
}

Bytes encode(const Real& value) {
    Bytes bytes{};
    if (value.isZero()) {
        bytes[1] = biasedZero;
        return bytes;
    }
    bytes[0] = value.negative ? 0x80 : 0x00;
    bytes[1] = static_cast<std::uint8_t>(biasedZero + value.exponent);
    std::uint64_t mantissa = value.mantissa;
    for (int i = realSize - 1; i >= 2; --i) {
        const auto low = static_cast<std::uint8_t>(mantissa % 10);
        mantissa /= 10;
        const auto high = static_cast<std::uint8_t>(mantissa % 10);
        mantissa /= 10;
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return bytes;
}

Result add(const Real& a, const Real& b) {
    if (a.isZero()) return {b};
    if (b.isZero()) return {a};
    const Real& larger = a.exponent >= b.exponent ? a : b;
    const Real& smaller = a.exponent >= b.exponent ? b : a;
    const int gap = larger.exponent - smaller.exponent;
    // Past 16 digits apart the smaller cannot change the rounded sum.
    if (gap > digits + 2) return {larger};
    const SignedWide sum = signedMantissa(larger) * static_cast<SignedWide>(powerOf10(gap)) +
                           signedMantissa(smaller);
    const bool negative = sum < 0;
    return normalise(negative, static_cast<Wide>(negative ? -sum : sum),
                     smaller.exponent - (digits - 1));
}

Result subtract(const Real& a, const Real& b) {
    Real negated = b;
    negated.negative = !b.negative && !b.isZero();
    return add(a, negated);
}

Result multiply(const Real& a, const Real& b) {
    if (a.isZero() || b.isZero()) return {Real{}};
    return normalise(a.negative != b.negative, Wide(a.mantissa) * b.mantissa,
                     a.exponent + b.exponent - 2 * (digits - 1));
}

Result divide(const Real& a, const Real& b) {
    if (b.isZero()) return {std::nullopt, Error::divideByZero};
    if (a.isZero()) return {Real{}};
    constexpr int extra = digits + 2;  // quotient digits beyond the mantissa's
    const Wide quotient = Wide(a.mantissa) * powerOf10(extra) / b.mantissa;
    return normalise(a.negative != b.negative, quotient, a.exponent - b.exponent - extra);
}

std::optional<std::uint32_t> integerPart(const Real& value, std::uint32_t limit) {
    if (value.isZero() || value.exponent < 0) return 0U;
    if (value.exponent >= 10) return std::nullopt;
    const std::uint64_t whole =
        value.mantissa / static_cast<std::uint64_t>(powerOf10(digits - 1 - value.exponent));
    if (whole >= limit) return std::nullopt;
    return static_cast<std::uint32_t>(whole);
}

std::string format(const Real& value, int width) {
    if (value.isZero()) return "0";
    std::string text;
    for (const bool allowPlain : {true, false}) {
        for (int significant = displayDigits; significant >= 1; --significant) {
            const auto candidate = formatDigits(value, significant, allowPlain);
            if (!candidate) continue;
            text = *candidate;
            if (static_cast<int>(text.size()) <= width) return text;
        }
    }
    return text.substr(0, static_cast<std::size_t>(width < 1 ? 1 : width));
}

}  // namespace calcview::bcd
