#include "models/desk/HandModel.h"

#include <algorithm>

#include "cards/CardCode.h"

void HandModel::deal(std::vector<int> codes) {
    sortHand(codes);
    hold(codes);
}

void HandModel::hold(const std::vector<int>& codes) {
    clear();
    for (int code : codes) {
        add(code, m_cards.size());
    }
}

void HandModel::clear() {
    m_cards.clear();
    m_lastTouched.reset();
}

std::vector<int> HandModel::codes() const {
    std::vector<int> out;
    for (const Card& card : m_cards) {
        out.push_back(card.code);
    }
    return out;
}

std::vector<int> HandModel::raisedCodes() const {
    std::vector<int> out;
    for (const Card& card : m_cards) {
        if (card.raised) {
            out.push_back(card.code);
        }
    }
    return out;
}

void HandModel::press(std::size_t index) {
    if (index < m_cards.size()) {
        turn(index);
    }
}

void HandModel::slideTo(std::size_t index) {
    if (index < m_cards.size() && m_cards[index].id != m_lastTouched) {
        turn(index);
    }
}

void HandModel::turn(std::size_t index) {
    m_cards[index].raised = !m_cards[index].raised;
    m_lastTouched = m_cards[index].id;
}

void HandModel::raise(const std::vector<int>& codes) {
    for (int code : codes) {
        const auto resting = std::find_if(m_cards.begin(), m_cards.end(), [code](const Card& c) {
            return c.code == code && !c.raised;
        });
        if (resting != m_cards.end()) {
            resting->raised = true;
        }
    }
}

bool HandModel::lowerAll() {
    bool lowered = false;
    for (Card& card : m_cards) {
        lowered = lowered || card.raised;
        card.raised = false;
    }
    return lowered;
}

std::vector<int> HandModel::playRaised(const Send& send) {
    // A play goes out in hand order, whatever the row's order (a rejoin's hand is as sent).
    std::vector<int> codes = raisedCodes();
    sortHand(codes);
    if (codes.empty() || !send(codes)) {
        return {};
    }
    // Each code takes a raised copy, so that a resting copy of the same code stays.
    for (int code : codes) {
        removeFirst([code](const Card& c) { return c.code == code && c.raised; });
    }
    lowerAll();
    return codes;
}

std::optional<int> HandModel::playFirst(const Send& send) {
    if (m_cards.empty() || !send({m_cards.front().code})) {
        return std::nullopt;
    }
    const int code = m_cards.front().code;
    removeAt(0);
    lowerAll();
    return code;
}

void HandModel::putBack(const std::vector<int>& codes) {
    for (int code : codes) {
        const auto place =
            std::upper_bound(m_cards.begin(), m_cards.end(), code,
                             [](int value, const Card& c) { return value < c.code; });
        add(code, static_cast<std::size_t>(place - m_cards.begin()));
    }
    lowerAll();
}

void HandModel::takeOut(const std::vector<int>& codes) {
    for (int code : codes) {
        removeFirst([code](const Card& c) { return c.code == code; });
    }
    lowerAll();
}

void HandModel::forget(const std::vector<unsigned>& ids) {
    for (unsigned id : ids) {
        removeFirst([id](const Card& c) { return c.id == id; });
    }
}

void HandModel::add(int code, std::size_t at) {
    m_cards.insert(m_cards.begin() + static_cast<std::ptrdiff_t>(at),
                   Card{code, false, m_nextId++});
}

void HandModel::removeFirst(const std::function<bool(const Card&)>& matches) {
    const auto found = std::find_if(m_cards.begin(), m_cards.end(), matches);
    if (found != m_cards.end()) {
        removeAt(static_cast<std::size_t>(found - m_cards.begin()));
    }
}

void HandModel::removeAt(std::size_t index) {
    if (m_cards[index].id == m_lastTouched) {
        m_lastTouched.reset();
    }
    m_cards.erase(m_cards.begin() + static_cast<std::ptrdiff_t>(index));
}
