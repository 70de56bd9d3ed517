#pragma once
// The desk: the table where the local player sits, one game after another.
//
// It shows the four seats around the local player, the team scores, the points on the table, the
// player's hand in one row at the bottom and the ready, play, pass and return buttons. The server
// runs the game; the desk shows what its messages say (DeskMessages.cpp), and turns the player's
// touches and button presses into the texts it sends (DeskActions.cpp). Layout and the seat model
// are in DeskLayout.cpp. Everything runs on the main thread.
//
// Seat model: server seat s sits at screen position (s - m_mySite + 4) % 4, where 0 is the bottom
// (the local player, or the seat a spectator sees from), 1 the right, 2 the top and 3 the left.
// m_seats is indexed by screen position, m_siteMap by server seat; both hold the same records. A
// seat number outside 0..3 names no seat: m_siteMap holds only the keys 0..3 and the desk
// ignores whatever concerns another number.
//
// Helpers beside the table (DeskHelp.cpp): the hint button left of play, shown with it;
// keys for the buttons (Enter play, Backspace pass, H hint, R ready, T tracker, A 托管 and
// 取消托管, Esc lowers the raised cards; L, held, 上一轮 in DeskLastTrick.cpp) and the right button (lowers them too); a chime on the
// local turn, and a soft tick in its last seconds; the card tracker's panel under the score
// panel, with its toggle.
//
// Coming back (DeskRestore.cpp): a desk built from the server's "resume" shows the game as the
// server holds it, without the sounds of the plays made meanwhile. Presence and 托管
// (DeskAuto.cpp): 离线 and 托管 tags by the seats' names, the 托管 button left of the settings
// gear, and while the server plays the local seat a banner 托管中 with 取消托管 over the turn
// buttons' row; the server's "presence" is the only thing that changes what they show.
//
// The last trick and the summary (DeskLastTrick.cpp): 上一轮 (bottom right) or L, while held,
// shows the last finished trick over the table; after a game's result box, a summary panel.
// Table talk (DeskTalk.cpp): the 聊天 button and its panel of phrases and emotes (keys 1-8 say
// the phrases while it is open), a bubble by each seat for a few seconds after its talk, and the
// 屏蔽 toggles by the other seats' names.
//
// Watching (DeskWatch.cpp): a desk built from an accepted "watch" shows a game the local player
// does not sit in, as a seated player would see it from one seat (seat 0 at first; a touch on
// another seat's name makes that seat the bottom one, laid out again from DeskSnapshot). The
// bottom row shows that seat's card backs, never a hand; there is no ready, play, pass, hint,
// tracker, 托管 or 聊天, no turn of its own and no chime. 观战中 and the number watching stand
// at the top; between games, while a seat is free, 入座 asks for it. Only "unwatch" and "sit"
// are ever sent.
//
// Hand row: with n cards, card i rests at x = W/2 - 9(n-1) + 18i + w/4, y = 45 (W the visible
// width, w the card's width); a raised card has the same x and y = 70, with m_selected true.

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Engine.h"
#include "scenes/common/CMessagePump.h"
#include "scenes/desk/CardTracker.h"
#include "scenes/desk/DeskSnapshot.h"
#include "scenes/desk/GameSummary.h"
#include "scenes/desk/HintCycle.h"
#include "scenes/desk/PendingPlay.h"
#include "scenes/desk/PlayerInfo.h"
#include "scenes/desk/TrickHistory.h"
#include "scenes/desk/TableTalk.h"

struct stMsg;
struct st_seat_info;
class CCardTrackerPanel;
class CSummaryPanel;
class CTalkBubble;
class CTalkPanel;
class CPrivateDeskBar;
template <class Panel>
class CLazyPanel;

