// The desk's part of private desks: the bar with the code, 复制 and 加电脑 (CPrivateDeskBar).
// Main thread.

#include <algorithm>

#include "scenes/desk/CDeskScene.h"
#include "scenes/desk/CPrivateDeskBar.h"

using namespace engine;

namespace {
constexpr int kPrivateBarZOrder = 5;  // above the table, below the panels
}  // namespace

bool CDeskScene::setPrivateDesk(const std::string& code, bool creator) {
    if (m_privateBar == nullptr) {
        m_privateBar = CPrivateDeskBar::create();
        if (m_privateBar == nullptr) {
            return false;
        }
        addChild(m_privateBar, kPrivateBarZOrder);
    }
    m_privateBar->setDesk(code, m_desk, m_mySite, creator);
    showPrivateBar();
    return true;
}

void CDeskScene::showPrivateBar() {
    if (m_privateBar == nullptr) {
        return;
    }
    const bool seatFree = std::any_of(m_seats.begin(), m_seats.end(),
                                      [](const auto& seat) { return seat->name.empty(); });
    m_privateBar->setBotsWanted(seatFree && !m_gameRunning);
}
