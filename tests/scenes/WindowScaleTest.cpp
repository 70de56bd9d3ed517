// The design at any window size: uniformly scaled to the largest fit and centred, with bars in
// the table's dark green; touches at the window pixels where buttons and cards are seen hit them;
// from 1.5 x on, every image comes from the double-size set. The expected places are computed
// here from the window's shape, not asked of the view.

#include <cmath>
#include <filesystem>

#include "app/Catalogue.h"
#include "engine/backend/headless/Headless.h"
#include "scenes/common/CSettingsPanel.h"
#include "scenes/common/CardSprite.h"
#include "settings/CSettings.h"
#include "settings/CWindow.h"
#include "tests/kit/PicturePath.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/SceneTestKit.h"

using namespace engine;

namespace {

struct Shape {
    int width;
    int height;
    float contentScale;  // 2 from 1.5 x the design on
    const char* name;
};

const Shape kShapes[] = {
    {1024, 768, 1, "the design size"},
    {1536, 1152, 2, "1.5 x"},
    {2048, 1536, 2, "2 x"},
    {1600, 900, 1, "wide, bars left and right"},
    {900, 1000, 1, "tall and small, bars above and below"},
    {3000, 1200, 2, "very wide at 1.56 x"},
    {640, 480, 1, "the smallest window"},
};

// Where a design point is seen in a window of `shape`: the design scaled by the smaller ratio,
// centred, y turned downward.
Vec2 seenAt(const Shape& shape, const Vec2& design) {
    const float scale = std::min(shape.width / 1024.0f, shape.height / 768.0f);
    const float left = (shape.width - 1024 * scale) / 2;
    const float top = (shape.height - 768 * scale) / 2;
    return Vec2(left + design.x * scale, top + (768 - design.y) * scale);
}

void tapSeen(const Shape& shape, const Vec2& design) {
    const Vec2 at = seenAt(shape, design);
    headless::tapWindow(at.x, at.y);
}

constexpr const char* kAdd = R"({"opt":"add"})";

}  // namespace

class WindowScaleTest : public SceneTest {
protected:
    // The window set up as start-up does, then resized to `shape`.
    void useWindow(const Shape& shape) {
        CWindow::setUp(Director::getInstance()->getOpenGLView());
        headless::resizeWindow(shape.width, shape.height);
        headless::stepFrames(1);
        CWindow::onResized();
    }
};

TEST_F(WindowScaleTest, QuickJoinIsHitWhereItIsSeenAndNotBesideIt) {
    for (const Shape& shape : kShapes) {
        SCOPED_TRACE(shape.name);
        useWindow(shape);
        HallProbe hall{*startHall()};
        takeSent();
        const Rect button = hall.quickJoin()->getBoundingBox();
        tapSeen(shape, Vec2(button.getMaxX() + 4, button.getMidY()));
        tapSeen(shape, Vec2(button.getMidX(), button.getMinY() - 4));
        EXPECT_TRUE(takeSent().empty());
        tapSeen(shape, Vec2(button.getMaxX() - 4, button.getMidY()));
        EXPECT_EQ(takeSent(), std::vector<std::string>{kAdd});
    }
}

TEST_F(WindowScaleTest, AHandCardIsRaisedWhereItIsSeen) {
    for (const Shape& shape : kShapes) {
        SCOPED_TRACE(shape.name);
        useWindow(shape);
        DeskProbe desk{*startDesk(3, 0)};
        feed(R"({"opt":"start","cards":"0,5,9,14,18,23,27,32,36,41"})");
        ASSERT_EQ(desk.hand().size(), 10u);
        // The visible strip of card 4 (the next card covers the rest), near its left edge.
        const Rect card = desk.hand()[4]->getBoundingBox();
        tapSeen(shape, Vec2(card.getMinX() + 6, card.getMinY() + 20));
        EXPECT_EQ(desk.collectRaised(), std::vector<int>{18});
    }
}

TEST_F(WindowScaleTest, ContentScaleAndBarsFollowTheWindow) {
    for (const Shape& shape : kShapes) {
        SCOPED_TRACE(shape.name);
        useWindow(shape);
        startHall();
        headless::stepFrames(1);
        EXPECT_FLOAT_EQ(Director::getInstance()->getContentScaleFactor(), shape.contentScale);
        // The window's corner: bars in the dark green where the design does not reach, the
        // table's own edge (as dark) where it does.
        const DrawColor corner = headless::windowPixelAt(0, 0);
        EXPECT_NEAR(corner.r, 14, 3);
        EXPECT_NEAR(corner.g, 59, 3);
        EXPECT_NEAR(corner.b, 38, 3);
    }
}

