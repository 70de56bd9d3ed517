// The client against a misbehaving server: a long seeded mix of valid and broken messages and a
// broken end of the link, a burst of 10,000 messages, a burst of the largest frames, and a name
// of a megabyte. The process survives, shows exactly the boxes a player should see, its scenes
// stay whole (under the reconnect panel once the link has ended), and its memory stays bounded.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <thread>

#include "cards/CardCode.h"
#include "engine/Engine.h"
#include "engine/backend/headless/Headless.h"
#include "net/CMessageQueue.h"
#include "scenes/common/CardSprite.h"
#include "server/protocol/ServerMessages.h"
#include "tests/hostile/HostileClient.h"
#include "tests/scenes/DeskProbe.h"
#include "wire/Framing.h"

using namespace engine;

void PrintTo(const ShownBox& box, std::ostream* out) {
    *out << box.text << " / " << box.title;
}

namespace {

const Vec2 kReadyButton(512, 170);
const Vec2 kQuickJoinButton(512, 384);

Node* runningLayer() {
    Scene* scene = Director::getInstance()->getRunningScene();
    return scene != nullptr && scene->getChildrenCount() == 1 ? scene->getChildren().front()
                                                              : nullptr;
}

std::string framed(const std::string& text) {
    std::string out;
    framing::appendFrame(out, text);
    return out;
}

// The codes the desk led by itself when a turn ran out, from the texts it sent after the last
// query (every hall queries when it opens, so these all come from the desk now running).
std::vector<int> ledSinceLastHall(const std::vector<std::string>& sent) {
    std::vector<int> led;
    for (const std::string& text : sent) {
        if (text == R"({"opt":"query"})") {
            led.clear();
            continue;
        }
        const std::size_t at = text.find(R"("cards":")");
        if (text.rfind(R"({"opt":"game")", 0) == 0 && at != std::string::npos) {
            const std::size_t from = at + 9;
            const std::vector<int> codes =
                parseCardList(std::string_view(text).substr(from, text.find('"', from) - from));
            led.insert(led.end(), codes.begin(), codes.end());
        }
    }
    return led;
}

// Removes one of each of `taken` from `codes`.
std::vector<int> without(std::vector<int> codes, const std::vector<int>& taken) {
    for (int code : taken) {
        const auto it = std::find(codes.begin(), codes.end(), code);
        if (it != codes.end()) {
            codes.erase(it);
        }
    }
    return codes;
}

}  // namespace

// ---- A seeded mix, each way of ending the link ------------------------------------------------

struct MixCase {
    std::uint32_t seed;
    StreamEnd end;
};

void PrintTo(const MixCase& c, std::ostream* out) {
    *out << c.seed << streamEndName(c.end);
}

class HostileMixTest : public HostileClient, public ::testing::WithParamInterface<MixCase> {
protected:
    // Every card the desk holds is its child, once, and the desk holds no other card.
    static void expectCardsAttached(DeskProbe& probe) {
        std::vector<const Node*> held(probe.hand().begin(), probe.hand().end());
        for (const auto& [site, seat] : probe.siteMap()) {
            held.insert(held.end(), seat->played.begin(), seat->played.end());
            for (const CardSprite* card : seat->played) {
                EXPECT_EQ(card->getPositionY(), static_cast<float>(seat->play_y)) << site;
            }
        }
        std::vector<const Node*> children;
        for (const Node* child : probe.desk.getChildren()) {
            if (dynamic_cast<const CardSprite*>(child) != nullptr) {
                children.push_back(child);
            }
        }
        std::sort(held.begin(), held.end());
        std::sort(children.begin(), children.end());
        EXPECT_EQ(held, children);
        for (const CardSprite* card : probe.hand()) {
            EXPECT_EQ(card->getPositionY(), 45.0f);
        }
    }

