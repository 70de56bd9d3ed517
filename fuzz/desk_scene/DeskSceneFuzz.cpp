// libFuzzer target: the desk on the headless back end fed any sequence of server messages,
// touches, button presses, time steps and scene changes. It must never crash, and after every
// step the desk's hand, table rows, layer children and seat map must agree (DeskInvariants.h).
//
// Input (FuzzBytes: bytes past the end read as 0), built so the first bytes steer the run:
//   desk byte, site byte   the first desk, seated as the hall seats one after "add" (a byte
//                          below 200 is that desk, a site byte below 192 is seat byte % 4; the
//                          others pick odd numbers, site outside 0..3 included)
//   records, until the input ends; an opcode byte whose low three bits pick the kind:
//     0 message  a forged server message (MessageForge.h), decoded and queued
//     1 text     u16 length, then as many bytes of raw text, decoded and queued if an object
//     2 touch    phase byte (% 3: began, moved, ended), then a point (pickPoint)
//     3 press    byte % 4: ready, return, pass, play; a tap at the button's centre
//     4 select   count byte (% 16 + 1), then a code byte per tap: the left-most resting hand
//                card of that code, or else hand card (byte % hand size), tapped on its strip
//     5 step     byte % 8: 1, 3 or 6 frames, 0.5, 1, 2, 10 or 31 seconds
//     6 drag     two card bytes: a drag from one hand card to the other across those between
//     7 scene    back to a new hall; with the byte odd, then a new desk (desk byte, site byte)
//   Message and text records with opcode bit 3 clear run the frames until the desk's poll has
//   taken everything queued; with it set they only queue, so messages can pile up. An input
//   queues at most 64 messages (later ones are read and dropped) and steps at most three minutes.
// Each input starts from no desk and an empty queue and ends with both gone again, so a finding
// replays alone.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/Catalogue.h"
#include "engine/backend/headless/Headless.h"
#include "fuzz/desk_scene/DeskInvariants.h"
#include "fuzz/desk_scene/MessageForge.h"
#include "fuzz/support/FuzzBytes.h"
#include "fuzz/support/FuzzCheck.h"
#include "net/CMessageQueue.h"
#include "net/MessageDecoder.h"
#include "scenes/common/CardSprite.h"
#include "scenes/common/SceneFlow.h"
#include "tests/scenes/DeskProbe.h"

using namespace engine;
using fuzzing::require;

