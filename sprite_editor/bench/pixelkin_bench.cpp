// SPDX-License-Identifier: GPL-2.0-or-later
// Measures the editor in a real window: processor use while idle, the time of a full sprite
// redraw with its present, of an undo step, of each change of the whole sprite (turn, flip,
// shift, invert, paste), and the loop's passes per second while a button is held.
// Usage: pixelkin_bench [SCALE]   (needs a display; does not save anything)

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <numeric>
#include <string>
#include <vector>

#include "editor.hpp"
#include "sdl_window.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double processorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::chrono::milliseconds monotonicNow() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch());
}

/// One pass with a press at (x, y) that was released before the pass.
void tap(pixelkin::Editor& editor, int x, int y, int buttons) {
    editor.runPass(
        {monotonicNow(), {x, y, 0}, {{pixelkin::EventKind::buttonDown, {x, y, buttons}}}});
}

void key(pixelkin::Editor& editor, pixelkin::EventKind kind) {
    editor.runPass({monotonicNow(), {}, {{kind, {}}}});
}

/// Runs the real loop with the mouse held still at `mouse` for `seconds`, then closes the
/// window twice (the first close only warns about unsaved changes). Returns the number of
/// passes.
long runFor(pixelkin::Editor& editor, pixelkin::Window& window, pixelkin::MouseState mouse,
            double seconds) {
    long passes = 0;
    const auto start = Clock::now();
    std::string error;
    const bool ok = pixelkin::runEditorLoop(editor, window, error, [&](pixelkin::PassInput& input) {
        ++passes;
        input.mouse = mouse;
        if (passes == 1 && mouse.buttons != 0) {
            input.events.push_back({pixelkin::EventKind::buttonDown, mouse});
        }
        if (secondsSince(start) >= seconds) {
            input.events.assign(2, {pixelkin::EventKind::close, {}});
        }
    });
    if (!ok) {
        std::cerr << "pixelkin_bench: " << error << '\n';
        std::exit(1);
    }
    return passes;
}

/// Times of one kind of step. The median is what a person meets; the mean also counts the
/// passes the machine held up, which a shared machine does often.
class Timings {
  public:
    void add(Clock::time_point start) { samples_.push_back(secondsSince(start) * 1e6); }

    void print(const char* what) {
        std::sort(samples_.begin(), samples_.end());
        const double mean =
            std::accumulate(samples_.begin(), samples_.end(), 0.0) / samples_.size();
        std::printf("%s: median %.1f us, mean %.1f us\n", what, samples_[samples_.size() / 2],
                    mean);
    }

  private:
    std::vector<double> samples_;
};

constexpr int rounds = 2000;

/// Times `step` followed by a present of what changed, `rounds` times.
template <typename Step>
Timings timeSteps(pixelkin::Editor& editor, pixelkin::Window& window, Step step) {
    std::string error;
    Timings timings;
    for (int round = 0; round < rounds; ++round) {
        const auto start = Clock::now();
        step(round);
        window.present(editor.screen(), error);
        timings.add(start);
    }
    return timings;
}

void measureRedraw(pixelkin::Editor& editor, pixelkin::Window& window) {
    std::string error;
    Timings changedOnly;
    Timings whole;
    for (int round = 0; round < rounds; ++round) {
        // Toggle a pixel so that each redraw has something new to present.
        tap(editor, 20, 20, round % 2 == 0 ? pixelkin::leftButton : pixelkin::rightButton);
        window.present(editor.screen(), error);
        auto start = Clock::now();
        editor.showSprite();
        window.present(editor.screen(), error);
        changedOnly.add(start);
        start = Clock::now();
        editor.showSprite();
        window.presentAll(editor.screen(), error);
        whole.add(start);
    }
    changedOnly.print("showSprite + present of what changed");
    whole.print("showSprite + present of the whole canvas");

    // Sprite 1 all set in one stroke, sprite 2 clear: every cell, block and digit changes on
    // each step.
    editor.runPass({monotonicNow(), {4, 4, pixelkin::leftButton}, {}});
    for (int c = 0; c < pixelkin::gridSize; ++c) {
        for (int r = 0; r < pixelkin::gridSize; ++r) {
            editor.runPass({monotonicNow(), {8 * c + 4, 8 * r + 4, pixelkin::leftButton}, {}});
        }
    }
    editor.runPass({monotonicNow(), {200, 200, 0}, {}});
    window.present(editor.screen(), error);
    timeSteps(editor, window, [&](int round) {
        tap(editor, 30, round % 2 == 0 ? 392 : 412, pixelkin::leftButton);
    }).print("Next/Last between a full and a clear sprite, redraw + present (aim: below 1000)");

    // Undoing and redoing the stroke turns the whole sprite over each time.
    timeSteps(editor, window, [&](int round) {
        key(editor, round % 2 == 0 ? pixelkin::EventKind::undo : pixelkin::EventKind::redo);
    }).print("undo or redo of a whole-sprite stroke, redraw + present (aim: below 1000)");
}

