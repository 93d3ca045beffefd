#pragma once

#include <array>
#include <filesystem>
#include <iosfwd>
#include <string>

#include "framebuffer.hpp"
#include "sprite_files.hpp"
#include "sprite_set.hpp"

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

/// What one pass of the loop decided.
struct PassResult {
    /// Quit was hit: the loop ends after this pass.
    bool quit = false;
};

/// The sprite editor's screen and its mouse controls, drawn into a framebuffer.
///
/// The editor follows the button state rather than press events: each pass looks at the mouse
/// as it is now and acts on the control under the pointer, so a button held over a control acts
/// again on every pass. Sprite data lives in a SpriteSet; Save and Load go through the files of
/// `folder`. File failures do not end the editor: they are reported once per press on `errors`
/// and stay on the status line until the next Save or Load succeeds.
class Editor {
  public:
    /// An editor over a set in its start state, saving to and loading from `folder`.
    Editor(std::filesystem::path folder, std::ostream& errors);

    /// Draws the whole start screen: markers, size controls, captions, title and sprite 1.
    void drawStartScreen();
    /// One pass of the loop acting on `mouse`.
    PassResult runPass(const MouseState& mouse);
    /// Redraws the current sprite in full: grid, preview and digits.
    void showSprite();

    /// The canvas as drawn so far.
    const Framebuffer& screen() const { return screen_; }
    /// The canvas, for the window to collect its changed area.
    Framebuffer& screen() { return screen_; }
    /// The sprite set being edited.
    const SpriteSet& sprites() const { return sprites_; }
    /// The failure shown on the status line, empty when there is none.
    const std::string& statusText() const { return statusText_; }

  private:
    /// A control hit by the left button: exclusive bounds and the action it runs.
    struct Control {
        int xAbove;
        int xBelow;
        int yAbove;
        int yBelow;
        void (Editor::*action)(int x, int y);

        bool contains(int x, int y) const {
            return xAbove < x && x < xBelow && yAbove < y && y < yBelow;
        }
    };
    static const Control gridControl;
    static const std::array<Control, 11> leftButtonControls;

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
    void gridLeftPressed(int x, int y);
    void gridRightPressed(int x, int y);

    void changeWidth(void (SpriteSet::*step)());
    void changeHeight(void (SpriteSet::*step)());
    void switchSprite(void (SpriteSet::*step)());
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
    void showStatus(const std::string& text);

    std::filesystem::path folder_;
    std::ostream& errors_;
    SpriteSet sprites_;
    Framebuffer screen_;
    std::string statusText_;
    bool quitRequested_ = false;
    bool failedThisPass_ = false;
    bool failedLastPass_ = false;
};

}  // namespace pixelkin
