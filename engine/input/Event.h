#pragma once
// An event passed to listeners; stopPropagation ends its delivery to further listeners.

#include "engine/base/Ref.h"

namespace engine {

class Event : public Ref {
public:
    enum class Type { TOUCH, KEYBOARD, MOUSE, CUSTOM };

    explicit Event(Type type) : m_type(type) {}
    Type getType() const { return m_type; }
    void stopPropagation() { m_stopped = true; }
    bool isStopped() const { return m_stopped; }

private:
    Type m_type;
    bool m_stopped = false;
};

}  // namespace engine
