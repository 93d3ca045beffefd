// SPDX-License-Identifier: GPL-2.0-or-later
#include "lcd.hpp"

namespace calcview {

void Lcd::command(std::uint8_t value) {
    if (value >= 0xC0) {
        contrast_ = value & 0x3F;
    } else if (value >= 0x80) {
        row_ = value & 0x3F;
    } else if (value >= 0x40) {
        scrollRow_ = value & 0x3F;
    } else if (value >= 0x20) {
        column_ = (value & 0x1F) % columnCount();
    } else if (value <= 0x01) {
        eightBit_ = value == 0x01;
        column_ %= columnCount();
    } else if (value <= 0x03) {
        on_ = value == 0x03;
    } else if (value <= 0x07) {
        direction_ = static_cast<Direction>(value - 0x04);
    }
    // 08h-1Fh (power supply, test modes) change nothing a program can see.
}

std::uint8_t Lcd::status() const {
    return static_cast<std::uint8_t>((eightBit_ ? 0x40 : 0) | (on_ ? 0x20 : 0) |
                                     static_cast<std::uint8_t>(direction_));
}

std::uint8_t Lcd::wordAtAddress() const {
    const int bits = wordBits();
    std::uint8_t word = 0;
    for (int i = 0; i < bits; ++i) {
        const int x = column_ * bits + i;
        word = static_cast<std::uint8_t>(word << 1 | (memory_[row_][x] ? 1 : 0));
    }
    return word;
}

void Lcd::advance() {
    switch (direction_) {
        case Direction::rowUp:
            row_ = (row_ + screenHeight - 1) % screenHeight;
            break;
        case Direction::rowDown:
            row_ = (row_ + 1) % screenHeight;
            break;
        case Direction::columnLeft:
            column_ = (column_ + columnCount() - 1) % columnCount();
            break;
        case Direction::columnRight:
            column_ = (column_ + 1) % columnCount();
            break;
    }
}

void Lcd::writeData(std::uint8_t value) {
    const int bits = wordBits();
    for (int i = 0; i < bits; ++i) {
        memory_[row_][column_ * bits + i] = (value >> (bits - 1 - i) & 1) != 0;
    }
    advance();
}

std::uint8_t Lcd::readData() {
    const std::uint8_t previous = readBuffer_;
    readBuffer_ = wordAtAddress();
    advance();
    return previous;
}

bool Lcd::pixel(int x, int row) const {
    if (x < 0 || x >= memoryWidth || row < 0 || row >= screenHeight) return false;
    return memory_[row][x];
}

void Lcd::setPixel(int x, int row, bool on) {
    if (x < 0 || x >= memoryWidth || row < 0 || row >= screenHeight) return;
    memory_[row][x] = on;
}

void Lcd::clear() { memory_ = {}; }

bool Lcd::shown(int x, int y) const {
    if (!on_) return false;
    return memory_[(y + scrollRow_) % screenHeight][x];
}

}  // namespace calcview