    // Every script ends the link, so the running scene is under the reconnect panel: a press on
    // one of the scene's buttons at `point` sends nothing (the server lets no reconnect in).
    void expectPanelKeepsTheSceneQuiet(const Vec2& point) {
        const CReconnectPanel* panel = reconnectPanelOf(runningLayer());
        ASSERT_NE(panel, nullptr);
        EXPECT_TRUE(panel->isVisible());
        const std::size_t sent = m_server.received().size();
        headless::tap(point.x, point.y);
        headless::step(1);
        EXPECT_EQ(m_server.received().size(), sent);
    }
};

TEST_P(HostileMixTest, ShowsTheRightBoxesAndKeepsWorking) {
    const MixCase& mix = GetParam();
    const HostileScript script = makeHostileScript(mix.seed, 120 + mix.seed * 37 % 120, mix.end);
    std::printf("seed %u, %s: %zu frames, %zu bytes;", mix.seed, streamEndName(mix.end),
                script.frames, script.bytes.size());
    for (const auto& [kind, count] : script.kinds) {
        std::printf(" %s %d,", kind.c_str(), count);
    }
    std::printf(" %zu scene boxes, ends at the %s\n", script.sceneBoxes.size(),
                script.atDesk ? "desk" : "hall");

    m_server.play(script.bytes, script.endOfStream ? ScriptedServer::Ending::HalfClose
                                                   : ScriptedServer::Ending::KeepOpen);
    // The receiver reads the whole script long before the scenes have taken it.
    ASSERT_TRUE(waitFor([&] { return linkBoxes().size() >= script.linkBoxes.size(); }))
        << linkBoxes().size() << " link boxes";
    ASSERT_TRUE(drainThroughScenes(script.frames * 0.1 + 10));

    EXPECT_EQ(linkBoxes(), script.linkBoxes);
    EXPECT_EQ(sceneBoxes(), script.sceneBoxes);

    if (script.atDesk) {
        auto* desk = dynamic_cast<CDeskScene*>(runningLayer());
        ASSERT_NE(desk, nullptr) << "the desk runs";
        DeskProbe probe{*desk};
        EXPECT_EQ(probe.mySite(), script.site);
        ASSERT_EQ(probe.siteMap().size(), 4u);
        for (int p = 0; p < 4; ++p) {
            EXPECT_EQ(probe.seats()[static_cast<std::size_t>(p)],
                      probe.siteMap().at((script.site + p) % 4));
        }
        EXPECT_TRUE(probe.turnSite() >= -1 && probe.turnSite() < 4) << probe.turnSite();
        expectCardsAttached(probe);
        // The hand is the last deal, sorted, but for the cards the desk led by itself when its
        // turn ran out (some perhaps before that deal) and those the server played for the seat.
        std::vector<int> hand;
        for (const CardSprite* card : probe.hand()) {
            hand.push_back(card->m_card);
        }
        EXPECT_TRUE(std::is_sorted(hand.begin(), hand.end()));
        EXPECT_TRUE(without(hand, script.dealt).empty()) << "a card that was not dealt";
        EXPECT_TRUE(waitFor([&] {
            return script.dealt.size() - hand.size() <=
                   ledSinceLastHall(m_server.received()).size() + script.playedForSeat.size();
        })) << hand.size()
            << " cards in hand, " << script.dealt.size() << " dealt";

        expectPanelKeepsTheSceneQuiet(kReadyButton);
        EXPECT_TRUE(probe.ready()->isVisible()) << "the press never reached the desk";
    } else {
        auto* hall = dynamic_cast<CHallScene*>(runningLayer());
        ASSERT_NE(hall, nullptr) << "a hall runs";
        HallProbe probe{*hall};
        EXPECT_EQ(probe.online()->getString(), script.onlineText);
        expectPanelKeepsTheSceneQuiet(kQuickJoinButton);
        EXPECT_TRUE(probe.quickJoin()->isEnabled()) << "the press never reached the hall";
    }
    headless::step(2);
    EXPECT_EQ(linkBoxes(), script.linkBoxes) << "nothing after the end of the link is read";
    EXPECT_EQ(sceneBoxes(), script.sceneBoxes);
}