class CDeskScene : public engine::Layer, public CMessageReader {
public:
    // Two-phase creation; null when init fails. The caller then calls setDeskInfo.
    CREATE_FUNC(CDeskScene)
    // A desk seated and restored from a "resume" record (a private desk's with its code); null
    // when it names no seat or the desk cannot be built (DeskRestore.cpp).
    static CDeskScene* createRestored(const stMsg& resume);
    // A desk seated by `seating` ("add" or "resume": desk, site, name, and a private desk's
    // code, opened by the player when `creator`); null when it names no seat or the desk cannot
    // be built.
    static CDeskScene* createSeated(const stMsg& seating, bool creator);
    // A spectator's desk from an accepted "watch" answer (DeskWatch.cpp); null when it cannot be
    // built.
    static CDeskScene* createWatching(const stMsg& watch);
    ~CDeskScene() override;

    bool init() override;
    // Stores the seating answer and maps the server seats to the screen positions.
    void setDeskInfo(int desk, int site, const std::string& name);
    // A private desk (DeskPrivate.cpp), after setDeskInfo: shows its code with 复制, and for its
    // `creator` 加电脑 while a seat is free between games. False when the bar cannot be built.
    bool setPrivateDesk(const std::string& code, bool creator);
    // A game runs in which the local player holds a seat (not a spectator's view): the server
    // keeps it for the player while the link is down.
    bool playsGame() const { return m_gameRunning && !m_watching; }

    // ---- Server messages (DeskMessages.cpp) ---------------------------------------------------
    // One server message, handed over by CMessagePump.
    void onServerMessage(const std::shared_ptr<stMsg>& msg) override;
    // -1: clears the whole desk (hand, table, markers, pass and play buttons); a seat: hides that
    // seat's markers. The three score labels read "0" either way.
    void resetSeat(int site);
    void beginGame();
    void showPlay(const std::shared_ptr<stMsg>& msg);   // what seat `per` did
    void startTurn(const std::shared_ptr<stMsg>& msg);  // the turn of seat `now` begins

    // ---- Player actions (DeskActions.cpp) -----------------------------------------------------
    // Button callbacks; each acts only when the touch ends on its button.
    void onReadyButton(engine::Ref* sender, engine::ui::Widget::TouchEventType type);
    void onReturnButton(engine::Ref* sender, engine::ui::Widget::TouchEventType type);
    void onPassButton(engine::Ref* sender, engine::ui::Widget::TouchEventType type);
    void onPlayButton(engine::Ref* sender, engine::ui::Widget::TouchEventType type);
    // Card selection: the right-most hand card under the finger toggles; a drag toggles each card
    // once as the finger enters it. Began always returns true so that the moves follow.
    bool onTouchBegan(engine::Touch* touch, engine::Event* event) override;
    void onTouchMoved(engine::Touch* touch, engine::Event* event) override;
    // Scheduled every 1.0 s: counts the running turn down and acts when the local turn runs out.
    void tickCountdown(float dt);
    // Codes of the raised hand cards (y = 70), from the left.
    std::vector<int> collectRaised() const;

    // ---- Helpers (DeskHelp.cpp) ---------------------------------------------------------------
    // Hint: lowers every raised card and raises the next play of this turn's hint list; with
    // nothing that beats the last play, raises nothing and shows a notice for two seconds.
    void onHintButton(engine::Ref* sender, engine::ui::Widget::TouchEventType type);
    // Shows or hides the card tracker's panel, for the rest of the session.
    void onTrackerButton(engine::Ref* sender, engine::ui::Widget::TouchEventType type);
    // A key acts as a release on its button would, while that button is shown and enabled.
    void onKeyPressed(engine::EventKeyboard::KeyCode key, engine::Event* event);
    // The right button anywhere on the table lowers every raised card.
    void onMouseDown(engine::EventMouse* event);

