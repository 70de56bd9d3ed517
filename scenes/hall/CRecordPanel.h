#pragma once
// The hall's record panel: the 战绩 button's board with two tabs, the player's own figures with
// the latest games (战绩) and the best players with the player's own place (排行榜). It draws
// what the process-wide RecordBook holds; the hall hands it the "record" and "leaderboard"
// answers while it is open. Main thread only.
//
//   touch or key                panel closed             panel open
//   the 战绩 button             opens it (asks the       closes it
//                               server, see RecordBook)
//   a tab                       -                        shows that tab
//   关闭, Esc                   the scene's own          closes the panel
//   Enter                       the scene's own          nothing (the hall's quick join neither)
//   a touch off the board       the scene's own          closes the panel (the scene gets none)

#include <array>
#include <memory>

#include "engine/Engine.h"
#include "models/hall/RecordBook.h"
#include "scenes/common/CLazyPanel.h"
#include "wire/GameConstants.h"

struct stMsg;

class CRecordPanel : public engine::Node {
public:
    static constexpr int kZOrder = 100;  // with the settings: above every element of the hall
    // The 战绩 button's image size in design points, for the hall to place it.
    static constexpr float kButtonWidth = 96;
    static constexpr float kButtonHeight = 44;
    static constexpr int kLeaderRowsPerColumn = kLeaderboardSize / 2;
    // The texts shown instead of figures.
    static constexpr const char* kWaitingText = "正在获取…";
    static constexpr const char* kNoRecordsText = "暂无记录";

    enum class Tab { Record, Leaderboard };

    // Adds the 战绩 button centred at `buttonPosition` to `host`, and the panel's place through
    // `panel` (owned by the scene graph): the panel is built at the button's first release.
    // False when the button's image is missing.
    static bool addTo(engine::Node* host, const engine::Vec2& buttonPosition,
                      CLazyPanel<CRecordPanel>*& panel);

    CREATE_FUNC(CRecordPanel)
    bool init() override;

    // Opens on the 战绩 tab; asks the server when RecordBook says so.
    void open();
    void close();
    bool isOpen() const { return isVisible(); }
    void showTab(Tab tab);
    // A "record" or "leaderboard" answer (the hall's, while the panel is open).
    void onServerMessage(const std::shared_ptr<stMsg>& msg);

    // The answers of the whole process.
    static RecordBook& book();

private:
    friend struct RecordPanelProbe;

    // A row of `columns` labels at the x positions `xs`, added to `page`.
    template <std::size_t N>
    bool addRow(engine::Node* page, const std::array<float, N>& xs, float y, float size,
                std::array<engine::Label*, N>& row);
    bool buildRecordPage();
    bool buildLeaderboardPage();
    // Scheduled every 0.1 s while open: gives up answers not come in time.
    void tick(float dt);
    // Writes every label from the book and shows the page of the tab, or the status text.
    void refresh();

    Tab m_tab = Tab::Record;
    // Every node below is owned by the scene graph.
    engine::Sprite* m_board = nullptr;
    engine::ui::Button* m_btnRecordTab = nullptr;
    engine::ui::Button* m_btnLeaderboardTab = nullptr;
    engine::ui::Button* m_btnClose = nullptr;
    engine::Label* m_lblStatus = nullptr;  // the waiting text or "暂无记录"
    engine::Node* m_recordPage = nullptr;
    engine::Label* m_lblTally = nullptr;
    engine::Label* m_lblScore = nullptr;
    std::array<std::array<engine::Label*, RecordBook::kGameColumns>, kLastGames> m_gameRows{};
    engine::Node* m_leaderboardPage = nullptr;
    engine::Label* m_lblPlace = nullptr;
    // The right block's headings, shown only when the right block has rows.
    std::array<engine::Label*, RecordBook::kLeaderColumns> m_rightHeadings{};
    std::array<std::array<engine::Label*, RecordBook::kLeaderColumns>, kLeaderboardSize>
        m_leaderRows{};
};
