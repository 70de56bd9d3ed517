#include "scenes/hall/JoinCode.h"

#include "net/Message.h"
#include "scenes/hall/WatchList.h"

bool JoinCode::addDigit(char digit) {
    if (m_waiting || digit < '0' || digit > '9' || m_digits.size() >= kDigits) {
        return false;
    }
    m_digits += digit;
    m_message.clear();
    return true;
}

bool JoinCode::removeDigit() {
    if (m_waiting || m_digits.empty()) {
        return false;
    }
    m_digits.pop_back();
    m_message.clear();
    return true;
}

bool JoinCode::submit(bool watching) {
    if (m_waiting) {
        return false;
    }
    if (m_digits.size() < kDigits) {
        m_message = kShortText;
        return false;
    }
    m_waiting = true;
    m_message = watching ? WatchList::kEnteringText : kWaitingText;
    return true;
}

void JoinCode::refuse(const stMsg& answer) {
    m_digits.clear();
    m_waiting = false;
    m_message = answer.opt == "watch" ? WatchList::refusalText(answer.reason, answer.retry, true)
                                      : refusalText(answer.reason, answer.retry);
}

void JoinCode::clear() {
    *this = JoinCode{};
}

std::string JoinCode::fieldText() const {
    std::string text;
    for (std::size_t i = 0; i < kDigits; ++i) {
        if (i > 0) {
            text += ' ';
        }
        text += i < m_digits.size() ? m_digits[i] : '_';
    }
    return text;
}

std::string JoinCode::refusalText(const std::string& reason, int retrySeconds) {
    if (reason == kJoinWrongCode) {
        return "牌桌号不对或已过期";
    }
    if (reason == kJoinTooMany) {
        return "输错太多次，请" + std::to_string(retrySeconds > 0 ? retrySeconds : 60) + "秒后再试";
    }
    if (reason == kJoinFull) {
        return "这张牌桌已坐满";
    }
    if (reason == kJoinPlaying) {
        return "这张牌桌正在打牌，请稍后再试";
    }
    if (reason == kJoinSeated) {
        return "你已经在牌桌上了";
    }
    if (reason == kCreateTooMany) {
        return "你的网络开的牌桌太多，请稍后再试";
    }
    return "无法加入：" + reason;
}
