#pragma once
// An event passed to listeners; stopPropagation ends its delivery to further listeners.

#include "engine/base/Ref.h"

namespace engine {

class Node;

class Event : public Ref {
public:
    enum class Type { TOUCH, KEYBOARD, MOUSE, CUSTOM };

    explicit Event(Type type) : m_type(type) {}
    Type getType() const { return m_type; }
    void stopPropagation() { m_stopped = true; }
    bool isStopped() const { return m_stopped; }
    // The node of the listener being called (null for a fixed-priority listener).
    Node* getCurrentTarget() const { return m_currentTarget; }
    void setCurrentTarget(Node* node) { m_currentTarget = node; }
    void resetStopped() { m_stopped = false; }

private:
    Type m_type;
    bool m_stopped = false;
    Node* m_currentTarget = nullptr;
};

}  // namespace engine
