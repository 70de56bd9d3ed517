#pragma once
// Read access to the private parts of the hall, the desk and the reconnect panel, for the scene
// tests only.

#include "scenes/desk/CCardTrackerPanel.h"
#include "scenes/desk/CDeskAuto.h"
#include "scenes/desk/CDeskHelp.h"
#include "scenes/desk/CDeskScene.h"
#include "scenes/desk/CDeskSeats.h"
#include "scenes/desk/CDeskTalk.h"
#include "scenes/desk/CDeskTurn.h"
#include "scenes/desk/CHandView.h"
#include "scenes/desk/CLastTrick.h"
#include "scenes/desk/CPlayArea.h"
#include "scenes/desk/CSummaryPanel.h"
#include "scenes/desk/CTalkBubble.h"
#include "scenes/desk/CTalkPanel.h"
#include "scenes/desk/CPrivateDeskBar.h"
#include "scenes/desk/CWatchBar.h"
#include "scenes/hall/CHallScene.h"
#include "scenes/hall/CJoinPanel.h"
#include "scenes/hall/CRecordPanel.h"
#include "scenes/hall/CWatchPanel.h"
#include "scenes/common/CLazyPanel.h"
#include "scenes/common/CReconnectPanel.h"

struct HallProbe {
    CHallScene& hall;
    engine::ui::Button* quickJoin() const { return hall.m_btnQuickJoin; }
    engine::Label* online() const { return hall.m_lblOnline; }
    // The hall's panels once built (at their first opening), null before.
    CRecordPanel* recordPanel() const { return hall.m_recordPanel->built(); }
    engine::ui::Button* createDesk() const { return hall.m_btnCreateDesk; }
    engine::ui::Button* joinDesk() const { return hall.m_btnJoinDesk; }
    CJoinPanel* joinPanel() const { return hall.m_joinPanel->built(); }
    engine::ui::Button* watch() const { return hall.m_btnWatch; }
    CWatchPanel* watchPanel() const { return hall.m_watchPanel->built(); }
};

struct WatchPanelProbe {
    CWatchPanel& panel;
    engine::Label* status() const { return panel.m_lblStatus; }
    engine::Label* message() const { return panel.m_lblMessage; }
    engine::Label* range() const { return panel.m_lblRange; }
    engine::Label* cell(int slot, int column) const {
        return panel.m_rows.at(static_cast<std::size_t>(slot)).at(static_cast<std::size_t>(column));
    }
};

struct RecordPanelProbe {
    CRecordPanel& panel;
    engine::Label* status() const { return panel.m_lblStatus; }
    engine::Node* recordPage() const { return panel.m_recordPage; }
    engine::Node* leaderboardPage() const { return panel.m_leaderboardPage; }
    engine::Label* tally() const { return panel.m_lblTally; }
    engine::Label* score() const { return panel.m_lblScore; }
    engine::Label* place() const { return panel.m_lblPlace; }
    engine::Label* game(std::size_t row, std::size_t column) const {
        return panel.m_gameRows.at(row).at(column);
    }
    engine::Label* rightHeading(std::size_t column) const {
        return panel.m_rightHeadings.at(column);
    }
    engine::Label* leader(std::size_t row, std::size_t column) const {
        return panel.m_leaderRows.at(row).at(column);
    }
};

struct DeskProbe {
    CDeskScene& desk;

