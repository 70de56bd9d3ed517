// The settings button and panel, in the hall and at the desk: each change applies at once and is
// found again after a restart (the settings read afresh from their file); music off means no
// music is asked for; the open panel keeps its touches from the scene; the full-screen switch and
// keys.

#include <filesystem>
#include <functional>

#include "engine/backend/headless/Headless.h"
#include "scenes/common/CSettingsPanel.h"
#include "scenes/common/CardSprite.h"
#include "settings/CSettings.h"
#include "settings/CWindow.h"
#include "tests/kit/PicturePath.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/SceneTestKit.h"

using namespace engine;
using K = EventKeyboard::KeyCode;

namespace {

// The gear of the desk (left of the return button); the hall's is kHallGear.
const Vec2 kDeskGear(932, 738);

Vec2 control(float x, int row) {
    return Vec2(x, CSettingsPanel::rowY(row));
}

int countOf(const std::vector<headless::RecordedSound>& sounds, headless::SoundCall call) {
    int n = 0;
    for (const auto& sound : sounds) {
        n += sound.call == call ? 1 : 0;
    }
    return n;
}

// The panel on the running scene's layer, once the gear has built it; null before.
CSettingsPanel* panelOf(Node* layer) {
    for (Node* child : layer->getChildren()) {
        if (auto* place = dynamic_cast<CLazyPanel<CSettingsPanel>*>(child)) {
            return place->built();
        }
    }
    return nullptr;
}

// A restart as far as the settings go: they are read again from their file.
void restart() {
    UserDefault::destroyInstance();
    CSettings::applyAudio();
}

}  // namespace

class SettingsPanelTest : public SceneTest {};

TEST_F(SettingsPanelTest, TheGearOpensAndClosesThePanel) {
    CHallScene* hall = startHall();
    headless::tap(kHallGear.x, kHallGear.y);
    CSettingsPanel* panel = panelOf(hall);
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isOpen());
    headless::tap(kHallGear.x, kHallGear.y);
    EXPECT_FALSE(panel->isOpen());
    headless::tap(kHallGear.x, kHallGear.y);
    EXPECT_TRUE(panel->isOpen());
    EXPECT_EQ(panelOf(hall), panel) << "the panel built at the first press is kept";
}

TEST_F(SettingsPanelTest, MusicOffStopsItAndNoLaterHallAsksForAnyEvenAfterARestart) {
    startHall();
    EXPECT_EQ(countOf(headless::sounds(), headless::SoundCall::PlayMusic), 1);
    headless::tap(kHallGear.x, kHallGear.y);
    headless::clearRecords();
    const Vec2 music = control(CSettingsPanel::kSwitchX, CSettingsPanel::kMusicRow);
    headless::tap(music.x, music.y);
    EXPECT_EQ(countOf(headless::sounds(), headless::SoundCall::StopMusic), 1);
    EXPECT_FALSE(CSettings::musicOn());

    restart();
    headless::clearRecords();
    startHall();
    EXPECT_FALSE(CSettings::musicOn());
    EXPECT_EQ(countOf(headless::sounds(), headless::SoundCall::PlayMusic), 0);

    // On again in the hall: its music starts at once.
    headless::tap(kHallGear.x, kHallGear.y);
    headless::tap(music.x, music.y);
    EXPECT_EQ(countOf(headless::sounds(), headless::SoundCall::PlayMusic), 1);
}

TEST_F(SettingsPanelTest, AtTheDeskMusicOnWaitsForTheNextHall) {
    startDesk(2, 1);
    CSettings::setMusicOn(false, false);
    headless::tap(kDeskGear.x, kDeskGear.y);
    headless::clearRecords();
    const Vec2 music = control(CSettingsPanel::kSwitchX, CSettingsPanel::kMusicRow);
    headless::tap(music.x, music.y);
    EXPECT_TRUE(CSettings::musicOn());
    EXPECT_EQ(countOf(headless::sounds(), headless::SoundCall::PlayMusic), 0);
}