    // ---- Watching (DeskWatch.cpp)
    // Makes this desk a spectator's of the desk `watch` describes; false when an element cannot
    // be made.
    bool enterWatching(const stMsg& watch);
    // A message to a spectator's desk: true when the desk goes on to handle it as any desk does
    // (a public message of the game), false when it was the spectator's own or is not for it.
    bool takeWatchMessage(const std::shared_ptr<stMsg>& msg);
    // After a message the desk handled: the snapshot follows it, the backs and 入座 with it.
    void followWatchedDesk(const stMsg& msg);
    // Makes server seat `site` the bottom one and lays the desk out again from the snapshot.
    void watchFrom(int site);
    // As many card backs in the bottom row as the bottom seat holds.
    void showBacks();
    // 入座 while a seat is free between games; the number watching.
    void showWatchControls();
    // The result box of "over" as a spectator reads it: the winning team by its names.
    static void showWatchedResult(const stMsg& over);
    // The server seated the spectator ("add"): a seated desk replaces this one.
    void takeOfferedSeat(const stMsg& add);

    // ---- Presence and 托管 (DeskAuto.cpp) ------------------------------------------------------
    // 托管 asks the server to play the local seat; 取消托管 takes it back. Neither changes what the
    // desk shows: the server's "presence" does.
    void onAutoButton(engine::Ref* sender, engine::ui::Widget::TouchEventType type);
    void onCancelAutoButton(engine::Ref* sender, engine::ui::Widget::TouchEventType type);

    // ---- The last trick and the summary (DeskLastTrick.cpp) ------------------------------------
    // Shows the last trick while the button is held: from BEGAN to ENDED or CANCELED.
    void onLastTrickButton(engine::Ref* sender, engine::ui::Widget::TouchEventType type);
    // ---- Table talk (DeskTalk.cpp) -------------------------------------------------------------
    // Sends phrase or emote `say` when the link offers talk and the player's rate allows.
    void sendTalk(int say);

    // ---- Watching (DeskWatch.cpp) --------------------------------------------------------------
    // 入座: asks for the first free seat; the server answers "add" or a refused "sit".
    void onSitButton(engine::Ref* sender, engine::ui::Widget::TouchEventType type);

private:
    friend struct DeskProbe;

    static constexpr float kHandRestY = 45;    // y of a resting hand card
    static constexpr float kHandRaisedY = 70;  // y of a card raised for playing

    // ---- Seats and hand (DeskLayout.cpp)
    st_player_info* seatOf(int site) const;  // null for a number that names no seat
    // Calls `visit` for every mapped seat with its server seat, its record and its entry in
    // `msg.info`.
    void forEachSeat(
        const stMsg& msg,
        const std::function<void(int, st_player_info&, const st_seat_info&)>& visit) const;
    bool addSeat(int position);              // false when an element cannot be made
    float handCardX(std::size_t count, std::size_t index, float cardWidth) const;
    // Puts every hand card at rest in the row: y = 45, m_selected false.
    void layoutHand();
    // Takes card `index` out of the hand and off the layer.
    void removeFromHand(std::size_t index);
    // New cards for `codes`, each put into the hand at its place by code (not laid out).
    void returnToHand(const std::vector<int>& codes);
    // Takes one card out of the hand for each code, the left-most of that code; a code the hand
    // does not hold is skipped (not laid out).
    void takeFromHand(const std::vector<int>& codes);
    void clearPlayed(st_player_info& seat);
    void hideMarkers(st_player_info& seat);

