#pragma once
// The hall: the lobby shown at start-up and after every desk. It shows the number of players
// online and a quick-join button, asks the server for the hall state when it opens and every
// 100 polls, and replaces itself with the desk when the server's seating answer ("add") arrives,
// or with the desk rejoined as the server holds it when a "resume" says the player has a seat
// already (a client started again mid-game). It never chooses a desk itself. The 战绩 button in
// the top-right corner opens the record panel (CRecordPanel). Beside quick join, 创建牌桌 and
// 加入牌桌 (HallPrivate.cpp) open a private desk or the join panel (CJoinPanel); they are shown
// only on a link whose hello answer offered private desks. Under them 观战 (HallWatch.cpp) opens
// the list of desks to watch (CWatchPanel), only on a link whose hello answer offered watching.
// A refused 创建牌桌 opens the join panel with the reason.
// Only the buttons are made with the hall: each panel is built the first time it opens
// (CLazyPanel), and one not built yet is closed. Main thread only.

#include <cstdint>
#include <string>

#include "engine/Engine.h"
#include "scenes/common/CMessagePump.h"

struct stMsg;
class CRecordPanel;
class CJoinPanel;
class CWatchPanel;
template <class Panel>
class CLazyPanel;

class CHallScene : public engine::Layer, public CMessageReader {
public:
    // Two-phase creation; null when init fails.
    CREATE_FUNC(CHallScene)
    ~CHallScene() override;

    bool init() override;
    // Quick-join: on release, disables the button and asks the server for a seat.
    void onQuickJoin(engine::Ref* sender, engine::ui::Widget::TouchEventType type);
    // Enter presses quick-join while it can be pressed.
    void onKeyPressed(engine::EventKeyboard::KeyCode key, engine::Event* event);
    // Scheduled every 0.1 s: counts the hall's polls and sends the periodic query.
    void pollQuery(float dt);
    // "query", "add" and "resume"; "record" and "leaderboard" go to the record panel while it is
    // open, "join" to the join panel, a refused "create" to onCreateRefused, "desks" and "watch"
    // as onWatchAnswer says; other kinds are dropped.
    void onServerMessage(const std::shared_ptr<stMsg>& msg) override;
    // "online:" directly followed by the server's text.
    static std::string makeOnlineText(const std::string& online);

private:
    friend struct HallProbe;

    // Opens the desk the server seated us at; on a seat that names no seat, or a desk that cannot
    // be built, the hall stays and the quick-join button works again.
    void enterDesk(const stMsg& msg);
    // No name kept yet: the name panel opens over the table.
    void askForNameAtFirstStart();

    // ---- Private desks (HallPrivate.cpp)
    // Builds 创建牌桌 and 加入牌桌, and the join panel's place; false when one cannot be made.
    bool addPrivateDesks(const engine::Size& visible);
    // Shows the two buttons while the link offers private desks, enabled while no request waits.
    void showPrivateButtons();
    void onCreateDesk(engine::Ref* sender, engine::ui::Widget::TouchEventType type);
    void onJoinDesk(engine::Ref* sender, engine::ui::Widget::TouchEventType type);
    // A refused "create": the buttons work again, and the join panel opens saying why.
    void onCreateRefused(const stMsg& msg);

    // ---- Watching (HallWatch.cpp)
    // Builds 观战 and the watch panel's place; false when one cannot be made.
    bool addWatching(const engine::Size& visible);
    // Shows 观战 while the link offers watching, enabled while no seat is asked for.
    void showWatchButton();
    void onWatch(engine::Ref* sender, engine::ui::Widget::TouchEventType type);
    // "desks" goes to the open watch panel; a refused "watch" to the panel that asked (the watch
    // panel or the join panel, whichever is open). An accepted one is the watched desk's.
    void onWatchAnswer(const stMsg& msg);

    // Hall polls of the whole process, starting at 1 and never reset: every hall goes on counting
    // where the previous one stopped, so returning from a desk keeps the query's phase.
    static std::int32_t pollCount;

    engine::ui::Button* m_btnQuickJoin = nullptr;  // owned by the scene graph
    engine::Label* m_lblOnline = nullptr;          // owned by the scene graph
    CLazyPanel<CRecordPanel>* m_recordPanel = nullptr;  // owned by the scene graph
    engine::ui::Button* m_btnCreateDesk = nullptr;  // owned by the scene graph
    engine::ui::Button* m_btnJoinDesk = nullptr;    // owned by the scene graph
    CLazyPanel<CJoinPanel>* m_joinPanel = nullptr;  // owned by the scene graph
    engine::ui::Button* m_btnWatch = nullptr;       // owned by the scene graph
    CLazyPanel<CWatchPanel>* m_watchPanel = nullptr;  // owned by the scene graph
    bool m_seatAsked = false;   // quick join or 创建牌桌 asked for a seat; no answer yet
    bool m_createSent = false;  // "create" asked: the next "add" seats the desk's creator
};
