#include "net/MessageInbox.h"

bool MessageInbox::push(std::shared_ptr<stMsg> msg) {
    const std::size_t bytes = textBytesOf(*msg);  // the record no longer changes
    std::unique_lock<std::mutex> lock(m_mutex);
    m_room.wait(lock, [this, bytes] {
        return m_closed || m_records.empty() ||
               (m_records.size() < kMaxRecords && m_textBytes + bytes <= kMaxTextBytes);
    });
    if (m_closed) {
        return false;
    }
    m_records.push_back(std::move(msg));
    m_textBytes += bytes;
    return true;
}

std::shared_ptr<stMsg> MessageInbox::pop() {
    std::shared_ptr<stMsg> front;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_records.empty()) {
            return front;
        }
        front = std::move(m_records.front());
        m_records.pop_front();
        m_textBytes -= textBytesOf(*front);
    }
    m_room.notify_one();
    return front;
}

void MessageInbox::clear() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_records.clear();
        m_textBytes = 0;
    }
    m_room.notify_all();
}

void MessageInbox::close() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_closed = true;
    }
    m_room.notify_all();
}

std::size_t MessageInbox::count() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_records.size();
}

std::size_t MessageInbox::textBytes() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_textBytes;
}

std::size_t MessageInbox::textBytesOf(const stMsg& msg) {
    std::size_t bytes = msg.opt.size() + msg.online.size() + msg.name.size() + msg.cards.size() +
                        msg.surplus.size() + msg.p0.size() + msg.p1.size() + msg.version.size() +
                        msg.status.size() + msg.reason.size() + msg.seen.size() + msg.last.size() +
                        msg.nameError.size();
    for (const st_seat_info& seat : msg.info) {
        bytes += seat.name.size() + seat.surplus.size() + seat.cards.size();
    }
    for (const st_record_game& game : msg.record.last) {
        bytes += sizeof game + game.partner.size() + game.opponents.size();
    }
    for (const st_leader_row& row : msg.top) {
        bytes += sizeof row + row.name.size();
    }
    return bytes;
}
