#include "net/LinkLossBox.h"

#include <system_error>

#include "engine/platform/MessageBox.h"

namespace {

constexpr const char* kLinkErrorTitle = "error";

}  // namespace

// main thread
void LinkLossBox::arm() {
    m_told = false;
}

// any thread
void LinkLossBox::tell(const char* text) {
    if (m_told.exchange(true)) {
        return;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_open) {
        return;
    }
    if (m_thread.joinable()) {
        m_thread.join();  // its box was dismissed: the thread is returning, or has returned
    }
    m_open = true;
    try {
        m_thread = std::thread([this, text] {
            engine::MessageBox(text, kLinkErrorTitle);
            m_open = false;
        });
    } catch (const std::system_error&) {
        m_open = false;  // no thread, no box: the reconnect panel still shows the loss
    }
}

// main thread
void LinkLossBox::release() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_thread.joinable()) {
        return;
    }
    // An open box may wait for the player for ever; its thread touches only this object, which
    // the never-destroyed link owns.
    if (m_open) {
        m_thread.detach();
    } else {
        m_thread.join();
    }
}
