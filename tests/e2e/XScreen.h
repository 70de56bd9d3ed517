#pragma once
// Reads what is on an X display, as a person would see it: the colour at a point of the root
// window and a screenshot of the whole screen. Used by the end-to-end test's probe tool and the
// client benchmark (their Xvfb has no window manager, so the client's window starts at 0,0).
// One instance per thread.

#include <string>

struct _XDisplay;

struct Rgb {
    int r = 0, g = 0, b = 0;
};

class XScreen {
public:
    ~XScreen();
    // Opens $DISPLAY; false when there is no display.
    bool open();

    // The colour at (x, y) of the root window, origin top-left; black outside the screen.
    Rgb pixel(int x, int y) const;
    // Writes the whole screen as a PNG; false when it cannot be read or written.
    bool savePng(const std::string& path) const;

private:
    _XDisplay* m_display = nullptr;
};