TEST_F(SettingsPanelTest, EffectsOffPlayNothingAndVolumesStepAndAreKept) {
    startHall();
    headless::tap(kHallGear.x, kHallGear.y);
    const Vec2 effects = control(CSettingsPanel::kSwitchX, CSettingsPanel::kEffectsRow);
    const Vec2 musicDown = control(CSettingsPanel::kMinusX, CSettingsPanel::kMusicVolumeRow);
    const Vec2 effectsDown = control(CSettingsPanel::kMinusX, CSettingsPanel::kEffectsVolumeRow);
    const Vec2 effectsUp = control(CSettingsPanel::kPlusX, CSettingsPanel::kEffectsVolumeRow);
    headless::tap(musicDown.x, musicDown.y);
    headless::tap(musicDown.x, musicDown.y);
    EXPECT_EQ(CSettings::musicVolume(), 3);
    EXPECT_FLOAT_EQ(headless::musicVolume(), 0.6f);
    headless::tap(effectsDown.x, effectsDown.y);
    for (int i = 0; i < 4; ++i) {  // one step past the top is clamped
        headless::tap(effectsDown.x, effectsDown.y);
    }
    EXPECT_EQ(CSettings::effectsVolume(), 1);
    headless::tap(effectsUp.x, effectsUp.y);
    EXPECT_EQ(CSettings::effectsVolume(), 2);

    headless::clearRecords();
    SimpleAudioEngine::getInstance()->playEffect("sound/cp.wav");
    ASSERT_EQ(headless::sounds().size(), 1u);
    EXPECT_FLOAT_EQ(headless::sounds()[0].gain, 0.4f);

    headless::tap(effects.x, effects.y);
    headless::clearRecords();
    SimpleAudioEngine::getInstance()->playEffect("sound/cp.wav");
    EXPECT_TRUE(headless::sounds().empty());

    restart();
    EXPECT_FALSE(CSettings::effectsOn());
    EXPECT_EQ(CSettings::musicVolume(), 3);
    EXPECT_EQ(CSettings::effectsVolume(), 2);
    EXPECT_FLOAT_EQ(SimpleAudioEngine::getInstance()->getEffectsVolume(), 0.0f);
    EXPECT_FLOAT_EQ(headless::musicVolume(), 0.6f);
}

TEST_F(SettingsPanelTest, TheOpenPanelKeepsTouchesAndEscFromTheDesk) {
    DeskProbe desk{*startDesk(3, 0)};
    feed(R"({"opt":"start","cards":"0,5,9,14,18,23,27,32,36,41"})");
    headless::tap(kDeskGear.x, kDeskGear.y);
    CSettingsPanel* panel = panelOf(&desk.desk);
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(panel->isOpen());
    const Rect card = desk.hand()[0]->getBoundingBox();
    headless::tap(card.getMinX() + 6, card.getMidY());  // outside the board: closes only
    EXPECT_FALSE(panel->isOpen());
    EXPECT_TRUE(desk.collectRaised().empty());
    headless::tap(card.getMinX() + 6, card.getMidY());
    EXPECT_EQ(desk.collectRaised(), std::vector<int>{0});

    headless::tap(kDeskGear.x, kDeskGear.y);
    headless::typeKey(K::KEY_ESCAPE);
    EXPECT_FALSE(panel->isOpen());
}

