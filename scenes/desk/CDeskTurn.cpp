#include "scenes/desk/CDeskTurn.h"

#include <algorithm>
#include <cmath>

#include "scenes/common/SceneWidgets.h"

using namespace engine;

namespace {

// The countdown timer fires once a second and reports the time that really passed: about one
// second, or the whole of a stall (a modal box, a busy machine) at once. It moves the count on by
// every whole second, and by at least one, since frame timing may report a hair under a second.
int wholeSecondsIn(float passed) {
    return std::max(1, static_cast<int>(std::floor(passed + 0.01f)));
}

// The local countdown warns on 8, 6, 4, 2 and 0: true when counting from `from` down to `to`
// reaches one of them (once, however many a stall skipped).
bool reachesWarning(int from, int to) {
    for (int second = std::max(to, 0); second < from; ++second) {
        if (second < 10 && second % 2 == 0) {
            return true;
        }
    }
    return false;
}

// The last seconds of the local countdown tick softly, once each: 5, 4, 3, 2 and 1. True when
// counting from `from` down to `to` reaches one of them (once, however many a stall skipped).
constexpr int kLastSeconds = 5;
bool reachesLastSeconds(int from, int to) {
    return std::max(to, 1) <= std::min(from - 1, kLastSeconds);
}

ui::Button* addTurnButton(Node& layer, const std::string& normal, const std::string& pressed,
                          float x, const CDeskTurn::OnButton& onButton) {
    ui::Button* button = makeImageButton(normal, pressed);
    if (button != nullptr) {
        button->setPosition(Vec2(Director::getInstance()->getVisibleSize().width / 2 + x, 170));
        button->setScale(0.8f);
        button->addTouchEventListener(onButton);
        layer.addChild(button, 2);
    }
    return button;
}

}  // namespace

std::unique_ptr<CDeskTurn> CDeskTurn::create(Node& layer, const Host& host) {
    std::unique_ptr<CDeskTurn> turn(new CDeskTurn());
    turn->m_btnPlay = addTurnButton(layer, "put.png", "put_press.png", -100, host.play);
    turn->m_btnPass = addTurnButton(layer, "noput.png", "noput_press.png", 100, host.pass);
    turn->m_btnReady = addTurnButton(layer, "ready.png", "ready_press.png", 0, host.ready);
    if (turn->m_btnPlay == nullptr || turn->m_btnPass == nullptr || turn->m_btnReady == nullptr) {
        return nullptr;
    }
    turn->m_btnPlay->setVisible(false);
    turn->m_btnPlay->setEnabled(true);
    turn->m_btnPass->setVisible(false);
    turn->m_btnPass->setEnabled(true);
    return turn;
}

void CDeskTurn::offer(bool passOffered) {
    m_btnPass->setVisible(passOffered);
    m_btnPass->setEnabled(passOffered);
    m_btnPlay->setVisible(true);
    m_btnPlay->setEnabled(true);
}

void CDeskTurn::withdraw() {
    m_btnPass->setVisible(false);
    m_btnPass->setEnabled(false);
    m_btnPlay->setVisible(false);
    m_btnPlay->setEnabled(false);
}

void CDeskTurn::hide() {
    m_btnPass->setVisible(false);
    m_btnPlay->setVisible(false);
}

void CDeskTurn::showReady(bool shown) {
    m_btnReady->setVisible(shown);
    m_btnReady->setEnabled(shown);
}

void CDeskTurn::start(int site, int seconds, st_player_info& seat) {
    m_site = site;
    resume(seconds, seat);
    seat.countdown->setVisible(true);
}

void CDeskTurn::resume(int seconds, st_player_info& seat) {
    m_secondsLeft = seconds;
    seat.countdown->setString(std::to_string(m_secondsLeft));
}

bool CDeskTurn::tick(float passed, bool owned, st_player_info& seat) {
    const int before = m_secondsLeft;
    m_secondsLeft -= wholeSecondsIn(passed);
    if (!owned) {
        // The digit atlas has no minus sign: another seat's countdown rests at "0" until the
        // server moves the turn on. So does the local one while the server plays the seat, and
        // the one a spectator watches.
        m_secondsLeft = std::max(m_secondsLeft, 0);
        seat.countdown->setString(std::to_string(m_secondsLeft));
        return false;
    }
    m_secondsLeft = std::max(m_secondsLeft, -1);
    seat.countdown->setString(std::to_string(m_secondsLeft));
    if (reachesWarning(before, m_secondsLeft)) {
        playEffectOnce("sound/jg.wav");
    }
    if (reachesLastSeconds(before, m_secondsLeft)) {
        playEffectOnce("sound/tick.wav");
    }
    if (m_secondsLeft >= 0) {
        return false;
    }
    seat.countdown->setVisible(false);
    hide();
    m_site = -1;
    return true;
}
