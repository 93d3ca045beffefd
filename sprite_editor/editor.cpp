// SPDX-License-Identifier: GPL-2.0-or-later
// The editor screen and its loop.
//
// The screen is a fixed layout on a 320 x 480 canvas: the 16 x 16 edit grid at the top left
// (8 canvas pixels per sprite pixel), a preview at 4 pixels per sprite pixel to its right, the
// pixel values as digits below the grid, the width and height markers with their "-" and "+"
// controls, a column of captions, the title and a status line. Every change to the sprite set
// is followed at once by drawing what it changed, so the framebuffer always shows the set; the
// window presents the framebuffer after each pass that drew.
//
// Input reaches a pass as the mouse held now plus the events since the last pass, with the time
// read by the loop. Button-down events start presses, so a quick tap is seen even when it is
// over before the pass; the held state then drives the grid's strokes and the repeat of the
// stepping controls. Each change (a stroke, a size step, Clear, Load, a paste, a turn, flip,
// shift or inversion) is kept as an undo step holding the records it replaced.

#include "editor.hpp"

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "sprite_picture.hpp"

namespace pixelkin {

namespace {

constexpr int cellPixels = 8;
constexpr int gridEdge = gridSize * cellPixels;  // 128: the grid covers 0 to 127
constexpr int previewLeft = 170;
constexpr int previewTop = 5;
constexpr int previewPixels = 4;
constexpr int digitTop = 178;
constexpr int markerLine = 132;  // y of the width marker, x of the height marker
constexpr int markerReach = 3;   // a marker's area runs 3 pixels either side of its place
constexpr int captionX = 10;
constexpr int statusY = 468;

struct Caption {
    int y;
    const char* text;
    std::uint8_t colour;
};

constexpr std::array<Caption, 8> captions = {{
    {315, "Quit", white},
    {330, "Save", white},
    {345, "Load", white},
    {360, "Clear", white},
    {390, "Next", white},
    {405, "Last", white},
    {375, "Copy", white},
    {420, "Rotote", white},
}};

const char* const titleText = "Pixelkin Maker V1.0 By:Oskarine";

/// What the status line says after each transform, in the order of Transform.
constexpr std::array<const char*, 9> transformMessages = {
    "Rotated", "Rotated", "Flipped", "Flipped",  "Shifted",
    "Shifted", "Shifted", "Shifted", "Inverted",
};

bool isInside(const SpriteRecord& sprite, int c, int r) { return sprite.isInside(c + 1, r + 1); }

}  // namespace

// The grid's area, whichever button: a stroke goes on while a button is held over it.
const Editor::Control Editor::gridControl = {0, 0, gridEdge, 0, gridEdge, nullptr,
                                             Pacing::everyPass};

// Tested in this order against the same position; the areas of one button do not overlap. A
// press matches only with exactly its control's button held.
const std::array<Editor::Control, 16> Editor::controls = {{
    {leftButton, 1, 5, 140, 145, &Editor::narrowerPressed, Pacing::repeating},
    {leftButton, 122, 127, 140, 145, &Editor::widerPressed, Pacing::repeating},
    {leftButton, 140, 145, 2, 7, &Editor::shorterPressed, Pacing::repeating},
    {leftButton, 140, 145, 122, 127, &Editor::tallerPressed, Pacing::repeating},
    {leftButton, 10, 50, 315, 325, &Editor::quitPressed, Pacing::oncePerPress},
    {leftButton, 10, 50, 329, 337, &Editor::savePressed, Pacing::oncePerPress},
    {leftButton, 10, 50, 343, 353, &Editor::loadPressed, Pacing::oncePerPress},
    {leftButton, 10, 50, 358, 368, &Editor::clearPressed, Pacing::oncePerPress},
    {leftButton, 10, 50, 373, 383, &Editor::copyPressed, Pacing::oncePerPress},
    {leftButton, 10, 50, 387, 397, &Editor::nextPressed, Pacing::repeating},
    {leftButton, 10, 50, 407, 417, &Editor::lastPressed, Pacing::repeating},
    {leftButton, 10, 58, 418, 428, &Editor::transformPressed<Transform::rotateClockwise>,
     Pacing::oncePerPress},
    {leftButton, 0, gridEdge, 0, gridEdge, &Editor::gridLeftPressed, Pacing::everyPass},
    {rightButton, 0, gridEdge, 0, gridEdge, &Editor::gridRightPressed, Pacing::everyPass},
    {rightButton, 10, 50, 373, 383, &Editor::pastePressed, Pacing::oncePerPress},
    {rightButton, 10, 58, 418, 428, &Editor::transformPressed<Transform::rotateCounterClockwise>,
     Pacing::oncePerPress},
}};

const std::array<Editor::KeyAction, 15> Editor::keyActions = {{
    {EventKind::undo, &Editor::undoPressed},
    {EventKind::redo, &Editor::redoPressed},
    {EventKind::save, &Editor::savePressed},
    {EventKind::nextSprite, &Editor::nextPressed},
    {EventKind::lastSprite, &Editor::lastPressed},
    {EventKind::copy, &Editor::copyPressed},
    {EventKind::paste, &Editor::pastePressed},
    {EventKind::flipLeftRight, &Editor::transformPressed<Transform::flipLeftRight>},
    {EventKind::flipTopBottom, &Editor::transformPressed<Transform::flipTopBottom>},
    {EventKind::shiftLeft, &Editor::transformPressed<Transform::shiftLeft>},
    {EventKind::shiftRight, &Editor::transformPressed<Transform::shiftRight>},
    {EventKind::shiftUp, &Editor::transformPressed<Transform::shiftUp>},
    {EventKind::shiftDown, &Editor::transformPressed<Transform::shiftDown>},
    {EventKind::invert, &Editor::transformPressed<Transform::invert>},
    {EventKind::exportSheet, &Editor::exportPressed},
}};

const Editor::Control* Editor::controlAt(const MouseState& press) {
    const auto found = std::ranges::find_if(controls, [&](const Control& control) {
        return control.buttons == press.buttons && control.contains(press.x, press.y);
    });
    return found == controls.end() ? nullptr : &*found;
}

Editor::Editor(std::filesystem::path folder, std::ostream& errors)
    : folder_(std::move(folder)), errors_(errors) {}

void Editor::drawStartScreen() {
    screen_.clear();
    statusText_.clear();
    drawMarkers();
    drawFixedTexts();
    showSprite();
    refreshStatusLine();
}

PassResult Editor::runPass(const PassInput& input) {
    now_ = input.now;
    for (const InputEvent& event : input.events) {
        handleEvent(event);
    }
    followHeldButtons(input.mouse);
    expireQuitGuard();
    refreshStatusLine();
    const bool drawing =
        (input.mouse.buttons == leftButton || input.mouse.buttons == rightButton) &&
        gridControl.contains(input.mouse.x, input.mouse.y);
    return PassResult{std::exchange(leaving_, false), drawing};
}

void Editor::handleEvent(const InputEvent& event) {
    // Whatever comes next, the stroke drawn so far is one change of its own.
    endStroke();
    if (event.kind == EventKind::buttonDown) {
        beginPress(event.mouse);
        return;
    }
    if (event.kind == EventKind::close) {
        requestLeave();
        return;
    }
    startedOnControl();
    if (event.kind == EventKind::importPicture) {
        importPicture(event.file.empty() ? folder_ / sheetFileName : event.file);
        return;
    }
    const auto key = std::ranges::find(keyActions, event.kind, &KeyAction::kind);
    if (key != keyActions.end()) {
        (this->*key->action)(0, 0);
    }
}

void Editor::beginPress(const MouseState& press) {
    heldControl_ = nullptr;
    const Control* control = controlAt(press);
    if (control == nullptr) {
        return;
    }
    if (control->action != &Editor::quitPressed) {
        startedOnControl();
    }
    (this->*control->action)(press.x, press.y);
    heldControl_ = control;
    nextRepeat_ = now_ + repeatDelay;
}

void Editor::followHeldButtons(const MouseState& mouse) {
    if (mouse.buttons == 0) {
        endStroke();
    }
    if (heldControl_ != nullptr &&
        (mouse.buttons != heldControl_->buttons || !heldControl_->contains(mouse.x, mouse.y))) {
        heldControl_ = nullptr;
    }
    if (heldControl_ != nullptr && heldControl_->pacing == Pacing::repeating &&
        now_ >= nextRepeat_) {
        (this->*heldControl_->action)(mouse.x, mouse.y);
        nextRepeat_ += repeatInterval;
        if (nextRepeat_ <= now_) {
            // The loop was held up: go on at the usual pace instead of catching up in a burst.
            nextRepeat_ = now_ + repeatInterval;
        }
    }
    if (gridControl.contains(mouse.x, mouse.y)) {
        if (mouse.buttons == leftButton) {
            gridLeftPressed(mouse.x, mouse.y);
        } else if (mouse.buttons == rightButton) {
            gridRightPressed(mouse.x, mouse.y);
        }
    }
}

void Editor::startedOnControl() {
    message_.clear();
    quitWarnedAt_.reset();
}

void Editor::showSprite() {
    const SpriteRecord& sprite = sprites_.current();
    const int w = sprite.width;
    const int h = sprite.height;
    screen_.fillRect(previewLeft, previewTop, 234, 68, FillStyle::solid, gridBlack);
    screen_.fillRect(0, 0, gridEdge - 1, gridEdge - 1, FillStyle::solid, green);
    screen_.fillRect(previewLeft, previewTop, 233, 68, FillStyle::solid, green);
    screen_.fillRect(0, 0, 8 * w - 1, 8 * h - 1, FillStyle::solid, white);
    screen_.fillRect(previewLeft, previewTop, 4 * w + 169, 4 * h + 3, FillStyle::solid, white);
    drawGridLines();
    for (int c = 0; c < gridSize; ++c) {
        for (int r = 0; r < gridSize; ++r) {
            drawDigit(c, r);
        }
    }
    for (int c = 0; c < gridSize; ++c) {
        for (int r = 0; r < gridSize; ++r) {
            drawCell(c, r);
        }
    }
}

void Editor::narrowerPressed(int, int) { changeWidth(&SpriteSet::narrower); }
void Editor::widerPressed(int, int) { changeWidth(&SpriteSet::wider); }
void Editor::shorterPressed(int, int) { changeHeight(&SpriteSet::shorter); }
void Editor::tallerPressed(int, int) { changeHeight(&SpriteSet::taller); }
void Editor::quitPressed(int, int) { requestLeave(); }

void Editor::savePressed(int, int) {
    const bool writes = sprites_.usedCount() > 0;
    const FileOutcome outcome = saveSet(sprites_, folder_);
    if (!outcome && writes) {
        savedRecords_ = sprites_.records();
    }
    reportOutcome(outcome);
}

void Editor::loadPressed(int, int) {
    UndoStep before = UndoHistory::snapshot(sprites_, 1, spriteCount);
    eraseMarkers();
    const FileOutcome outcome = loadSet(sprites_, folder_);
    if (!outcome) {
        savedRecords_ = sprites_.records();
        history_.recordIfChanged(sprites_, std::move(before));
    }
    reportOutcome(outcome);
    showSprite();
    drawMarkers();
}

void Editor::clearPressed(int, int) {
    UndoStep before = UndoHistory::snapshot(sprites_, sprites_.currentSprite(), 1);
    sprites_.clearSprite();
    history_.recordIfChanged(sprites_, std::move(before));
    // The full redraw paints an all-clear sprite exactly as any other view of it; the markers
    // stay where they are.
    showSprite();
}

void Editor::nextPressed(int, int) { switchSprite(&SpriteSet::nextSprite); }
void Editor::lastPressed(int, int) { switchSprite(&SpriteSet::previousSprite); }

void Editor::copyPressed(int, int) {
    clipboard_ = sprites_.current();
    message_ = "Copied sprite " + std::to_string(sprites_.currentSprite());
}

void Editor::pastePressed(int, int) {
    if (!clipboard_) {
        message_ = nothingToPaste;
        return;
    }
    changeCurrentSprite([&] { sprites_.pasteIntoCurrent(*clipboard_); });
    message_ = "Pasted into sprite " + std::to_string(sprites_.currentSprite());
}

template <Transform transform>
void Editor::transformPressed(int, int) {
    changeCurrentSprite([&] { sprites_.transformCurrent(transform); });
    message_ = transformMessages[static_cast<std::size_t>(transform)];
}

template <typename Change>
void Editor::changeCurrentSprite(Change change) {
    const int width = sprites_.current().width;
    const int height = sprites_.current().height;
    UndoStep before = UndoHistory::snapshot(sprites_, sprites_.currentSprite(), 1);
    change();
    history_.recordIfChanged(sprites_, std::move(before));
    eraseWidthMarker(width);
    eraseHeightMarker(height);
    showSprite();
    drawMarkers();
}

void Editor::exportPressed(int, int) {
    const FileOutcome outcome = exportSheet(sprites_.records(), folder_);
    reportOutcome(outcome);
    if (!outcome) {
        message_ = std::string("Exported ") + sheetFileName;
    }
}

void Editor::importPicture(const std::filesystem::path& file) {
    pngfile::Picture picture;
    if (const FileOutcome failure = readPicture(file, picture)) {
        reportOutcome(failure);
        return;
    }
    const PictureSprites found = spritesOf(picture);
    if (const auto* one = std::get_if<OneSprite>(&found)) {
        changeCurrentSprite([&] { sprites_.pasteIntoCurrent(one->sprite); });
        message_ = "Imported sprite " + std::to_string(sprites_.currentSprite());
    } else if (const auto* sheet = std::get_if<WholeSheet>(&found)) {
        UndoStep before = UndoHistory::snapshot(sprites_, 1, spriteCount);
        eraseMarkers();
        sprites_.pasteAll(sheet->sprites);
        history_.recordIfChanged(sprites_, std::move(before));
        showSprite();
        drawMarkers();
        message_ = "Imported all 50 sprites";
    } else {
        const std::string size =
            std::to_string(picture.width) + "x" + std::to_string(picture.height);
        const std::string detail = "the picture is " + size + " pixels: pixelkin imports a " +
                                   "sprite of up to 16x16 or a sheet of 160x80 (10 x 5 sprites)";
        reportOutcome(FileError{100, file.filename().string(), "is " + size, detail});
    }
}

void Editor::gridLeftPressed(int x, int y) {
    openStroke();
    sprites_.setPixel(x / cellPixels + 1, y / cellPixels + 1);
    drawCell(x / cellPixels, y / cellPixels);
    drawDigit(x / cellPixels, y / cellPixels);
}

void Editor::gridRightPressed(int x, int y) {
    openStroke();
    sprites_.clearPixel(x / cellPixels + 1, y / cellPixels + 1);
    drawCell(x / cellPixels, y / cellPixels);
    drawDigit(x / cellPixels, y / cellPixels);
}

void Editor::requestLeave() {
    const bool warnedRecently = quitWarnedAt_ && now_ - *quitWarnedAt_ < quitConfirmTime;
    if (warnedRecently || !hasUnsavedChanges()) {
        leaving_ = true;
        return;
    }
    quitWarnedAt_ = now_;
    message_ = unsavedWarning;
}

void Editor::expireQuitGuard() {
    if (quitWarnedAt_ && now_ - *quitWarnedAt_ >= quitConfirmTime) {
        quitWarnedAt_.reset();
        message_.clear();
    }
}

void Editor::undoPressed(int, int) { travelHistory(&UndoHistory::undo); }
void Editor::redoPressed(int, int) { travelHistory(&UndoHistory::redo); }

void Editor::travelHistory(std::optional<int> (UndoHistory::*step)(SpriteSet&)) {
    const int width = sprites_.current().width;
    const int height = sprites_.current().height;
    if (const std::optional<int> changedSprite = (history_.*step)(sprites_)) {
        eraseWidthMarker(width);
        eraseHeightMarker(height);
        sprites_.selectSprite(*changedSprite);
        showSprite();
        drawMarkers();
    }
}

void Editor::openStroke() {
    if (!stroke_) {
        stroke_ = UndoHistory::snapshot(sprites_, sprites_.currentSprite(), 1);
    }
}

void Editor::endStroke() {
    if (stroke_) {
        history_.recordIfChanged(sprites_, std::move(*stroke_));
        stroke_.reset();
    }
}

void Editor::changeWidth(void (SpriteSet::*step)()) {
    const int before = sprites_.current().width;
    UndoStep record = UndoHistory::snapshot(sprites_, sprites_.currentSprite(), 1);
    (sprites_.*step)();
    if (sprites_.current().width != before) {
        eraseWidthMarker(before);
        drawWidthMarker();
    }
    history_.recordIfChanged(sprites_, std::move(record));
    showSprite();
}

void Editor::changeHeight(void (SpriteSet::*step)()) {
    const int before = sprites_.current().height;
    UndoStep record = UndoHistory::snapshot(sprites_, sprites_.currentSprite(), 1);
    (sprites_.*step)();
    if (sprites_.current().height != before) {
        eraseHeightMarker(before);
        drawHeightMarker();
    }
    history_.recordIfChanged(sprites_, std::move(record));
    showSprite();
}

void Editor::switchSprite(void (SpriteSet::*step)()) {
    eraseMarkers();
    (sprites_.*step)();
    showSprite();
    drawMarkers();
}

void Editor::drawMarkers() {
    drawWidthMarker();
    drawHeightMarker();
}

void Editor::eraseMarkers() {
    eraseWidthMarker(sprites_.current().width);
    eraseHeightMarker(sprites_.current().height);
}

void Editor::drawWidthMarker() {
    screen_.drawText(8 * sprites_.current().width - markerReach, markerLine, "^", white);
}

void Editor::drawHeightMarker() {
    screen_.drawText(markerLine, 8 * sprites_.current().height - markerReach, "<", white);
}

void Editor::eraseWidthMarker(int width) {
    screen_.fillRect(8 * width - markerReach, markerLine, 8 * width + markerReach, markerLine + 5,
                     FillStyle::solid, gridBlack);
}

void Editor::eraseHeightMarker(int height) {
    screen_.fillRect(markerLine, 8 * height - markerReach, markerLine + 5, 8 * height + markerReach,
                     FillStyle::solid, gridBlack);
}

void Editor::drawCell(int c, int r) {
    const SpriteRecord& sprite = sprites_.current();
    const bool inside = isInside(sprite, c, r);
    const bool set = sprite.isSet(c + 1, r + 1);
    const FillStyle style = (set && !inside) ? FillStyle::lightSlash : FillStyle::solid;
    const std::uint8_t colour = set ? blue : (inside ? white : green);
    screen_.fillRect(cellPixels * c + 1, cellPixels * r + 1, cellPixels * c + 7, cellPixels * r + 7,
                     style, colour);
    const int blockX = previewLeft + previewPixels * c;
    const int blockY = previewTop + previewPixels * r;
    screen_.fillRect(blockX, blockY, blockX + 3, blockY + 3, style, colour);
}

void Editor::drawDigit(int c, int r) {
    const SpriteRecord& sprite = sprites_.current();
    const int x = cellPixels * c;
    const int y = digitTop + cellPixels * r;
    screen_.fillRect(x, y, x + 7, y + 7, FillStyle::solid, gridBlack);
    screen_.drawText(x, y, sprite.isSet(c + 1, r + 1) ? "1" : "0",
                     isInside(sprite, c, r) ? white : green);
}

void Editor::drawGridLines() {
    for (int c = 0; c < gridSize; ++c) {
        for (int r = 0; r < gridSize; ++r) {
            const int x = cellPixels * c;
            const int y = cellPixels * r;
            screen_.drawLine(x, y, x + cellPixels, y, gridBlack);
            screen_.drawLine(x, y, x, y + cellPixels, gridBlack);
        }
    }
}

void Editor::drawFixedTexts() {
    screen_.drawText(1, 140, "-", white);
    screen_.drawText(122, 140, "+", white);
    screen_.drawText(140, 2, "-", white);
    screen_.drawText(140, 122, "+", white);
    for (const Caption& caption : captions) {
        screen_.drawText(captionX, caption.y, caption.text, caption.colour);
    }
    screen_.drawText(2, 450, titleText, white);
}

void Editor::reportOutcome(const FileOutcome& outcome) {
    if (outcome) {
        errors_ << outcome->report() << '\n' << std::flush;
        message_ = outcome->statusText();
    }
}

void Editor::refreshStatusLine() {
    // Formatted into a buffer: this runs on every pass and should not allocate.
    std::array<char, canvasWidth / 8 + 1> line{};
    std::string_view text = message_;
    if (text.empty()) {
        const SpriteRecord& sprite = sprites_.current();
        const int length =
            std::snprintf(line.data(), line.size(), "Sprite %d/%d  %dx%d", sprites_.currentSprite(),
                          spriteCount, sprite.width, sprite.height);
        text = std::string_view(line.data(), std::min<std::size_t>(length, line.size() - 1));
    }
    if (text == statusText_) {
        return;
    }
    statusText_ = text;
    screen_.fillRect(0, statusY, canvasWidth - 1, statusY + 7, FillStyle::solid, black);
    screen_.drawText(0, statusY, statusText_, white);
}

}  // namespace pixelkin
