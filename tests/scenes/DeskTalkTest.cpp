// Table talk at the desk as a player meets it: the 聊天 button only where the server's hello
// offered talk, the panel's keys and emotes sending their index at the player's rate, a received
// talk's bubble by the speaker's seat for three seconds with a soft sound, and the 屏蔽 toggle
// by a name that keeps that player's bubbles away for the rest of the session.

#include <algorithm>
#include <cmath>

#include "engine/backend/headless/Headless.h"
#include "models/desk/TableTalk.h"
#include "tests/scenes/DeskProbe.h"
#include "tests/scenes/SceneTestKit.h"

using namespace engine;
using K = EventKeyboard::KeyCode;

namespace {

using Strings = std::vector<std::string>;

const char* const kTalkHello = R"({"opt":"hello","status":"ok","resume":"0","talk":"1"})";
const char* const kNames =
    R"({"opt":"change","info":[{"name":"ann","ready":"0"},{"name":"me","ready":"0"},)"
    R"({"name":"bob","ready":"0"},{"name":"cat","ready":"0"}]})";

std::string talk(int site, int say) {
    return R"({"opt":"talk","site":")" + std::to_string(site) + R"(","say":")" +
           std::to_string(say) + R"("})";
}

std::string sent(int say) {
    return R"({"opt":"talk","desk":3,"site":1,"say":)" + std::to_string(say) + "}";
}

int count(const Strings& list, const std::string& item) {
    return static_cast<int>(std::count(list.begin(), list.end(), item));
}

float distance(const Vec2& a, const Vec2& b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

}  // namespace

class DeskTalkTest : public SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        TalkMutes::session().clear();
    }
    // Desk 3, seat 1 ("me"), the others named, after the hello `hello`.
    DeskProbe seated(const char* hello = kTalkHello) {
        CDeskScene* desk = startDesk(3, 1);
        feed(hello);
        feed(kNames);
        takeSent();
        headless::clearRecords();
        return DeskProbe{*desk};
    }
    static void tapAt(const Vec2& at) { headless::tap(at.x, at.y); }
    static void openPanel(const DeskProbe& probe) {
        tapAt(probe.talkButton()->getPosition());
        ASSERT_TRUE(probe.talkPanel()->isOpen());
    }
};

TEST_F(DeskTalkTest, TheButtonAndTheTogglesOnlyWhereTheHelloOfferedTalk) {
    struct Row {
        const char* hello;
        bool offered;
    };
    const Row rows[] = {
        {kTalkHello, true},
        {R"({"opt":"hello","status":"ok","resume":"0"})", false},  // an older server
        {R"({"opt":"hello","status":"ok","resume":"0","talk":"0"})", false},
        {R"({"opt":"hello","status":"refused","reason":"bad token","talk":"1"})", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.hello);
        DeskProbe probe = seated(row.hello);
        EXPECT_EQ(probe.talkButton()->isVisible(), row.offered);
        EXPECT_FALSE(probe.muteTag(0)->isVisible()) << "never by the player's own name";
        for (int position = 1; position < 4; ++position) {
            EXPECT_EQ(probe.muteTag(position)->isVisible(), row.offered);
        }
        tapAt(probe.talkButton()->getPosition());
        EXPECT_EQ(probe.talkPanel()->isOpen(), row.offered);
        headless::typeKey(K::KEY_1);
        probe.desk.sendTalk(kSayWellPlayed);
        EXPECT_EQ(takeSent(), row.offered ? Strings{sent(0)} : Strings{});
    }
}

TEST_F(DeskTalkTest, KeysOneToEightAndTheEmotesSendTheirIndexAndClose) {
    DeskProbe probe = seated();
    tapAt(probe.talkButton()->getPosition());
    headless::typeKey(K::KEY_ESCAPE);
    EXPECT_FALSE(probe.talkPanel()->isOpen()) << "Esc closes";
    headless::typeKey(K::KEY_1);
    EXPECT_TRUE(takeSent().empty()) << "the keys act only while the panel is open";

    const K keys[] = {K::KEY_1, K::KEY_2, K::KEY_3, K::KEY_4,
                      K::KEY_5, K::KEY_6, K::KEY_7, K::KEY_8};
    for (int index = 0; index < kTalkPhrases; ++index) {
        SCOPED_TRACE(index);
        openPanel(probe);
        headless::typeKey(keys[index]);
        EXPECT_EQ(takeSent(), Strings{sent(index)});
        EXPECT_FALSE(probe.talkPanel()->isOpen());
        step(kTalkEveryMillis / 1000.0);
    }
    // The emotes' row along the board's bottom, 70 apart from x 60, at y 48.
    for (int emote = 0; emote < kTalkEmotes; ++emote) {
        SCOPED_TRACE(emote);
        openPanel(probe);
        tapAt(probe.talkPanel()->built()->getPosition() + Vec2(60 + 70.0f * emote, 48));
        EXPECT_EQ(takeSent(), Strings{sent(kTalkPhrases + emote)});
        step(kTalkEveryMillis / 1000.0);
    }
    // The player's own rate: one talk in three seconds.
    openPanel(probe);
    headless::typeKey(K::KEY_2);
    step(kTalkEveryMillis / 1000.0 - 0.2);
    openPanel(probe);
    headless::typeKey(K::KEY_3);
    step(0.2);
    openPanel(probe);
    headless::typeKey(K::KEY_4);
    EXPECT_EQ(takeSent(), (Strings{sent(1), sent(3)}));
}