// Every key the desk answers, and the right button, stop at the open panel; once it is closed
// the same input reaches the desk again.
TEST_F(SettingsPanelTest, TheOpenPanelKeepsKeysAndTheRightButtonFromTheDesk) {
    struct Case {
        const char* name;
        bool dealt;  // a game under way on the local turn, a card raised; otherwise before ready
        std::function<void()> input;
    };
    const Case cases[] = {
        {"Enter would play", true, [] { headless::typeKey(K::KEY_ENTER); }},
        {"keypad Enter would play", true, [] { headless::typeKey(K::KEY_KP_ENTER); }},
        {"Backspace would pass", true, [] { headless::typeKey(K::KEY_BACKSPACE); }},
        {"the right button would lower", true, [] { headless::rightClick(300, 300); }},
        {"R would ready", false, [] { headless::typeKey(K::KEY_R); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDeskScene* scene = c.dealt ? dealtDesk("8,12,13") : startDesk(3, 1);
        DeskProbe desk{*scene};
        if (c.dealt) {
            feed(gameMessage(0, "9", 1, 0));
            tapCard(desk.hand().at(1));
        }
        takeSent();
        const std::vector<int> raised = desk.collectRaised();
        headless::tap(kDeskGear.x, kDeskGear.y);
        CSettingsPanel* panel = panelOf(&desk.desk);
        ASSERT_NE(panel, nullptr);
        ASSERT_TRUE(panel->isOpen());
        c.input();
        EXPECT_TRUE(takeSent().empty());
        EXPECT_EQ(desk.collectRaised(), raised);
        EXPECT_TRUE(panel->isOpen());

        headless::tap(kDeskGear.x, kDeskGear.y);
        ASSERT_FALSE(panel->isOpen());
        c.input();
        EXPECT_TRUE(!takeSent().empty() || desk.collectRaised() != raised)
            << "closed, the panel lets the input through";
    }
}

TEST_F(SettingsPanelTest, FullScreenBySwitchAndKeysIsKept) {
    CWindow::listenToKeys();
    startHall();
    headless::tap(kHallGear.x, kHallGear.y);
    const Vec2 full = control(CSettingsPanel::kSwitchX, CSettingsPanel::kFullScreenRow);
    headless::tap(full.x, full.y);
    EXPECT_TRUE(headless::isFullscreen());
    restart();
    EXPECT_TRUE(CSettings::fullScreen());
    headless::tap(kHallGear.x, kHallGear.y);  // closed: while open, Esc only closes the panel

    const struct {
        std::vector<K> press;  // pressed in order, then released in reverse
        bool fullScreen;
    } steps[] = {
        {{K::KEY_F11}, false},
        {{K::KEY_ENTER}, false},  // Enter alone does nothing
        {{K::KEY_LEFT_ALT, K::KEY_ENTER}, true},
        {{K::KEY_ESCAPE}, false},
        {{K::KEY_ESCAPE}, false},  // Esc in a window does nothing
        {{K::KEY_RIGHT_ALT, K::KEY_KP_ENTER}, true},
        {{K::KEY_F11}, false},
    };
    for (const auto& step : steps) {
        for (K key : step.press) {
            headless::keyPress(key);
        }
        for (auto key = step.press.rbegin(); key != step.press.rend(); ++key) {
            headless::keyRelease(*key);
        }
        headless::stepFrames(1);
        EXPECT_EQ(headless::isFullscreen(), step.fullScreen) << static_cast<int>(step.press.back());
        EXPECT_EQ(CSettings::fullScreen(), step.fullScreen);
    }
}

TEST_F(SettingsPanelTest, AltEnterInTheHallIsTheWindowsAndEnterAloneQuickJoins) {
    CWindow::listenToKeys();
    startHall();
    takeSent();
    headless::keyPress(K::KEY_LEFT_ALT);
    headless::typeKey(K::KEY_ENTER);
    headless::keyRelease(K::KEY_LEFT_ALT);
    headless::stepFrames(1);
    EXPECT_TRUE(headless::isFullscreen());
    EXPECT_TRUE(takeSent().empty());
    headless::typeKey(K::KEY_ENTER);
    EXPECT_TRUE(headless::isFullscreen());
    EXPECT_EQ(takeSent(), std::vector<std::string>{R"({"opt":"add"})"});
}

TEST_F(SettingsPanelTest, EscStoppedByTheSceneLeavesFullScreenAlone) {
    CWindow::listenToKeys();
    CHallScene* hall = startHall();
    CWindow::setFullScreen(true);
    auto* lowersCards = EventListenerKeyboard::create();
    lowersCards->onKeyPressed = [](K key, Event* event) {
        if (key == K::KEY_ESCAPE) {
            event->stopPropagation();
        }
    };
    Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(
        lowersCards, hall);
    headless::typeKey(K::KEY_ESCAPE);
    EXPECT_TRUE(headless::isFullscreen());
}

TEST_F(SettingsPanelTest, TheKeptWindowSizeIsAtLeastTheMinimum) {
    const struct {
        int width, height;
        Size kept;
    } table[] = {
        {1600, 900, Size(1600, 900)},
        {640, 480, Size(640, 480)},
        {100, 2000, Size(640, 2000)},
        {-5, 0, Size(640, 480)},
    };
    EXPECT_EQ(CSettings::windowSize(), Size(1024, 768));  // nothing kept yet
    for (const auto& row : table) {
        CSettings::setWindowSize(row.width, row.height);
        restart();
        EXPECT_EQ(CSettings::windowSize(), row.kept) << row.width << " x " << row.height;
    }
}

TEST_F(SettingsPanelTest, PanelPicture) {
    startMidGameDesk();
    headless::tap(kDeskGear.x, kDeskGear.y);
    const std::string path = picturePath("settings_panel.png");
    ASSERT_TRUE(headless::saveFrame(path));
    EXPECT_GT(std::filesystem::file_size(path), 0u);
}

// The server row: a well-formed address or an empty field is kept when the panel closes (or on
// Enter), found again after a restart; anything else is refused in the panel and keeps nothing.
TEST_F(SettingsPanelTest, TheServerRowKeepsOnlyWellFormedAddresses) {
    startHall();
    const struct {
        const char* typed;
        const char* kept;  // what the settings hold afterwards
    } rows[] = {
        {"192.168.1.20:10000", "192.168.1.20:10000"},
        {"not an address", "192.168.1.20:10000"},
        {"game.lan", "game.lan"},
        {"", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        headless::tap(kHallGear.x, kHallGear.y);
        const Vec2 field = control(570, CSettingsPanel::kServerRow);
        headless::tap(field.x, field.y);
        for (std::size_t i = 0; i < CSettings::serverAddress().size(); ++i) {
            headless::typeKey(K::KEY_BACKSPACE);
        }
        headless::typeText(row.typed);
        headless::typeKey(K::KEY_ESCAPE);
        restart();
        EXPECT_EQ(CSettings::serverAddress(), row.kept);
    }
}
