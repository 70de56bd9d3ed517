#include "models/hall/JoinCode.h"

#include "models/hall/RefusalWords.h"
#include "models/hall/WatchList.h"
#include "net/Message.h"

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
    const auto asked =
        answer.opt == "watch" ? refusalwords::Asked::WatchByCode : refusalwords::Asked::Join;
    m_message = refusalwords::text(answer.reason, answer.retry, asked);
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