TEST_F(DeskTalkTest, AReceivedTalkShowsByTheSpeakersSeatForThreeSeconds) {
    struct Row {
        int site;
        int say;
        int position;  // -1: nothing shows
    };
    // The player sits at seat 1: seat 1 is the bottom (0), 2 the right, 3 the top, 0 the left.
    const Row rows[] = {
        {1, 0, 0},  {2, 7, 1},   {3, kEmoteCool, 2}, {0, kEmoteSmile, 3},
        {4, 0, -1}, {-1, 0, -1}, {2, 14, -1},        {2, -1, -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(talk(row.site, row.say));
        DeskProbe probe = seated();
        feed(talk(row.site, row.say));
        for (int position = 0; position < 4; ++position) {
            EXPECT_EQ(probe.talkBubble(position)->showing(), position == row.position) << position;
        }
        EXPECT_EQ(count(headless::effectsPlayed(), "sound/talk.wav"), row.position >= 0 ? 1 : 0);
        if (row.position < 0) {
            continue;
        }
        CTalkBubble* bubble = probe.talkBubble(row.position);
        EXPECT_EQ(bubble->said(), row.say);
        // By its own seat: nearer that seat's name than any other's.
        const Vec2 at = bubble->getPosition();
        const float own = distance(at, probe.seat(row.site).name_label->getPosition());
        for (int site = 0; site < 4; ++site) {
            if (site != row.site) {
                EXPECT_LT(own, distance(at, probe.seat(site).name_label->getPosition())) << site;
            }
        }
        step(kTalkBubbleSeconds - 0.2);
        EXPECT_TRUE(bubble->showing());
        feed(talk(row.site, row.say));  // a new talk counts its three seconds from now
        step(kTalkBubbleSeconds - 0.2);
        EXPECT_TRUE(bubble->showing());
        step(0.4);
        EXPECT_FALSE(bubble->showing());
    }
}

TEST_F(DeskTalkTest, TheToggleByANameMutesThatPlayerForTheSession) {
    DeskProbe probe = seated();
    Label* bobTag = probe.muteTag(1);  // bob sits at seat 2, on the right
    EXPECT_EQ(bobTag->getString(), "屏蔽");
    feed(talk(2, 1));
    ASSERT_TRUE(probe.talkBubble(1)->showing());

    tapAt(bobTag->getPosition() - Vec2(bobTag->getContentSize().width / 2, 0));
    EXPECT_EQ(bobTag->getString(), "已屏蔽");
    EXPECT_FALSE(probe.talkBubble(1)->showing()) << "a shown bubble goes at once";
    headless::clearRecords();
    feed(talk(2, 1));
    feed(talk(3, 2));
    EXPECT_FALSE(probe.talkBubble(1)->showing());
    EXPECT_TRUE(probe.talkBubble(2)->showing()) << "the others still talk";
    EXPECT_EQ(count(headless::effectsPlayed(), "sound/talk.wav"), 1) << "a muted talk is silent";
    EXPECT_TRUE(takeSent().empty());

    // Another desk of the same session: bob is still muted, wherever he sits.
    DeskProbe next = seated();
    feed(R"({"opt":"change","info":[{"name":"bob","ready":"0"},{"name":"me","ready":"0"},)"
         R"({"name":"ann","ready":"0"},{"name":"","ready":"0"}]})");
    EXPECT_EQ(next.muteTag(3)->getString(), "已屏蔽");
    EXPECT_FALSE(next.muteTag(2)->isVisible()) << "a free seat has no toggle";
    feed(talk(0, 5));
    EXPECT_FALSE(next.talkBubble(3)->showing());

    Label* tag = next.muteTag(3);
    tapAt(tag->getPosition() - Vec2(tag->getContentSize().width / 2, 0));
    EXPECT_EQ(tag->getString(), "屏蔽");
    feed(talk(0, 5));
    EXPECT_TRUE(next.talkBubble(3)->showing());
}
