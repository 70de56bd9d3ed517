#pragma once
// The one reader of the server link's queue. Every 0.1 s (one timer of the director's, not of
// any scene) it takes at most one record and hands it to the current reader, once that reader's
// scene runs; there is exactly one, switched by the scene change itself (showLayerInNewScene) or
// by the reconnect panel while it decides where a new link leads. No scene pops the queue, so an
// old scene can never take a message meant for the next one. Main thread only.

#include <memory>

namespace engine {
class Node;
}
struct stMsg;

// A node that reads server messages: the hall, the desk, the reconnect panel.
class CMessageReader {
public:
    virtual ~CMessageReader() = default;
    // One record from the server, handed over by the pump (main thread).
    virtual void onServerMessage(const std::shared_ptr<stMsg>& msg) = 0;
};

class CMessagePump {
public:
    static constexpr float kPollInterval = 0.1f;

    // From the next poll on, records go to `reader` (a node of the scene graph; the pump keeps
    // it alive until the next switch), and the pump runs. Null: records wait in the queue.
    static void setReader(engine::Node* reader);
    // The node records go to now; null when none.
    static engine::Node* reader();

private:
    static void poll(float dt);
};
