// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <array>
#include <chrono>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "framebuffer.hpp"
#include "sprite_files.hpp"
#include "sprite_set.hpp"
#include "sprite_transforms.hpp"
#include "undo_history.hpp"

namespace pixelkin {

/// Mouse button bits as the editor reads them.
inline constexpr int leftButton = 1;
inline constexpr int rightButton = 2;
inline constexpr int middleButton = 4;

/// The mouse at the moment of one read: pointer position in canvas pixels and the buttons held.
struct MouseState {
    int x = 0;
    int y = 0;
    /// Sum of leftButton, rightButton and middleButton for the buttons held.
    int buttons = 0;
};

/// Something that happened since the last pass, in the order it happened.
enum class EventKind {
    /// A mouse button went down; `mouse` holds its position and the buttons held just after.
    buttonDown,
    undo,
    redo,
    save,
    nextSprite,
    lastSprite,
    /// Ctrl+C and Ctrl+V.
    copy,
    paste,
    /// H, V, the arrow keys and I: a change of the current sprite's active region.
    flipLeftRight,
    flipTopBottom,
    shiftLeft,
    shiftRight,
    shiftUp,
    shiftDown,
    invert,
    /// Ctrl+E: the sheet of the set into pixelkin.png.
    exportSheet,
    /// Ctrl+I (pixelkin.png of the folder) or a file dropped on the window.
    importPicture,
    /// The window was asked to close.
    close,
};

/// One event: what happened and, for a button press, the mouse at that moment.
struct InputEvent {
    EventKind kind = EventKind::buttonDown;
    MouseState mouse{};
    /// For importPicture: the file dropped on the window; empty for pixelkin.png of the folder.
    std::filesystem::path file{};
};

/// What one pass of the loop reads: the time on a monotonic clock, the mouse as it is now and
/// the events since the last pass.
struct PassInput {
    std::chrono::milliseconds now{0};
    MouseState mouse{};
    std::vector<InputEvent> events;
};

/// What one pass of the loop decided.
struct PassResult {
    /// The editor is to end: the loop ends after this pass.
    bool quit = false;
    /// A button is held over the edit grid: the next pass should follow the pointer at once.
    bool drawing = false;
};

/// Time a left button held on a size control, Next or Last waits before it acts again.
inline constexpr std::chrono::milliseconds repeatDelay{400};
/// Time between the repeats after that.
inline constexpr std::chrono::milliseconds repeatInterval{100};
/// Time in which a second Quit or close leaves despite unsaved changes.
inline constexpr std::chrono::milliseconds quitConfirmTime{5000};
/// The status line's warning after a first Quit or close with unsaved changes.
inline constexpr const char* unsavedWarning = "Unsaved changes: Quit again to leave";
/// The status line after a paste with nothing copied.
inline constexpr const char* nothingToPaste = "Nothing to paste: Copy a sprite first";

/// The sprite editor's screen and its controls, drawn into a framebuffer.
///
/// A control acts when a press begins on it; the size controls, Next and Last act again while
/// the left button stays on them (after repeatDelay, then every repeatInterval), the edit grid
/// draws on every pass while a button is held over it. Presses arrive as events, so a press
/// released before the pass still acts. Every change to the set can be undone. Copy, paste and
/// the changes of the active region as a whole say on the status line what they did, until the
/// next press. Sprite data lives
/// in a SpriteSet; Save and Load go through the files of `folder`. File failures do not end the
/// editor: they are reported on `errors` and stay on the status line until the next press.
class Editor {
  public:
    /// An editor over a set in its start state, saving to and loading from `folder`.
    Editor(std::filesystem::path folder, std::ostream& errors);

    /// Draws the whole start screen: markers, size controls, captions, title, status and
    /// sprite 1.
    void drawStartScreen();
    /// One pass of the loop acting on `input`.
    PassResult runPass(const PassInput& input);
    /// Redraws the current sprite in full: grid, preview and digits.
    void showSprite();

