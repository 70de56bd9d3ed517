#pragma once
// Shared set-up for the scene tests: the headless back end with the catalogue loaded, sent texts
// captured instead of written to a socket, server messages queued from their JSON text, and a
// hall or a desk running as the director's scene.

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Engine.h"
#include "scenes/common/CardSprite.h"
#include "scenes/desk/CDeskScene.h"
#include "scenes/hall/CHallScene.h"

// The hall's settings gear (top left), as a tap finds it.
inline const engine::Vec2 kHallGear(32, 736);

// The codes of a row of cards (the hand, a seat's played cards), in order.
std::vector<int> codesOf(const std::vector<CardSprite*>& cards);

// The server's "game" message: seat `per` played `cards` ("" for a pass) and has `surplus` left;
// seat `now` moves next, opening a new lead when `must` is 1.
std::string gameMessage(int per, const std::string& cards, int now, int must,
                        const std::string& surplus = "20", int score = 0);

// The server's "change": the seats named as given ("" a free seat), nobody ready.
std::string changeMessage(const std::array<const char*, 4>& names);

class SceneTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Queues a server message given as the JSON text the server would send.
    static void push(std::string_view json);
    // Queues it and runs frames until the scene's poll has taken it.
    static void feed(std::string_view json);
    static void step(double seconds);
    // Runs frames one at a time until `done` holds; false when `maxSeconds` pass first.
    static bool stepUntil(const std::function<bool()>& done, double maxSeconds);
    // The same with a real link: each frame also leaves a millisecond of real time to the socket
    // and the receiver thread. `seconds` counts virtual time.
    static bool framesUntil(const std::function<bool()>& done, double seconds);

    // Shows a new hall (the first one as start-up does) and runs one frame.
    CHallScene* startHall();
    // A desk seated at `desk`, `site` through the hall's own "add" handling; records cleared.
    CDeskScene* startDesk(int desk, int site, const std::string& name = "me");
    // Desk 3, seat 1, with `hand` dealt after the ready press; nothing sent or recorded yet.
    CDeskScene* dealtDesk(const std::string& hand);
    // A tap on the hand card's uncovered left strip, which toggles that card alone.
    static void tapCard(const CardSprite* card);

    // Desk 12, seat 0, 27 cards dealt; the right seat played a pair of sixes, the top one passed,
    // the left one played a pair of nines, and the local turn has begun. With `queensRaised` the
    // two queens (hand cards 20 and 21) are raised and the countdown has run for 4.2 s.
    CDeskScene* startMidGameDesk(bool queensRaised = false);

    // The only child of the running scene, when it is a T.
    static CHallScene* runningHall();
    static CDeskScene* runningDesk();

    // Texts sent since the last call, then forgotten.
    std::vector<std::string> takeSent();

    std::vector<std::string> m_sent;
};
