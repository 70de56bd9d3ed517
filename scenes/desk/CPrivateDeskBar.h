#pragma once
// What a private desk shows above the table: its code, large, with 复制 (the code to the
// clipboard), and for the desk's creator 加电脑, which offers the three levels (简单, 普通, 困难)
// and asks the server to fill the free seats with computer players of the one chosen. The desk
// says when 加电脑 makes sense (free seats, no game). Main thread only.
//
//   touch                 effect
//   复制                  the code goes to the clipboard; 已复制 shows beside it
//   加电脑                 shows the three levels, or hides them again
//   a level               {"opt":"bots"} with that level; the levels hide

#include <array>
#include <string>

#include "engine/Engine.h"
#include "wire/GameConstants.h"

class CPrivateDeskBar : public engine::Node {
public:
    static constexpr int kLevelCount = 3;

    CREATE_FUNC(CPrivateDeskBar)
    bool init() override;

    // The desk's code and seat, and whether the local player created it (only they add computers).
    void setDesk(const std::string& code, int desk, int site, bool creator);
    // 加电脑 is offered while the creator's desk has a free seat and no game runs.
    void setBotsWanted(bool wanted);
    const std::string& code() const { return m_code; }

private:
    friend struct PrivateBarProbe;

    void copyCode();
    void toggleLevels();
    void chooseLevel(int level);

    std::string m_code;
    int m_desk = -1;
    int m_site = -1;
    bool m_creator = false;
    // Owned by the scene graph.
    engine::Label* m_lblCode = nullptr;
    engine::ui::Button* m_btnCopy = nullptr;
    engine::Label* m_lblCopied = nullptr;  // 已复制, once the code was copied
    engine::ui::Button* m_btnBots = nullptr;
    std::array<engine::ui::Button*, kLevelCount> m_btnLevels{};
};