    // ---- Messages (DeskMessages.cpp)
    void handleChange(const stMsg& msg);
    void handleStart(const stMsg& msg);
    void handleRun(const stMsg& msg);
    void handleOver(const stMsg& msg);
    void handleGame(const std::shared_ptr<stMsg>& msg);
    void handleScore(const stMsg& msg);
    void handlePresence(const stMsg& msg);
    void endGame();
    // Puts `codes` on the table in the seat's row (no sound).
    void layPlayed(st_player_info& seat, const std::vector<int>& codes);
    // The server's word on what the local seat did: the hand gets back a pending play the server
    // did not take and loses the cards it played for the seat. True when the echo confirms a
    // play whose card sound the press already played.
    bool settleOwnPlay(const std::vector<int>& echoed);
    // Hides and disables the play and pass buttons.
    void withdrawTurnButtons();
    // Shows play and hint, and pass when `passOffered`, for the local turn.
    void offerTurnButtons(bool passOffered);
    // The turn running is the local player's to play: the local seat's, not played by the server,
    // and not a spectator's view.
    bool ownsTurn() const;
    // The codes of a card list from the server, as many as the game has cards at most.
    static std::vector<int> cardsIn(const std::string& list);
    // One effect, no loop, at the normal pitch, centred, full gain.
    static void playSound(std::string_view path);
    // Replaces the desk's scene with a new hall; false (the desk stays) when no hall can be made.
    bool returnToHall();

    // ---- Actions (DeskActions.cpp)
    // False when the link is down: nothing was sent, and the action changes nothing.
    bool sendToServer(const std::string& text) const;
    static bool isRaised(const CardSprite* card);  // exactly at the raised height
    void toggleCard(CardSprite* card, bool raise);
    CardSprite* cardAt(const engine::Vec2& point) const;
    void expireLocalTurn(st_player_info& seat);

    // ---- Helpers (DeskHelp.cpp)
    // Builds the hint and tracker buttons, the tracker's panel, the notice and the key and mouse
    // listeners; false when one cannot be made.
    bool addHelpers(float W, float H);
    // Puts every raised card back at rest; true when one was raised.
    bool lowerRaisedCards();
    // Shows or hides the hint button with the play button.
    void offerHint(bool shown);
    // The local turn began: the chime, and a request for attention when the window lacks the
    // focus.
    void alertTurn();
    // The tracker's counts changed: the panel shows them.
    void showTrackerCounts();
    // Shows `text` on the floating notice for two seconds.
    void showNotice(const std::string& text);

    // ---- The last trick and the summary (DeskLastTrick.cpp)
    // Builds the 上一轮 button, its view, the summary panel and the L key's listener.
    bool addLastTrick(float W);
    // Feeds the trick history and the summary with a message the desk has handled: the button
    // follows the history, an open view the trick it shows, and "over" opens the summary.
    void followTricks(const stMsg& msg);
    // The desk was cleared for the next game: nothing of the last one is shown.
    void forgetLastGame();
    // Shows the last trick over the table (`shown`) or takes it away; shown only while one is
    // known.
    void showLastTrick(bool shown);
    // Where card `index` of a seat's row of played cards lies.
    static engine::Vec2 playedCardPosition(const st_player_info& seat, std::size_t index,
                                           float cardWidth);
    // ---- Table talk (DeskTalk.cpp)
    // Builds the 聊天 button, its panel, the bubbles and the mute toggles; false when one cannot
    // be made.
    bool addTalk(float W, float H);
    // The button and the toggles follow the link's offer, the seats' names and the mutes.
    void showTalkControls();
    void toggleMute(int position);  // by screen position
    // A "talk": the bubble by the seat and a soft sound, unless the seat is muted.
    void handleTalk(const stMsg& msg);

    // ---- Private desks (DeskPrivate.cpp)
    // 加电脑 follows the seats and the game.
    void showPrivateBar();

    // ---- Coming back (DeskRestore.cpp)
    // Shows the desk as `resume` holds it; the seat was set by setDeskInfo.
    void restore(const stMsg& resume);

    // ---- Presence and 托管 (DeskAuto.cpp)
    // Builds the 托管 button, the banner with 取消托管, and each seat's tags.
    bool addAutoControls(float W, float H);
    // The seat's tags show what presence says of it.
    static void showPresence(st_player_info& seat, const st_seat_info& entry);
    // The server says whether it plays the local seat: the banner, the buttons, the turn's.
    void setLocalAuto(bool on);
    // 托管 shown during a game when the server knows it and does not play the seat already;
    // the banner while it does.
    void showAutoControls();

