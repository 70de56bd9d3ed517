#pragma once
// The one touch (the left mouse button), in design coordinates (origin bottom-left).

#include "engine/base/Ref.h"
#include "engine/base/Vec2.h"

namespace engine {

class Touch : public Ref {
public:
    Touch() = default;
    Vec2 getLocation() const { return m_point; }
    Vec2 getStartLocation() const { return m_startPoint; }

    // Called by the dispatcher: a new touch starts at `point`, or the current one moves there.
    void begin(const Vec2& point) { m_startPoint = m_point = point; }
    void moveTo(const Vec2& point) { m_point = point; }

private:
    Vec2 m_point;
    Vec2 m_startPoint;
};

}  // namespace engine
