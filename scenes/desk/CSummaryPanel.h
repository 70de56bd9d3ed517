#pragma once
// The summary of a finished game, over the desk after the result's box: for each seat its name,
// its place in the finishing order, the points it took and its result (大胜 胜 平 负 大败), then
// both teams' points. It shows what GameSummary holds and keeps nothing of its own. Main thread
// only.
//
//   touch or key                  the panel
//   关闭, Esc                     closes
//   anything else on the board    nothing (the desk below it gets nothing)
//   a touch off the board         nothing: the desk takes it (its ready button works at once)
// The desk closes it when the player readies or a new game is dealt.

#include <array>

#include "engine/Engine.h"
#include "models/desk/GameSummary.h"

class CSummaryPanel : public engine::Node {
public:
    static constexpr int kZOrder = 90;  // over the table and its banners, under the settings
    static constexpr int kColumns = 4;  // name, place, points, result

    // Two-phase creation; null when the board, the button or a label cannot be made. Hidden.
    CREATE_FUNC(CSummaryPanel)
    bool init() override;

    // Fills every line from `summary` for the local seat `mySite` and opens the panel. With
    // points that do not agree with the team figures, the seats' points read "-" and a line
    // says that only the team figures count.
    void show(const GameSummary& summary, int mySite);
    void close();
    bool isOpen() const { return isVisible(); }

    // Row `row` (0 the first place) and column as drawn, for tests.
    const std::string& cellText(std::size_t row, std::size_t column) const;
    const std::string& teamText() const;
    const std::string& noteText() const;

private:
    engine::Sprite* m_board = nullptr;  // the scene graph owns every node pointed to here
    engine::ui::Button* m_btnClose = nullptr;
    std::array<std::array<engine::Label*, kColumns>, kSeatCount> m_cells{};
    engine::Label* m_lblTeams = nullptr;
    engine::Label* m_lblNote = nullptr;
};
