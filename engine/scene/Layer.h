#pragma once
// A full-screen container (the visible size at the origin) that client scenes derive from.
// The touch handlers are hooks for an EventListenerTouchOneByOne the subclass binds itself;
// the layer registers no listener on its own.

#include "engine/scene/Node.h"

namespace engine {

class Event;
class Touch;

class Layer : public Node {
public:
    static Layer* create();
    bool init() override;

    virtual bool onTouchBegan(Touch* touch, Event* event);
    virtual void onTouchMoved(Touch* touch, Event* event);
    virtual void onTouchEnded(Touch* touch, Event* event);
    virtual void onTouchCancelled(Touch* touch, Event* event);

protected:
    Layer() = default;
};

}  // namespace engine