    engine::ui::Button* returnButton() const { return desk.m_btnReturn; }
    CPrivateDeskBar* privateBar() const { return desk.m_privateBar; }
    engine::ui::Button* ready() const { return desk.m_turn->readyButton(); }
    engine::ui::Button* pass() const { return desk.m_turn->passButton(); }
    engine::ui::Button* play() const { return desk.m_turn->playButton(); }
    engine::ui::Button* hint() const { return desk.m_help->hintButton(); }
    engine::ui::Button* trackerButton() const { return desk.m_help->trackerButton(); }
    CCardTrackerPanel* trackerPanel() const { return desk.m_help->trackerPanel(); }
    engine::Sprite* notice() const { return desk.m_help->notice(); }
    engine::ui::Button* autoButton() const { return desk.m_auto->autoButton(); }
    engine::ui::Button* cancelAutoButton() const { return desk.m_auto->cancelButton(); }
    engine::Sprite* autoBanner() const { return desk.m_auto->banner(); }
    engine::ui::Button* lastTrickButton() const { return desk.m_lastTrick->button(); }
    engine::Node* lastTrickView() const { return desk.m_lastTrick->view(); }
    CSummaryPanel* summaryPanel() const { return desk.m_lastTrick->summaryPanel(); }
    static engine::Vec2 playedCardPosition(const st_player_info& seat, std::size_t index,
                                           float cardWidth) {
        return CPlayArea::playedCardPosition(seat, index, cardWidth);
    }
    bool localAuto() const { return desk.m_auto->localAuto(); }
    engine::ui::Button* talkButton() const { return desk.m_talk->button(); }
    // The talk panel's place: the panel in it is built at the first 聊天.
    CLazyPanel<CTalkPanel>* talkPanel() const { return desk.m_talk->panel(); }
    CTalkBubble* talkBubble(int position) const { return desk.m_talk->bubble(position); }
    engine::Label* muteTag(int position) const { return desk.m_talk->muteTag(position); }
    // The session's choice to show the tracker, which outlives every desk (and every test).
    static void setTrackerShown(bool shown) { CDeskHelp::setTrackerShown(shown); }
    engine::Label* deskLabel() const { return desk.m_table->deskLabel(); }
    engine::Label* ownScore() const { return desk.m_table->ownScore(); }
    engine::Label* otherScore() const { return desk.m_table->otherScore(); }
    engine::Label* tableScore() const { return desk.m_table->tableScore(); }
    bool gameRunning() const { return desk.m_gameRunning; }
    bool leaveArmed() const { return desk.m_leaveArmed; }
    int turnSite() const { return desk.m_turn->site(); }
    int mySite() const { return desk.m_mySite; }
    int deskNumber() const { return desk.m_desk; }
    std::vector<int>& lastPlay() const { return desk.m_table->lastPlay(); }
    const std::vector<CardSprite*>& hand() const { return desk.m_hand->sprites(); }
    const std::vector<std::shared_ptr<st_player_info>>& seats() const {
        return desk.m_seats->byPosition();
    }
    const std::map<int, std::shared_ptr<st_player_info>>& siteMap() const {
        return desk.m_seats->bySite();
    }
    CardSprite* lastTouched() const { return desk.m_hand->lastTouched(); }
    std::vector<int> collectRaised() const { return desk.m_hand->model().raisedCodes(); }
    bool watching() const { return desk.m_watching; }
    const std::vector<engine::Sprite*>& backs() const { return desk.m_hand->backs(); }
    engine::Label* watchingLabel() const {
        return desk.m_watch ? desk.m_watch->watchingLabel() : nullptr;
    }
    engine::ui::Button* sitButton() const {
        return desk.m_watch ? desk.m_watch->sitButton() : nullptr;
    }
    engine::Label* noticeText() const { return desk.m_help->noticeText(); }
    // The record of server seat `site`; the test fails on a seat that is not mapped.
    st_player_info& seat(int site) const { return *desk.m_seats->bySite().at(site); }
};

struct PrivateBarProbe {
    CPrivateDeskBar& bar;
    engine::Label* code() const { return bar.m_lblCode; }
    engine::Label* copied() const { return bar.m_lblCopied; }
    engine::ui::Button* copy() const { return bar.m_btnCopy; }
    engine::ui::Button* bots() const { return bar.m_btnBots; }
    engine::ui::Button* level(int index) const { return bar.m_btnLevels[index]; }
};

struct ReconnectProbe {
    CReconnectPanel& panel;
    // The back-off every panel of the process shares.
    static CReconnectSchedule::Phase phase() { return CReconnectPanel::s_schedule.phase(); }
    engine::ui::Button* button() const { return panel.m_btnReconnect; }
    std::string status() const { return panel.m_lblLinkStatus->getString(); }
};

// The reconnect panel a hall or a desk carries; null when it has none.
inline CReconnectPanel* reconnectPanelOf(const engine::Node* layer) {
    for (engine::Node* child : layer->getChildren()) {
        if (auto* panel = dynamic_cast<CReconnectPanel*>(child)) {
            return panel;
        }
    }
    return nullptr;
}
