#include "models/common/CReconnectSchedule.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr const char* kLinkDown = "与服务器断开连接";
constexpr const char* kGameKept = "，牌局为你保留";
constexpr const char* kReconnecting = "，正在重新连接…";

}  // namespace

void CReconnectSchedule::linkLost(double now) {
    m_phase = Phase::Waiting;
    m_attemptAt = now + kFirstWait;
    m_nextRetryWait = kShortestRetryWait;
    m_failedBefore = false;
}

void CReconnectSchedule::attemptStarted(double now) {
    m_phase = Phase::Connecting;
    m_startedAt = now;
}

void CReconnectSchedule::attemptFailed(double now) {
    m_phase = Phase::Waiting;
    m_failedBefore = true;
    if (m_gameKept) {
        m_attemptAt = std::max(now, m_startedAt + kGameRetry);
        return;
    }
    m_attemptAt = now + m_nextRetryWait;
    m_nextRetryWait = std::min(m_nextRetryWait * 2, kLongestWait);
}

void CReconnectSchedule::linkOpened() { m_phase = Phase::Opened; }

void CReconnectSchedule::linkUp() { m_phase = Phase::Up; }

bool CReconnectSchedule::attemptDue(double now) const {
    return m_phase == Phase::Waiting && now >= m_attemptAt;
}

bool CReconnectSchedule::attemptTimedOut(double now) const {
    return m_phase == Phase::Connecting &&
           now - m_startedAt >= (m_gameKept ? kGameRetry : kAttemptTimeout);
}

int CReconnectSchedule::secondsLeft(double now) const {
    if (m_phase != Phase::Waiting) {
        return 0;
    }
    return std::max(0, static_cast<int>(std::ceil(m_attemptAt - now)));
}

std::string CReconnectSchedule::statusText(double now) const {
    switch (m_phase) {
    case Phase::Up:
        return "";
    case Phase::Connecting:
    case Phase::Opened:
        break;
    case Phase::Waiting:
        if (m_gameKept) {
            break;  // the next attempt is never more than kGameRetry away
        }
        return std::string(kLinkDown) + (m_failedBefore ? "，连接失败，" : "，") +
               std::to_string(secondsLeft(now)) + " 秒后重新连接";
    }
    return std::string(kLinkDown) + (m_gameKept ? kGameKept : "") + kReconnecting;
}
