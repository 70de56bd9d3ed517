#pragma once
// The client's window: opened resizable at the kept size (or full screen), the 1024 x 768 design
// scaled uniformly to the largest size that fits and centred, the bars around it in the table's
// own dark green; the double-size images from a scale of 1.5 up (window pixels per design point,
// so on a display scaled to 150 % or 200 % as well); desktop full screen toggled by
// F11 and Alt+Enter and left by Esc. Main thread only.
//
//   key          full screen            windowed
//   F11          leaves it              enters it
//   Alt+Enter    leaves it              enters it
//   Esc          leaves it              nothing
//
// F11 and Alt+Enter are heard before the scenes' own keyboard listeners (fixed priority -1), so
// that Enter with Alt held does not also quick-join or play; Esc after them (fixed priority 1): a
// scene that uses Esc itself, the desk lowering raised cards, stops the event, and the window keeps
// its size.

#include <string>

namespace engine {
class GLView;
}

class CWindow {
public:
    static constexpr float kDesignWidth = 1024;
    static constexpr float kDesignHeight = 768;
    // View pixels per design point from which the double-size images are drawn.
    static constexpr float kDoubleSizeFrom = 1.5f;

    // Opens the window, titled `title`; null when it cannot be opened (the back end said why).
    static engine::GLView* open(const std::string& title);
    // Sets the design resolution, the bars' colour and the content scale on `view`; full screen
    // when the player left the client so.
    static void setUp(engine::GLView* view);
    // The window's drawing area changed: the content scale follows at once. A window that is
    // not full screen keeps its size in window coordinates for the next start, written once
    // kKeepSizeAfter seconds have passed with no further resize (a drag reports every step).
    static void onResized();
    static constexpr float kKeepSizeAfter = 0.25f;
    // Content scale 2 with the hd/ images from kDoubleSizeFrom up, 1 with the normal ones below.
    static void applyContentScale();

    static bool isFullScreen();
    // Applies and keeps the choice.
    static void setFullScreen(bool on);
    // Adds the listeners for the keys of the table above (once).
    static void listenToKeys();
};
