// SPDX-License-Identifier: GPL-2.0-or-later
// pack83: turns an assembled TI-83 program into a .83p program file.

#include <iostream>

#include "packer.hpp"

int main(int argc, char** argv) {
    return pack83::run({argv + 1, argv + argc}, std::cout, std::cerr);
}