    /// The canvas as drawn so far.
    const Framebuffer& screen() const { return screen_; }
    /// The canvas, for the window to collect its changed area.
    Framebuffer& screen() { return screen_; }
    /// The sprite set being edited.
    const SpriteSet& sprites() const { return sprites_; }
    /// The text on the status line.
    const std::string& statusText() const { return statusText_; }
    /// True when the set differs from what was last saved or loaded, or from the start state
    /// before either.
    bool hasUnsavedChanges() const { return sprites_.records() != savedRecords_; }

  private:
    /// How a control follows the left button.
    enum class Pacing {
        /// Once when a press begins on it, again while it stays held there.
        repeating,
        /// Once per press.
        oncePerPress,
        /// On every pass while the button is held over it.
        everyPass,
    };

    /// A control: the button that hits it, its exclusive bounds, the action it runs and its
    /// pacing.
    struct Control {
        int buttons;
        int xAbove;
        int xBelow;
        int yAbove;
        int yBelow;
        void (Editor::*action)(int x, int y);
        Pacing pacing;

        bool contains(int x, int y) const {
            return xAbove < x && x < xBelow && yAbove < y && y < yBelow;
        }
    };
    static const Control gridControl;
    static const std::array<Control, 16> controls;
    static const Control* controlAt(const MouseState& press);

    /// A key that is not a press on a control, and what it does.
    struct KeyAction {
        EventKind kind;
        void (Editor::*action)(int x, int y);
    };
    static const std::array<KeyAction, 15> keyActions;

    void handleEvent(const InputEvent& event);
    void beginPress(const MouseState& press);
    void followHeldButtons(const MouseState& mouse);
    void startedOnControl();

    void narrowerPressed(int x, int y);
    void widerPressed(int x, int y);
    void shorterPressed(int x, int y);
    void tallerPressed(int x, int y);
    void quitPressed(int x, int y);
    void savePressed(int x, int y);
    void loadPressed(int x, int y);
    void clearPressed(int x, int y);
    void nextPressed(int x, int y);
    void lastPressed(int x, int y);
    void copyPressed(int x, int y);
    void pastePressed(int x, int y);
    template <Transform transform>
    void transformPressed(int x, int y);
    void exportPressed(int x, int y);
    /// Replaces the current sprite, or the whole set for a sheet, with the picture in `file`, as
    /// one undo step; refuses any other picture with the set unchanged.
    void importPicture(const std::filesystem::path& file);
    void gridLeftPressed(int x, int y);
    void gridRightPressed(int x, int y);

    void requestLeave();
    void expireQuitGuard();
    void undoPressed(int x, int y);
    void redoPressed(int x, int y);
    /// Undoes or redoes a step and shows the sprite it changed.
    void travelHistory(std::optional<int> (UndoHistory::*step)(SpriteSet&));
    void openStroke();
    void endStroke();
    void changeWidth(void (SpriteSet::*step)());
    void changeHeight(void (SpriteSet::*step)());
    void switchSprite(void (SpriteSet::*step)());
    /// Runs `change` on the current sprite as one undo step and shows the sprite again.
    template <typename Change>
    void changeCurrentSprite(Change change);
    void drawMarkers();
    void eraseMarkers();
    void drawWidthMarker();
    void drawHeightMarker();
    void eraseWidthMarker(int width);
    void eraseHeightMarker(int height);
    void drawCell(int c, int r);
    void drawDigit(int c, int r);
    void drawGridLines();
    void drawFixedTexts();
    void reportOutcome(const FileOutcome& outcome);
    void refreshStatusLine();

    std::filesystem::path folder_;
    std::ostream& errors_;
    SpriteSet sprites_;
    SpriteRecords savedRecords_ = sprites_.records();
    UndoHistory history_;
    /// The sprite as it was when the stroke being drawn began.
    std::optional<UndoStep> stroke_;
    /// The sprite last copied, pixels and size.
    std::optional<SpriteRecord> clipboard_;
    Framebuffer screen_;
    std::chrono::milliseconds now_{0};
    /// The control the left button went down on, while it stays held there.
    const Control* heldControl_ = nullptr;
    std::chrono::milliseconds nextRepeat_{0};
    /// A failure or the unsaved-work warning; the status line shows the sprite when empty.
    std::string message_;
    std::string statusText_;
    std::optional<std::chrono::milliseconds> quitWarnedAt_;
    bool leaving_ = false;
};

}  // namespace pixelkin
