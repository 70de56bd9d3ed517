#include "scenes/common/CMessagePump.h"

#include "engine/Engine.h"
#include "net/CMessageQueue.h"

using namespace engine;

namespace {

constexpr const char* kPumpKey = "message pump";

Node* s_reader = nullptr;  // retained while it is the reader
int s_timerTarget = 0;     // only its address is used: the pump's timer's owner

}  // namespace

void CMessagePump::setReader(Node* reader) {
    if (reader != nullptr) {
        reader->retain();
    }
    if (s_reader != nullptr) {
        s_reader->release();
    }
    s_reader = reader;
    Scheduler* scheduler = Director::getInstance()->getScheduler();
    if (!scheduler->isScheduled(kPumpKey, &s_timerTarget)) {
        scheduler->schedule(&CMessagePump::poll, &s_timerTarget, kPollInterval, CC_REPEAT_FOREVER,
                            0, false, kPumpKey);
    }
}

Node* CMessagePump::reader() {
    return s_reader;
}

void CMessagePump::poll(float) {
    // A reader whose scene does not run (not yet, or no more: replaced by other means than
    // showLayerInNewScene) is handed nothing; the records wait for the next reader.
    auto* reader = dynamic_cast<CMessageReader*>(s_reader);
    if (reader == nullptr || !s_reader->isRunning()) {
        return;
    }
    if (const std::shared_ptr<stMsg> msg = CMessageQueue::getInstance()->popMsg()) {
        // The reader may switch the reader (a scene change) while it handles the record.
        Node* handling = s_reader;
        handling->retain();
        reader->onServerMessage(msg);
        handling->release();
    }
}
