// Renders the hall and a desk in the middle of a game into the pictures directory, so that a
// person can look at them as a player would.

#include <cstdlib>
#include <filesystem>

#include "cards/CardSprite.h"
#include "engine/backend/headless/Headless.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/SceneTestKit.h"

using namespace engine;

namespace {

std::string picturePath(const std::string& name) {
    const char* dir = std::getenv("DESK_PICTURES_DIR");
    return (std::filesystem::path(dir != nullptr ? dir : ".") / name).string();
}

bool sameColour(DrawColor a, DrawColor b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

}  // namespace

class ScenePicturesTest : public SceneTest {};

TEST_F(ScenePicturesTest, Hall) {
    startHall();
    feed(R"({"opt":"query","online":"128","version":"28"})");
    const std::string path = picturePath("hall.png");
    ASSERT_TRUE(headless::saveFrame(path));
    EXPECT_GT(std::filesystem::file_size(path), 0u);
}

TEST_F(ScenePicturesTest, DeskMidGame) {
    DeskProbe probe{*startMidGameDesk()};
    ASSERT_EQ(probe.collectRaised().size(), 2u);
    ASSERT_TRUE(probe.play()->isVisible());

    const std::string path = picturePath("desk.png");
    ASSERT_TRUE(headless::saveFrame(path));
    // A raised card covers, 25 points higher, what a resting one leaves to the table.
    const CardSprite* raised = probe.hand()[20];
    const CardSprite* resting = probe.hand()[19];
    EXPECT_FALSE(sameColour(headless::pixelAt(raised->getPositionX(), 130),
                            headless::pixelAt(resting->getPositionX() - 60, 130)));
}
