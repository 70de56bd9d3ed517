#pragma once
// The bounded queue of decoded server records between the link's receiver thread, which pushes,
// and the main thread, which pops (in the client, CMessagePump alone). It holds at most
// kMaxRecords records and at most kMaxTextBytes of their texts (a frame may be 1 MiB, so the
// count alone would let a server park 4 GiB here): a push that finds either reached waits for
// room, so the receiver stops reading and TCP slows the server down, and nothing is lost. A
// record larger than the whole byte budget still enters an empty inbox. Once closed, the inbox
// wakes a waiting push and queues nothing more.

#include <condition_variable>
#include <cstddef>
#include <list>
#include <memory>
#include <mutex>

#include "net/Message.h"

class MessageInbox {
public:
    static constexpr std::size_t kMaxRecords = 4096;
    static constexpr std::size_t kMaxTextBytes = std::size_t{4} << 20;

    // Any thread: appends at the back, waiting while the inbox is full. False (the record
    // dropped) once the inbox is closed.
    bool push(std::shared_ptr<stMsg> msg);
    // Any thread: the oldest record, removed, or an empty pointer; never waits.
    std::shared_ptr<stMsg> pop();
    // Any thread: drops every record queued (a new link's records start afresh).
    void clear();
    // Any thread: from now on nothing is queued, and a waiting push returns.
    void close();
    // Any thread: the records queued now, and the bytes of their texts (what the budget counts).
    std::size_t count();
    std::size_t textBytes();

    // What a record holds beyond its fixed size: the bytes of its texts.
    static std::size_t textBytesOf(const stMsg& msg);

private:
    std::mutex m_mutex;
    std::condition_variable m_room;           // pop, clear and close wake a waiting push
    std::list<std::shared_ptr<stMsg>> m_records;  // oldest first; guarded by m_mutex
    std::size_t m_textBytes = 0;               // texts of m_records; guarded by m_mutex
    bool m_closed = false;                     // guarded by m_mutex
};
