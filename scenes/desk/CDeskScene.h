#pragma once
// The desk: the table where the local player sits, one game after another. The server runs the
// game; the desk routes each of its messages to the parts that show it (DeskMessages.cpp) and
// turns the player's presses into the texts it sends (DeskActions.cpp). Everything runs on the
// main thread.
//
// The scene composes its parts; each owns its widgets (children of this layer, at the depths
// the table's drawing needs) and its model, and none reads another's:
//   CDeskSeats   names, cards left, markers, tags and turn countdowns; the seat map
//   CPlayArea    scores, the desk's number, the played rows and the play to beat
//   CHandView    the hand's row, showing its HandModel (the one record of what is raised)
//   CDeskTurn    ready, play and pass, and the running turn's count
//   CDeskHelp    hint, keys, the right button, the turn alert, the card tracker, the notice
//   CDeskAuto    托管 and its banner          CDeskTalk    聊天, bubbles, mutes
//   CLastTrick   上一轮 and the summary        CWatchBar    a spectator's label, 入座, snapshot
//   CPrivateDeskBar  a private desk's code, 复制 and 加电脑
//
// Rejoin (DeskRejoin.cpp): a desk built from the server's "resume" shows the game as the server
// holds it, without the sounds of the plays made meanwhile. Watching (DeskWatch.cpp): a desk
// built from an accepted "watch" shows a game the local player does not sit in, from one seat
// (a touch on another seat's name makes that seat the bottom one); only "unwatch" and "sit" are
// ever sent.

#include <memory>
#include <string>
#include <vector>

#include "engine/Engine.h"
#include "models/desk/PendingPlay.h"
#include "scenes/common/CMessagePump.h"

struct stMsg;
class CDeskAuto;
class CDeskHelp;
class CDeskSeats;
class CDeskTalk;
class CDeskTurn;
class CHandView;
class CLastTrick;
class CPlayArea;
class CPrivateDeskBar;
class CWatchBar;

class CDeskScene : public engine::Layer, public CMessageReader {
public:
    // Two-phase creation; null when init fails. The caller then calls setDeskInfo.
    CREATE_FUNC(CDeskScene)
    // A desk seated and rejoined from a "resume" record (a private desk's with its code); null
    // when it names no seat or the desk cannot be built (DeskRejoin.cpp).
    static CDeskScene* createRejoined(const stMsg& resume);
    // A desk seated by `seating` ("add" or "resume": desk, site, name, and a private desk's
    // code, opened by the player when `creator`); null when it names no seat or the desk cannot
    // be built.
    static CDeskScene* createSeated(const stMsg& seating, bool creator);
    // A spectator's desk from an accepted "watch" answer (DeskWatch.cpp); null when it cannot be
    // built.
    static CDeskScene* createWatching(const stMsg& watch);
    CDeskScene();  // the parts are complete only where the desk is built
    ~CDeskScene() override;

    bool init() override;
    // Stores the seating answer and maps the server seats to the screen positions.
    void setDeskInfo(int desk, int site, const std::string& name);
    // A private desk, after setDeskInfo: shows its code with 复制, and for its `creator` 加电脑
    // while a seat is free between games. False when the bar cannot be built.
    bool setPrivateDesk(const std::string& code, bool creator);
    // A game runs in which the local player holds a seat (not a spectator's view): the server
    // keeps it for the player while the link is down.
    bool playsGame() const { return m_gameRunning && !m_watching; }

    // One server message, handed over by CMessagePump.
    void onServerMessage(const std::shared_ptr<stMsg>& msg) override;

    // Button callbacks; each acts only when the touch ends on its button (DeskActions.cpp).
    void onReadyButton(engine::Ref* sender, engine::ui::Widget::TouchEventType type);
    void onReturnButton(engine::Ref* sender, engine::ui::Widget::TouchEventType type);
    void onPassButton(engine::Ref* sender, engine::ui::Widget::TouchEventType type);
    void onPlayButton(engine::Ref* sender, engine::ui::Widget::TouchEventType type);
    // Sends phrase or emote `say` when the link offers talk and the player's rate allows.
    void sendTalk(int say);

private:
    friend struct DeskProbe;

    bool addParts();
    // ---- Messages (DeskMessages.cpp)
    // -1: clears the whole desk (hand, table, markers, pass and play buttons); a seat: hides that
    // seat's markers. The three score labels read "0" either way.
    void resetSeat(int site);
    void beginGame();
    void endGame();
    void handleStart(const stMsg& msg);
    void handleGame(const stMsg& msg);
    void handlePresence(const stMsg& msg);
    void showPlay(const stMsg& msg);   // what seat `per` did
    void startTurn(const stMsg& msg);  // the turn of seat `now` begins
    // The server's word on what the local seat did: the hand gets back a pending play the server
    // did not take and loses the cards it played for the seat. True when the echo confirms a
    // play whose card sound the press already played.
    bool settleOwnPlay(const std::vector<int>& echoed);
    // The turn running is the local player's to play: the local seat's, not played by the server,
    // and not a spectator's view.
    bool ownsTurn() const;
    void offerTurnButtons(bool passOffered);  // play and hint, and pass when offered
    void withdrawTurnButtons();
    void showAutoControls();
    // 加电脑 follows the seats and the game.
    void showPrivateBar();
    // Replaces the desk's scene with a new hall; false (the desk stays) when no hall can be made.
    bool returnToHall();

    // ---- Actions (DeskActions.cpp)
    // False when the link is down: nothing was sent, and the action changes nothing.
    static bool sendToServer(const std::string& text);
    // Scheduled every 1.0 s: counts the running turn down and acts when the local turn runs out.
    void tickCountdown(float dt);
    void expireLocalTurn();
    // Lowers every raised card; true when one was raised.
    bool lowerCards();

    // ---- Rejoin (DeskRejoin.cpp)
    // Shows the desk as `resume` holds it; the seat was set by setDeskInfo.
    void applyRejoin(const stMsg& resume);

    // ---- Watching (DeskWatch.cpp)
    bool enterWatching(const stMsg& watch);
    // A message to a spectator's desk: true when the desk goes on to handle it as any desk does
    // (a public message of the game), false when it was the spectator's own or is not for it.
    bool takeWatchMessage(const std::shared_ptr<stMsg>& msg);
    // Makes server seat `site` the bottom one and lays the desk out again from the snapshot.
    void watchFrom(int site);
    // As many card backs in the bottom row as the bottom seat holds.
    void showBacks();

    engine::ui::Button* m_btnReturn = nullptr;  // owned by the scene graph
    CPrivateDeskBar* m_privateBar = nullptr;    // owned by the scene graph; null at a public desk
    std::unique_ptr<CDeskTurn> m_turn;
    std::unique_ptr<CPlayArea> m_table;
    std::unique_ptr<CDeskSeats> m_seats;
    std::unique_ptr<CHandView> m_hand;
    std::unique_ptr<CDeskHelp> m_help;
    std::unique_ptr<CDeskAuto> m_auto;
    std::unique_ptr<CLastTrick> m_lastTrick;
    std::unique_ptr<CDeskTalk> m_talk;
    std::unique_ptr<CWatchBar> m_watch;  // null when seated
    PendingPlay m_pendingPlay;           // sent for the local seat, not yet echoed by the server
    bool m_gameRunning = false;
    bool m_leaveArmed = false;  // the return button warned once in this game
    bool m_watching = false;    // set once by createWatching, for the desk's life
    int m_mySite = 0;
    int m_desk = 0;
    std::string m_myName;
};
