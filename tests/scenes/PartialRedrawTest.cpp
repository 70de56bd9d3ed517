// A frame that draws only what changed shows, pixel for pixel, what a frame drawn whole shows:
// a mid-game desk goes through a drag across the hand, a raised card, a play by another seat and
// the countdown's ticks, in windows of several sizes, and after each change the picture is
// compared with the same scene drawn again whole (an exposed window is drawn whole).

#include <string>
#include <vector>

#include "engine/backend/headless/Headless.h"
#include "settings/CWindow.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/SceneTestKit.h"

using namespace engine;

namespace {

struct Window {
    int width;
    int height;
    bool designScale;  // the design drawn at 1 or 2 pixels a point (most calls unscaled)
    const char* name;
};

std::vector<DrawColor> wholeWindow(int width, int height) {
    std::vector<DrawColor> pixels;
    pixels.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.push_back(headless::windowPixelAt(x, y));
        }
    }
    return pixels;
}

// The number of pixels that differ, and the first of them.
size_t countDifferences(const std::vector<DrawColor>& a, const std::vector<DrawColor>& b,
                        int width, std::string& first) {
    size_t count = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i].r != b[i].r || a[i].g != b[i].g || a[i].b != b[i].b || a[i].a != b[i].a) {
            if (count++ == 0) {
                first = std::to_string(i % static_cast<size_t>(width)) + "," +
                        std::to_string(i / static_cast<size_t>(width));
            }
        }
    }
    return count + (a.size() > b.size() ? a.size() - b.size() : b.size() - a.size());
}

}  // namespace

class PartialRedrawTest : public SceneTest {
protected:
    // Compares the frame just drawn with the same scene drawn whole; returns the part of the
    // window drawn since the last comparison (0 when no frame was drawn).
    double expectSameAsWhole(const Window& window, const char* change) {
        SCOPED_TRACE(change);
        const PixelRect drawn = headless::lastDrawnArea();
        const bool anyDrawn = headless::framesDrawn() != m_framesAtWhole;
        const std::vector<DrawColor> partial = wholeWindow(window.width, window.height);
        headless::queueEvent(InputEvent::Type::Exposed);
        headless::stepFrames(1);
        m_framesAtWhole = headless::framesDrawn();
        const PixelRect whole = headless::lastDrawnArea();
        EXPECT_EQ(whole.w * whole.h, static_cast<float>(window.width * window.height));
        std::string first;
        EXPECT_EQ(countDifferences(partial, wholeWindow(window.width, window.height), window.width,
                                   first),
                  0u)
            << "first at " << first;
        return anyDrawn ? drawn.w * drawn.h / static_cast<float>(window.width * window.height) : 0;
    }

    int m_framesAtWhole = -1;
};

TEST_F(PartialRedrawTest, ChangesAtADeskLookAsIfTheWholeWindowWereDrawn) {
    const Window windows[] = {
        {1024, 768, true, "the design size"},
        {2048, 1536, true, "twice the design, double-size images"},
        {1600, 900, false, "scaled by 1.17, bars left and right"},
    };
    for (const Window& window : windows) {
        SCOPED_TRACE(window.name);
        CWindow::setUp(Director::getInstance()->getOpenGLView());
        headless::resizeWindow(window.width, window.height);
        headless::stepFrames(1);
        CWindow::onResized();
        DeskProbe probe{*startMidGameDesk()};
        ASSERT_EQ(probe.hand().size(), 27u);
        headless::stepFrames(1);

        // A drag from the fifth card across four more raises them one frame at a time.
        const Rect fifth = probe.hand()[4]->getBoundingBox();
        headless::touchBegin(fifth.getMinX() + 6, fifth.getMidY());
        headless::stepFrames(1);
        double largest = expectSameAsWhole(window, "the drag's first card");
        for (int card = 5; card < 9; ++card) {
            const Rect box = probe.hand()[static_cast<size_t>(card)]->getBoundingBox();
            headless::touchMove(box.getMinX() + 6, box.getMidY());
            headless::stepFrames(1);
            largest = std::max(largest, expectSameAsWhole(window, "a card further in the drag"));
        }
        headless::touchEnd(probe.hand()[8]->getBoundingBox().getMinX() + 6, fifth.getMidY());
        headless::stepFrames(1);
        largest = std::max(largest, expectSameAsWhole(window, "the drag's end"));
        // The drag's frames each drew a part of the window; in a scaled window every image is
        // stretched, and the part grows to the images it touches.
        EXPECT_GT(largest, 0.0);
        if (window.designScale) {
            EXPECT_LT(largest, 0.25);
        }

        tapCard(probe.hand()[20]);
        expectSameAsWhole(window, "a tapped card raised");
        step(1.0);
        expectSameAsWhole(window, "the countdown ticked");
        feed(gameMessage(0, "", 1, 0));
        expectSameAsWhole(window, "the local seat passed, the next seat's turn");
        feed(gameMessage(1, "24,25", 2, 0, "23", 30));
        expectSameAsWhole(window, "the right seat played a pair");
    }
}
