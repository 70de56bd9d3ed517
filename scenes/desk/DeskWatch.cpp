// Watching a game: the desk of a spectator, built from an accepted "watch" answer. It shows the
// game as a player seated at the bottom seat would see it, without that player's hand (the row
// shows the seat's card backs), and takes no part in it: no ready, play, pass, hint, tracker,
// 托管 or 聊天, no turn of its own and no chime. Its own widgets are CWatchBar's.
//
//   message                          the spectator's desk
//   "watchers"                       the number watching
//   "unwatch"                        back to the hall (the desk was deserted)
//   "sit" refused                    a notice saying why, for two seconds
//   "add"                            a seated desk at that seat replaces this one
//   "game" per -1                    a new game: the last one's table, trick and summary go
//   "change" "game" "score" "over"   as at a seated desk, except that no turn is the
//   "run" "presence" "talk" "name"   spectator's and the result box names the winners
//   anything else                    nothing ("start", "timeout", "resume": one seat's alone)
// The return button sends "unwatch" and goes back to the hall at once.

#include "net/Message.h"
#include "scenes/common/SceneFlow.h"
#include "scenes/desk/CDeskHelp.h"
#include "scenes/desk/CDeskScene.h"
#include "scenes/desk/CDeskSeats.h"
#include "scenes/desk/CDeskTalk.h"
#include "scenes/desk/CDeskTurn.h"
#include "scenes/desk/CHandView.h"
#include "scenes/desk/CLastTrick.h"
#include "scenes/desk/CPlayArea.h"
#include "scenes/desk/CWatchBar.h"

using namespace engine;

CDeskScene* CDeskScene::createWatching(const stMsg& watch) {
    CDeskScene* desk = create();
    if (desk == nullptr || !desk->enterWatching(watch)) {
        return nullptr;
    }
    return desk;
}

bool CDeskScene::enterWatching(const stMsg& watch) {
    m_watching = true;
    setDeskInfo(watch.desk, 0, "");
    if (!watch.code.empty() && !setPrivateDesk(watch.code, false)) {
        return false;
    }
    m_watch =
        CWatchBar::create(*this, m_btnReturn->getContentSize(), watch, m_seats->byPosition(),
                          [this](int position) { watchFrom((m_mySite + position) % kSeatCount); });
    if (m_watch == nullptr) {
        return false;
    }
    // What only a seated player uses never shows.
    m_turn->showReady(false);
    m_help->hideTracker();

    applyRejoin(m_watch->snapshot().state());
    m_lastTrick->follow(m_watch->snapshot().state(), m_mySite);
    showBacks();
    m_talk->showControls(m_watching);
    showPrivateBar();
    return true;
}

bool CDeskScene::takeWatchMessage(const std::shared_ptr<stMsg>& msg) {
    const std::string& opt = msg->opt;
    if (opt == "watchers") {
        m_watch->setWatchers(msg->watchers);
        return false;
    }
    if (opt == "unwatch") {
        returnToHall();
        return false;
    }
    if (opt == "sit") {
        if (msg->status == "refused") {
            m_help->showNotice(CWatchBar::sitRefusalText(msg->reason));
        }
        return false;
    }
    if (opt == "add") {
        // The server seated the spectator: a seated desk replaces this one.
        showLayerInNewScene(createSeated(*msg, false));
        return false;
    }
    if (opt == "game" && msg->per == -1) {
        // A spectator is not dealt: the opening turn stands for the deal.
        resetSeat(-1);
        beginGame();
        stMsg deal;
        deal.opt = "start";
        m_lastTrick->follow(deal, m_mySite);
    }
    return opt == "change" || opt == "game" || opt == "score" || opt == "over" || opt == "run" ||
           opt == "presence" || opt == "talk" || opt == "name";
}

void CDeskScene::watchFrom(int site) {
    if (!isSeatNumber(site) || site == m_mySite) {
        return;
    }
    // The running countdown is the desk's own count, whatever the seat it is seen from.
    const int secondsLeft = m_turn->secondsLeft();
    for (const auto& seat : m_seats->byPosition()) {
        CDeskSeats::hideMarkers(*seat);
        m_table->clear(*seat);
        seat->count_label->setString("");
    }
    m_talk->hideBubbles();
    setDeskInfo(m_desk, site, "");
    applyRejoin(m_watch->snapshot().state());
    if (st_player_info* turn = m_seats->seatOf(m_turn->site())) {
        m_turn->resume(secondsLeft, *turn);
    }
    m_lastTrick->refresh();
    showBacks();
    m_talk->showControls(m_watching);
}

void CDeskScene::showBacks() {
    m_hand->showBacks(static_cast<std::size_t>(m_watch->snapshot().cardsLeft(m_mySite)));
}