TEST_F(WindowScaleTest, AtDoubleSizeEveryFrameCoversTwiceItsRectangleInAnImageTwiceAsLarge) {
    std::map<std::string, int> normalWidths;
    for (const CatalogueFrame& frame : catalogueFrames()) {
        const SpriteFrame* cut = SpriteFrameCache::getInstance()->getSpriteFrameByName(frame.name);
        ASSERT_NE(cut, nullptr) << frame.name;
        ASSERT_NE(cut->getTexture(), nullptr) << frame.name;
        normalWidths[frame.name] = cut->getTexture()->width();
    }
    const size_t normalTextures = Director::getInstance()->getTextureCache()->getTextureCount();
    useWindow(kShapes[2]);
    for (const CatalogueFrame& frame : catalogueFrames()) {
        SCOPED_TRACE(frame.name);
        const SpriteFrame* cut = SpriteFrameCache::getInstance()->getSpriteFrameByName(frame.name);
        EXPECT_EQ(cut->getRect(), Rect(frame.x, frame.y, frame.width, frame.height));
        EXPECT_EQ(cut->getRectInPixels(),
                  Rect(2 * frame.x, 2 * frame.y, 2 * frame.width, 2 * frame.height));
        ASSERT_NE(cut->getTexture(), nullptr);
        EXPECT_EQ(cut->getTexture()->width(), 2 * normalWidths[frame.name]);
        EXPECT_GE(cut->getTexture()->width(), 2 * (frame.x + frame.width));
        EXPECT_GE(cut->getTexture()->height(), 2 * (frame.y + frame.height));
    }
    // Back below 1.5 x the normal images return, and the double-size ones are let go.
    useWindow(kShapes[0]);
    step(0.5);
    for (const auto& [name, width] : normalWidths) {
        const SpriteFrame* cut = SpriteFrameCache::getInstance()->getSpriteFrameByName(name);
        EXPECT_EQ(cut->getRectInPixels(), cut->getRect()) << name;
        EXPECT_EQ(cut->getTexture()->width(), width) << name;
    }
    EXPECT_EQ(Director::getInstance()->getTextureCache()->getTextureCount(), normalTextures);
}

TEST_F(WindowScaleTest, LabelsAreRenderedAtTheRealPixelSize) {
    HallProbe hall{*startHall()};
    const Size atNormal = hall.online()->getContentSize();
    useWindow(kShapes[2]);
    headless::stepFrames(1);
    const Size atDouble = hall.online()->getContentSize();
    // The same size in points (within a rounding of the glyphs), from twice the pixels.
    EXPECT_NEAR(atDouble.width, atNormal.width, 2);
    EXPECT_NEAR(atDouble.height, atNormal.height, 2);
}

// The size kept for the next start is the window's in window coordinates (not its pixels, which
// are twice as many on a display scaled to 200 %), written once a resize has ended: the steps of
// a drag leave the kept size alone.
TEST_F(WindowScaleTest, TheKeptSizeIsInWindowCoordinatesAndWrittenOnceTheResizeEnds) {
    struct Pixels {
        int width;
        int height;
    };
    struct Resize {
        const char* name;
        std::vector<Pixels> drag;  // each step kKeepSizeAfter / 2 after the last
        int pixelsPerPoint;
        float contentScale;
        Size kept;
    };
    const Resize resizes[] = {
        {"a drag at 100 %", {{1100, 800}, {1200, 860}, {1300, 900}}, 1, 1, Size(1300, 900)},
        {"one step at 200 %", {{2048, 1536}}, 2, 2, Size(1024, 768)},
        {"a drag at 200 %", {{1800, 1300}, {1600, 1200}}, 2, 2, Size(800, 600)},
        {"back at 100 %", {{1024, 768}}, 1, 1, Size(1024, 768)},
    };
    CWindow::setUp(Director::getInstance()->getOpenGLView());
    startHall();
    Size kept = CSettings::windowSize();
    for (const Resize& resize : resizes) {
        SCOPED_TRACE(resize.name);
        for (const Pixels& shape : resize.drag) {
            headless::resizeWindow(shape.width, shape.height, resize.pixelsPerPoint);
            headless::stepFrames(1);
            CWindow::onResized();
            step(CWindow::kKeepSizeAfter / 2);
            EXPECT_EQ(CSettings::windowSize(), kept) << "kept during the drag";
        }
        EXPECT_FLOAT_EQ(Director::getInstance()->getContentScaleFactor(), resize.contentScale);
        step(CWindow::kKeepSizeAfter);
        EXPECT_EQ(CSettings::windowSize(), resize.kept);
        UserDefault::destroyInstance();
        EXPECT_EQ(CSettings::windowSize(), resize.kept) << "read again from the file";
        kept = resize.kept;
    }
}

// Pictures for the README: the desk letterboxed in a wide window, and at twice the design size.
TEST_F(WindowScaleTest, DeskPictures) {
    const struct {
        Shape shape;
        const char* file;
    } pictures[] = {{kShapes[3], "desk_1600x900.png"}, {kShapes[2], "desk_2x.png"}};
    for (const auto& picture : pictures) {
        SCOPED_TRACE(picture.file);
        useWindow(picture.shape);
        DeskProbe desk{*startMidGameDesk(true)};
        ASSERT_EQ(desk.collectRaised().size(), 2u);
        const std::string path = picturePath(picture.file);
        ASSERT_TRUE(headless::saveFrame(path));
        EXPECT_GT(std::filesystem::file_size(path), 0u);
    }
}