    engine::ui::Button* m_btnReturn = nullptr;  // the scene graph owns every node pointed to here
    engine::ui::Button* m_btnReady = nullptr;
    engine::ui::Button* m_btnPass = nullptr;
    engine::ui::Button* m_btnPlay = nullptr;
    engine::ui::Button* m_btnHint = nullptr;
    engine::ui::Button* m_btnTracker = nullptr;
    engine::ui::Button* m_btnAuto = nullptr;
    engine::ui::Button* m_btnCancelAuto = nullptr;  // a child of m_autoBanner
    engine::Sprite* m_autoBanner = nullptr;         // "托管中", with its text as a child
    CCardTrackerPanel* m_trackerPanel = nullptr;
    engine::ui::Button* m_btnLastTrick = nullptr;
    engine::Node* m_lastTrickView = nullptr;  // the board and the last trick's cards, over the table
    CSummaryPanel* m_summaryPanel = nullptr;
    engine::ui::Button* m_btnTalk = nullptr;
    CLazyPanel<CTalkPanel>* m_talkPanel = nullptr;  // the panel is built at the first 聊天
    CPrivateDeskBar* m_privateBar = nullptr;  // owned by the scene graph; null at a public desk
    std::array<CTalkBubble*, kSeatCount> m_talkBubbles{};  // by screen position
    std::array<engine::Label*, kSeatCount> m_muteTags{};   // by screen position; 0 never shown
    TalkRate m_talkRate;  // the player's own talks
    engine::Sprite* m_notice = nullptr;  // the floating notice, with its text as a child
    engine::Label* m_lblNotice = nullptr;  // the notice's text
    bool m_gameRunning = false;
    bool m_localAuto = false;   // the server's presence says it plays the local seat (托管)
    bool m_leaveArmed = false;  // the return button warned once in this game
    engine::Label* m_lblDesk = nullptr;
    engine::Label* m_lblOwnScore = nullptr;  // score of the parity of m_mySite
    engine::Label* m_lblOtherScore = nullptr;
    engine::Label* m_lblTableScore = nullptr;  // points on the table
    int m_mySite = 0;
    int m_desk = 0;
    std::string m_myName;
    int m_turnSite = -1;          // server seat whose countdown runs, -1 for none
    int m_turnSecondsLeft = 0;    // what the countdown of m_turnSite shows
    std::vector<int> m_lastPlay;  // the play to beat; empty when the local player may lead
    std::vector<CardSprite*> m_hand;
    PendingPlay m_pendingPlay;  // sent for the local seat, not yet echoed by the server
    HintCycle m_hintCycle;      // this turn's hint list; forgotten when a turn starts
    CardTracker m_cardTracker;  // copies the local player has not yet seen in this game
    TrickHistory m_trickHistory;  // the last finished trick of this game
    GameSummary m_gameSummary;    // the figures of this game, for the summary
    // The tracker's panel is shown: the player's choice, kept for the session by every desk.
    static bool s_trackerShown;
    std::vector<std::shared_ptr<st_player_info>> m_seats;      // by screen position
    std::map<int, std::shared_ptr<st_player_info>> m_siteMap;  // by server seat
    // Watching: set once by createWatching, for the desk's life.
    bool m_watching = false;
    int m_watchers = 0;         // spectators of this desk, as the server last said
    DeskSnapshot m_snapshot;    // the watched desk, whatever the seat it is seen from
    std::vector<engine::Sprite*> m_backs;       // the bottom seat's card backs, from the left
    engine::Label* m_lblWatching = nullptr;     // "观战中" and the number; null when seated
    engine::ui::Button* m_btnSit = nullptr;     // 入座; null when seated
    // The card a touch toggled last; only compared, and forgotten when it leaves the hand.
    CardSprite* m_lastTouched = nullptr;
};
