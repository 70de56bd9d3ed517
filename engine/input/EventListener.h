#pragma once
// Base of the listeners the EventDispatcher holds. A disabled listener is skipped.

#include "engine/base/Ref.h"

namespace engine {

class Node;

class EventListener : public Ref {
public:
    enum class Type { TOUCH_ONE_BY_ONE, KEYBOARD, MOUSE };

    Type getType() const { return m_type; }
    void setEnabled(bool enabled) { m_enabled = enabled; }
    bool isEnabled() const { return m_enabled; }
    bool isRegistered() const { return m_registered; }

protected:
    explicit EventListener(Type type) : m_type(type) {}

private:
    friend class EventDispatcher;
    Type m_type;
    bool m_enabled = true;
    bool m_registered = false;
    Node* m_node = nullptr;   // not owned: the dispatcher drops the listener when the node goes
    int m_fixedPriority = 0;  // used when m_node is null
};

}  // namespace engine