void measureTransforms(pixelkin::Editor& editor, pixelkin::Window& window) {
    using pixelkin::EventKind;
    // A 16 x 16 sprite set on and below its diagonal: each turn, flip and inversion changes at
    // least half the cells.
    tap(editor, 30, 392, pixelkin::leftButton);  // Next, to a sprite of its own
    for (int step = 0; step < 8; ++step) {
        tap(editor, 124, 142, pixelkin::leftButton);
        tap(editor, 142, 124, pixelkin::leftButton);
    }
    for (int c = 0; c < pixelkin::gridSize; ++c) {
        for (int r = c; r < pixelkin::gridSize; ++r) {
            tap(editor, 8 * c + 4, 8 * r + 4, pixelkin::leftButton);
        }
    }
    key(editor, EventKind::copy);
    std::string error;
    window.present(editor.screen(), error);

    struct Change {
        const char* name;
        pixelkin::InputEvent event;
    };
    const Change changes[] = {
        {"Rotote clockwise", {EventKind::buttonDown, {30, 423, pixelkin::leftButton}}},
        {"Rotote counter-clockwise", {EventKind::buttonDown, {30, 423, pixelkin::rightButton}}},
        {"H flip", {EventKind::flipLeftRight, {}}},
        {"V flip", {EventKind::flipTopBottom, {}}},
        {"Right shift", {EventKind::shiftRight, {}}},
        {"I invert", {EventKind::invert, {}}},
    };
    for (const Change& change : changes) {
        timeSteps(editor, window, [&](int) {
            editor.runPass({monotonicNow(), {200, 200, 0}, {change.event}});
        }).print((std::string(change.name) + ", redraw + present (aim: below 1000)").c_str());
    }

    // A paste over the inverted sprite, so that every cell changes; the inversion is not timed.
    Timings pastes;
    for (int round = 0; round < rounds; ++round) {
        key(editor, EventKind::invert);
        window.present(editor.screen(), error);
        const auto start = Clock::now();
        key(editor, EventKind::paste);
        window.present(editor.screen(), error);
        pastes.add(start);
    }
    pastes.print("paste over every cell, redraw + present (aim: below 1000)");
}

}  // namespace

int main(int argc, char** argv) {
    const int scale = argc > 1 ? std::atoi(argv[1]) : 2;
    std::string error;
    const auto window = pixelkin::Window::open(scale, "pixelkin_bench", error);
    if (!window) {
        std::cerr << "pixelkin_bench: cannot open the window: " << error << '\n';
        return 1;
    }
    std::printf("scale %d\n", window->scale());
    pixelkin::Editor editor("/nonexistent", std::cerr);
    editor.drawStartScreen();

    measureRedraw(editor, *window);
    measureTransforms(editor, *window);

    constexpr double heldSeconds = 2.0;
    const long held = runFor(editor, *window, {20, 20, pixelkin::leftButton}, heldSeconds);
    std::printf("passes per second, left button held on the grid: %.0f\n", held / heldSeconds);
    double before = processorSeconds();
    const long next = runFor(editor, *window, {30, 392, pixelkin::leftButton}, heldSeconds);
    std::printf("left button held on Next: %.0f passes per second, processor use %.2f %%\n",
                next / heldSeconds, (processorSeconds() - before) / heldSeconds * 100);

    constexpr double idleSeconds = 10.0;
    before = processorSeconds();
    const long idle = runFor(editor, *window, {200, 200, 0}, idleSeconds);
    const double used = processorSeconds() - before;
    std::printf("idle: %ld passes in %.0f s, processor use %.2f %% of a core (aim: below 1 %%)\n",
                idle, idleSeconds, used / idleSeconds * 100);
    return 0;
}