std::vector<MixCase> mixCases() {
    std::vector<MixCase> cases;
    for (std::uint32_t seed = 1; seed <= 2 * kStreamEnds; ++seed) {
        cases.push_back({seed, static_cast<StreamEnd>(seed % kStreamEnds)});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Seeds, HostileMixTest, ::testing::ValuesIn(mixCases()),
                         [](const auto& info) {
                             return "Seed" + std::to_string(info.param.seed) +
                                    streamEndName(info.param.end);
                         });

// ---- Bursts: the queue's bounds hold, nothing is lost, and memory stays bounded ----------------

namespace {

// The sequence number a burst message carries in its first text field.
int sequenceOf(const stMsg& msg) {
    return std::atoi(msg.opt == "score" ? msg.p0.c_str() : msg.info[0].name.c_str());
}

// Samples the peak resident memory while `done` does not hold yet.
struct PeakWatch {
    std::size_t baseKiB = residentKiB("VmRSS");
    std::size_t growthKiB() const {
        const std::size_t peak = residentKiB("VmHWM");
        return peak > baseKiB ? peak - baseKiB : 0;
    }
};

}  // namespace

TEST_F(HostileClient, TenThousandMessagesInOneBurstWaitWithinTheQueueBound) {
    CMessageQueue* queue = CMessageQueue::getInstance();
    constexpr int kBurst = 10000;
    std::string stream = framed(server::addMessage(7, 1, "me"));
    for (int i = 0; i < kBurst; ++i) {
        // What a game sends most, each carrying its place in the burst.
        const std::string seq = std::to_string(i);
        stream +=
            framed(i % 2 == 0 ? server::scoreMessage(i, 0)
                              : server::changeMessage({{{seq, 1}, {"b", 0}, {"", 0}, {"d", 1}}}));
    }
    resetPeakResident();
    const PeakWatch watch;
    m_server.play(stream, ScriptedServer::Ending::HalfClose);

    ASSERT_TRUE(waitFor([&] { return queue->queuedCount() == CMessageQueue::kMaxQueued; }));
    headless::step(0.3);  // the hall takes the seating; the desk runs
    ASSERT_NE(dynamic_cast<CDeskScene*>(runningLayer()), nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_LE(queue->queuedCount(), CMessageQueue::kMaxQueued);
    EXPECT_FALSE(m_server.finished() && !linkBoxes().empty()) << "the receiver read on";

    // The desk keeps taking one per poll and the receiver refills the room it leaves.
    headless::step(2);
    ASSERT_TRUE(waitFor([&] { return queue->queuedCount() == CMessageQueue::kMaxQueued; }));

    // The rest, straight from the queue: every message, in order, none twice.
    std::shared_ptr<stMsg> msg = queue->popMsg();
    ASSERT_NE(msg, nullptr);
    int next = sequenceOf(*msg);
    EXPECT_GT(next, 0) << "the desk took the first ones";
    ++next;
    ASSERT_TRUE(waitFor([&] {
        while ((msg = queue->popMsg()) != nullptr) {
            EXPECT_EQ(sequenceOf(*msg), next);
            ++next;
        }
        return next == kBurst && linkBoxes().size() == 1;
    })) << next;
    const std::size_t growth = watch.growthKiB();
    std::printf("10,000-message burst: peak resident growth %zu KiB (base %zu KiB)\n", growth,
                watch.baseKiB);
    RecordProperty("burst_peak_growth_kib", static_cast<int>(growth));
    EXPECT_LT(growth, std::size_t{128} << 10);

    EXPECT_EQ(linkBoxes(), (std::vector<ShownBox>{kReceiveFailedBox}));
    EXPECT_TRUE(sceneBoxes().empty());
}

TEST_F(HostileClient, BurstOfLargestFramesStaysWithinTheByteBudget) {
    CMessageQueue* queue = CMessageQueue::getInstance();
    constexpr int kFrames = 64;
    const std::size_t nameBytes = framing::kMaxFrameBytes - 64;
    std::string stream;
    for (int i = 0; i < kFrames; ++i) {
        // A seating answer the hall would act on, each carrying its place as its name's start.
        std::string name = std::to_string(i) + ":";
        name.resize(nameBytes, 'n');
        stream += framed(server::addMessage(i, -1, name));
    }
    resetPeakResident();
    const PeakWatch watch;
    m_server.play(std::move(stream), ScriptedServer::Ending::HalfClose);

    // The receiver fills the queue as far as the budget lets it, then waits.
    std::size_t written = 0;
    ASSERT_TRUE(waitFor([&] {
        const std::size_t now = m_server.written();
        const bool still = now == written && queue->queuedCount() > 0;
        written = now;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return still;
    }));
    const std::size_t heldBytes = queue->queuedTextBytes();
    const std::size_t growth = watch.growthKiB();
    std::printf(
        "%d frames of 1 MiB: %zu records (%zu KiB of text) held, peak resident growth %zu "
        "KiB (base %zu KiB)\n",
        kFrames, queue->queuedCount(), heldBytes >> 10, growth, watch.baseKiB);
    RecordProperty("large_frames_peak_growth_kib", static_cast<int>(growth));
    EXPECT_LE(heldBytes, CMessageQueue::kMaxQueuedTextBytes);
    // Generous: a sanitizer's shadow memory adds several times what the queue holds.
    EXPECT_LT(growth, std::size_t{48} << 10);

    // Nothing is lost: every frame arrives, in order, as the queue is emptied.
    int next = 0;
    ASSERT_TRUE(waitFor(
        [&] {
            while (std::shared_ptr<stMsg> msg = queue->popMsg()) {
                EXPECT_EQ(std::atoi(msg->name.c_str()), next);
                EXPECT_EQ(msg->name.size(), nameBytes);
                ++next;
            }
            return next == kFrames && linkBoxes().size() == 1;
        },
        std::chrono::seconds(60)))
        << next;
    EXPECT_EQ(linkBoxes(), (std::vector<ShownBox>{kReceiveFailedBox}));
    EXPECT_TRUE(sceneBoxes().empty());
}

// ---- Texts shown as received ------------------------------------------------------------------

TEST_F(HostileClient, NameOfAMegabyteIsShownCutToWhatFitsWithinBoundedMemory) {
    const std::string name(framing::kMaxFrameBytes - 200, 'n');
    m_server.play(framed(server::addMessage(1, 0, "me")) +
                      framed(server::changeMessage({{{name, 1}, {"b", 0}, {"", 0}, {"d", 1}}})),
                  ScriptedServer::Ending::KeepOpen);
    ASSERT_TRUE(waitFor([] { return CMessageQueue::getInstance()->queuedCount() == 2; }));
    resetPeakResident();
    const PeakWatch watch;
    headless::step(0.3);  // the hall seats the client, the desk takes the names

    auto* desk = dynamic_cast<CDeskScene*>(runningLayer());
    ASSERT_NE(desk, nullptr);
    const Label* label = DeskProbe{*desk}.seat(0).name_label;
    EXPECT_EQ(label->getString(), name) << "the text itself is kept as received";
    EXPECT_GT(label->getContentSize().width, 1024.0f) << "shown across the whole screen";
    EXPECT_LE(label->getContentSize().width, 8192.0f);
    const std::size_t growth = watch.growthKiB();
    std::printf("a 1 MiB name at the desk: peak resident growth %zu KiB\n", growth);
    RecordProperty("huge_name_peak_growth_kib", static_cast<int>(growth));
    // Generous (a new desk, sanitizers' shadow memory); rendered whole it took over a gigabyte.
    EXPECT_LT(growth, std::size_t{256} << 10);
    EXPECT_TRUE(sceneBoxes().empty());
}
