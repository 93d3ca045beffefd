// SPDX-License-Identifier: GPL-2.0-or-later
// pixelkin: a mouse-driven editor for a set of 50 small monochrome sprites.

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "command_line.hpp"
#include "editor.hpp"
#include "sdl_window.hpp"

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const auto options = pixelkin::parseCommandLine(arguments);
    if (!options) {
        std::cerr << pixelkin::usageLine << '\n';
        return 2;
    }
    if (options->help) {
        std::cout << pixelkin::helpText;
        return std::cout.flush() ? 0 : 1;
    }
    if (options->version) {
        std::cout << TOOLCHAIN_VERSION << '\n';
        return std::cout.flush() ? 0 : 1;
    }
    if (const auto problem = pixelkin::folderProblem(options->folder)) {
        std::cerr << "pixelkin: " << options->folder.string() << ": " << *problem << '\n'
                  << pixelkin::usageLine << '\n';
        return 2;
    }
    std::string error;
    const auto window =
        pixelkin::Window::open(options->scale, pixelkin::windowTitle(options->folder), error);
    if (!window) {
        std::cerr << "pixelkin: cannot open the window: " << error << '\n';
        return 1;
    }
    pixelkin::Editor editor(options->folder, std::cerr);
    editor.drawStartScreen();
    if (!pixelkin::runEditorLoop(editor, *window, error)) {
        std::cerr << "pixelkin: " << error << '\n';
        return 1;
    }
    return 0;
}