namespace {

constexpr int kMaxMessages = 64;      // queued per input
constexpr int kMaxDesks = 4;          // seated per input
constexpr int kMaxFrames = 60 * 180;  // virtual time per input: three minutes
constexpr int kFramesPerPoll = 8;     // the desk polls every 0.1 s (six frames); with a margin
constexpr int kDesignWidth = 1024;
constexpr int kDesignHeight = 768;
constexpr std::array<int, 8> kSteps = {1, 3, 6, 30, 60, 120, 600, 1860};
constexpr std::array<int, 8> kOddDesks = {-1,  2147483647, -2147483647 - 1, 1000000, -2, 200,
                                          255, 65535};
constexpr std::array<int, 4> kOddSites = {-1, 4, 2147483647, -2147483647 - 1};

std::vector<std::string> g_sent;  // what the client sent during the current record

struct Run {
    int frames = 0;                           // frames stepped so far
    int messages = 0;                         // messages queued so far
    int pending = 0;                          // queued and maybe not yet taken
    std::shared_ptr<const stMsg> lastQueued;  // a second owner while the queue or a poll holds it
    int desks = 0;
};

CDeskScene* runningDesk() {
    Scene* scene = Director::getInstance()->getRunningScene();
    if (scene == nullptr || scene->getChildrenCount() != 1) {
        return nullptr;
    }
    return dynamic_cast<CDeskScene*>(scene->getChildren().front());
}

void advance(Run& run, int frames) {
    headless::stepFrames(frames);
    run.frames += frames;
}

// Frames until a poll has taken and handled the last message queued, and so (first in, first out)
// every one before it: one poll each, but no more frames than that needs.
void deliverQueued(Run& run) {
    for (int k = 0; k < run.pending * kFramesPerPoll && run.lastQueued.use_count() > 1; ++k) {
        advance(run, 1);
    }
    run.pending = 0;
    run.lastQueued.reset();
}

// As the hall does after "add": create, seat, show.
void seatDesk(Run& run, FuzzBytes& in) {
    const std::uint8_t deskByte = in.byte();
    const std::uint8_t siteByte = in.byte();
    const int desk = deskByte < 200 ? deskByte : kOddDesks[deskByte % kOddDesks.size()];
    const int site = siteByte < 192 ? siteByte % 4 : kOddSites[siteByte % kOddSites.size()];
    CDeskScene* seated = CDeskScene::create();
    require(seated != nullptr, "a desk can be built");
    seated->setDeskInfo(desk, site, "me");
    require(showLayerInNewScene(seated), "a desk can be shown");
    ++run.desks;
    advance(run, 1);
}

void queueText(Run& run, std::string_view text, bool deliver) {
    auto msg = std::make_shared<stMsg>();
    // Text that is not a JSON object never reaches a scene: the receiver drops it or stops.
    if (run.messages < kMaxMessages && decodeMessage(text, *msg) == DecodeStatus::Ok) {
        run.lastQueued = msg;
        CMessageQueue::getInstance()->pushMsg(std::move(msg));
        ++run.messages;
        ++run.pending;
    }
    if (deliver) {
        deliverQueued(run);
    }
}

const std::vector<CardSprite*>& handOf(CDeskScene* desk) {
    static const std::vector<CardSprite*> none;
    return desk != nullptr ? DeskProbe{*desk}.hand() : none;
}

// The card's left strip, which no card to its right covers, or other spots of it.
Vec2 cardPoint(const CardSprite* card, std::uint8_t variant) {
    const Rect box = card->getBoundingBox();
    switch (variant % 4) {
        case 0:
            return Vec2(box.getMinX() + 9, box.getMidY());
        case 1:
            return Vec2(box.getMidX(), box.getMidY());
        case 2:
            return Vec2(box.getMaxX() - 1, box.getMidY());
        default:  // above the card, around the 30-point reach
            return Vec2(box.getMidX(), box.getMaxY() + static_cast<float>(variant / 4));
    }
}

ui::Button* buttonOf(CDeskScene& desk, std::uint8_t pick) {
    const DeskProbe probe{desk};
    const std::array<ui::Button*, 4> buttons = {probe.ready(), probe.returnButton(), probe.pass(),
                                                probe.play()};
    return buttons[pick % buttons.size()];
}

// A hand card, a button, anywhere in or around the window, or near the hand row.
Vec2 pickPoint(FuzzBytes& in, CDeskScene* desk) {
    const std::vector<CardSprite*>& hand = handOf(desk);
    const std::uint8_t kind = in.byte();
    if (kind % 4 == 0 && !hand.empty()) {
        const CardSprite* card = hand[in.byte() % hand.size()];
        return cardPoint(card, in.byte());
    }
    if (kind % 4 == 1 && desk != nullptr) {
        return buttonOf(*desk, in.byte())->getPosition();
    }
    if (kind % 4 == 2) {
        const float x = static_cast<float>(in.u16() % 1280) - 128;
        const float y = static_cast<float>(in.u16() % 1024) - 128;
        return Vec2(x, y);
    }
    return Vec2(262 + 2.0f * in.byte(), 10 + static_cast<float>(in.byte() % 100));
}

void touch(Run& run, FuzzBytes& in) {
    const std::uint8_t phase = in.byte();
    const Vec2 at = pickPoint(in, runningDesk());
    switch (phase % 3) {
        case 0:
            headless::touchBegin(at.x, at.y);
            break;
        case 1:
            headless::touchMove(at.x, at.y);
            break;
        default:
            headless::touchEnd(at.x, at.y);
            break;
    }
    advance(run, 1);
}

void tapAt(Run& run, const Vec2& at) {
    headless::touchBegin(at.x, at.y);
    headless::touchEnd(at.x, at.y);
    advance(run, 1);
}

void press(Run& run, FuzzBytes& in) {
    const std::uint8_t pick = in.byte();
    if (CDeskScene* desk = runningDesk()) {
        tapAt(run, buttonOf(*desk, pick)->getPosition());
    }
}

void select(Run& run, FuzzBytes& in) {
    const int count = in.byte() % 16 + 1;
    for (int k = 0; k < count; ++k) {
        const std::uint8_t code = in.byte();
        const std::vector<CardSprite*>& hand = handOf(runningDesk());
        if (hand.empty()) {
            continue;
        }
        const CardSprite* chosen = hand[code % hand.size()];
        for (const CardSprite* card : hand) {
            if (card->m_card == code && !card->m_selected) {
                chosen = card;
                break;
            }
        }
        tapAt(run, cardPoint(chosen, 0));
    }
}

void drag(Run& run, FuzzBytes& in) {
    const std::uint8_t from = in.byte();
    const std::uint8_t to = in.byte();
    const std::vector<CardSprite*>& hand = handOf(runningDesk());
    if (hand.empty()) {
        return;
    }
    const std::size_t first = from % hand.size();
    const std::size_t last = to % hand.size();
    const Vec2 start = cardPoint(hand[first], 0);
    headless::touchBegin(start.x, start.y);
    for (std::size_t i = first; i != last;) {
        i = last > first ? i + 1 : i - 1;
        const Vec2 at = cardPoint(hand[i], 0);
        headless::touchMove(at.x, at.y);
    }
    const Vec2 end = cardPoint(hand[last], 0);
    headless::touchEnd(end.x, end.y);
    advance(run, 1);
}

void changeScene(Run& run, FuzzBytes& in) {
    const std::uint8_t how = in.byte();
    require(showLayerInNewScene(CHallScene::create()), "a hall can be shown");
    advance(run, 1);
    if (how % 2 == 1 && run.desks < kMaxDesks) {
        seatDesk(run, in);
    }
}

void record(Run& run, FuzzBytes& in) {
    const std::uint8_t opcode = in.byte();
    const bool deliver = (opcode & 0x08) == 0;
    switch (opcode % 8) {
        case 0:
            queueText(run, forgeMessage(in), deliver);
            break;
        case 1:
            queueText(run, in.take(in.u16()), deliver);
            break;
        case 2:
            touch(run, in);
            break;
        case 3:
            press(run, in);
            break;
        case 4:
            select(run, in);
            break;
        case 5:
            advance(run, std::min(kSteps[in.byte() % kSteps.size()], kMaxFrames - run.frames));
            break;
        case 6:
            drag(run, in);
            break;
        default:
            changeScene(run, in);
            break;
    }
}

void checkAfterRecord() {
    if (CDeskScene* desk = runningDesk()) {
        checkDesk(*desk);
    }
    checkSent(g_sent);
    g_sent.clear();
    headless::clearRecords();
}

// No scene of this input survives it, nor any queued message.
void endRun() {
    Director::getInstance()->replaceScene(Scene::create());
    headless::stepFrames(1);
    while (CMessageQueue::getInstance()->popMsg()) {
    }
    checkSent(g_sent);
    g_sent.clear();
    headless::clearRecords();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Drawing is most of a frame's cost and nothing here reads pixels: a small surface behind the
    // client's 1024 x 768 design size keeps every position and makes frames cheap. Its scale,
    // 1/16, is a power of two, so touch points come back from window pixels exactly.
    headless::install(kDesignWidth / 16, kDesignHeight / 16);
    Director::getInstance()->getOpenGLView()->setDesignResolutionSize(kDesignWidth, kDesignHeight,
                                                                      ResolutionPolicy::NO_BORDER);
    loadCatalogue();
    CMessageQueue::getInstance()->setSendTap(
        [](const std::string& text) { g_sent.push_back(text); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzBytes in(data, size);
    Run run;
    seatDesk(run, in);
    checkAfterRecord();
    while (!in.empty() && run.frames < kMaxFrames) {
        record(run, in);
        checkAfterRecord();
    }
    deliverQueued(run);
    checkAfterRecord();
    endRun();
    return 0;
}
