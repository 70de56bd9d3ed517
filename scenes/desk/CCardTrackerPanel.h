#pragma once
// The card tracker's panel at the desk: for each column of CardTracker (3 to 2, then the two
// jokers) the rank's name over the number of its copies the local player has not yet seen. It
// shows what it is given and keeps no count of its own. Main thread only.

#include <array>
#include <string>

#include "engine/Engine.h"
#include "models/desk/CardTracker.h"

class CCardTrackerPanel : public engine::Node {
public:
    // Two-phase creation; null when the background or a label cannot be made.
    CREATE_FUNC(CCardTrackerPanel)
    bool init() override;

    // Writes every column's count; a column with none left is dimmed.
    void show(const CardTracker& tracker);
    // The text of column `column`'s count, as drawn.
    const std::string& countText(int column) const;

private:
    std::array<engine::Label*, CardTracker::kColumns> m_lblCounts{};  // owned by the scene graph
};
