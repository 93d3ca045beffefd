// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Where things are in the TI-83's memory and port space, as the calculator's
// own include files and Ion name them.

#include <cstdint>

namespace calcview {

// Memory.
inline constexpr std::uint16_t ramStart = 0x8000;           ///< below: ROM
inline constexpr std::uint16_t programOrigin = 0x9327;      ///< userMem: programs run here
inline constexpr std::uint16_t currowAddress = 0x800C;      ///< large-font cursor row (0..7)
inline constexpr std::uint16_t curcolAddress = 0x800D;      ///< large-font cursor column (0..15)
inline constexpr std::uint16_t textShadowAddress = 0x80C9;  ///< 128 characters of the home screen
inline constexpr std::uint16_t pencolAddress = 0x8252;      ///< small-font pen column
inline constexpr std::uint16_t penrowAddress = 0x8253;      ///< small-font pen row
inline constexpr std::uint16_t flagsAddress = 0x8567;       ///< system flags, IY points here
inline constexpr std::uint16_t curgyAddress = 0x886D;
inline constexpr std::uint16_t curgxAddress = 0x886E;
inline constexpr std::uint16_t curgy2Address = 0x886F;
inline constexpr std::uint16_t curgx2Address = 0x8870;
inline constexpr std::uint16_t plotsscreenAddress = 0x8E29;  ///< graph buffer, 64 rows of 12 bytes
inline constexpr std::uint16_t graphBufferSize = 768;
inline constexpr std::uint16_t ionVectorsAddress = 0x91A7;  ///< cmdShadow + 80: Ion's jp table
// The memory pointers: user memory (variables' data) from 9327h up to
// (tempMem); the floating-point stack from (fpBase) up to (FPS), where free
// memory starts; the operator stack from (OPBase) down to (OPS), where it
// ends; the variable table below it, from symTable down to (pTemp).
inline constexpr std::uint16_t tempMemAddress = 0x9309;
inline constexpr std::uint16_t fpBaseAddress = 0x930B;
inline constexpr std::uint16_t fpsAddress = 0x930D;
inline constexpr std::uint16_t opBaseAddress = 0x930F;
inline constexpr std::uint16_t opsAddress = 0x9311;
inline constexpr std::uint16_t pTempCntAddress = 0x9313;
inline constexpr std::uint16_t cleanTmpAddress = 0x9315;
inline constexpr std::uint16_t pTempAddress = 0x9317;       ///< the bottom of the variable table
inline constexpr std::uint16_t progPtrAddress = 0x9319;     ///< where its program part begins
inline constexpr std::uint16_t symTableAddress = 0xFE6E;    ///< the table's top, growing down

// The hardware stack: 400 bytes below the top of memory, above the variable
// table (from FE6Eh down).
inline constexpr std::uint16_t stackBottom = 0xFE70;

// System flag bytes (offsets from IY) and their bits.
inline constexpr int plotFlagsOffset = 2;
inline constexpr int plotLocBit = 1;  ///< set: graph routines draw into the buffer only
inline constexpr int textFlagsOffset = 5;
inline constexpr int textInverseBit = 3;
inline constexpr int onFlagsOffset = 9;
inline constexpr int onInterruptBit = 4;  ///< set: ON was pressed
inline constexpr int statFlagsOffset = 9;
inline constexpr int statsValidBit = 6;

// Ports.
inline constexpr std::uint8_t keypadPort = 0x01;
inline constexpr std::uint8_t interruptMaskPort = 0x03;
inline constexpr std::uint8_t interruptStatusPort = 0x04;
inline constexpr std::uint8_t lcdCommandPort = 0x10;
inline constexpr std::uint8_t lcdDataPort = 0x11;

// Screen.
inline constexpr int screenWidth = 96;
inline constexpr int screenHeight = 64;
inline constexpr int homeRows = 8;
inline constexpr int homeColumns = 16;

// Clock: the Z80 runs at 6 MHz; the timer interrupt comes about 140 times a second.
inline constexpr std::uint64_t clockHz = 6'000'000;
inline constexpr std::uint64_t timerPeriod = clockHz / 140;

}  // namespace calcview
