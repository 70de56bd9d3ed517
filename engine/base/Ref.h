#pragma once
// Reference counting for everything the scene graph owns (nodes, frames, listeners, views).
//
// A new object has a count of 1. `retain` adds one, `release` removes one and deletes at zero.
// `autorelease` hands that first reference to the pool, which releases it after the current
// frame: an object nobody retained by then is deleted. Main thread only.

namespace engine {

class Ref {
public:
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    virtual ~Ref();

    void retain();
    void release();
    // Returns this; the pool releases it once after the current frame.
    Ref* autorelease();
    unsigned getReferenceCount() const { return m_referenceCount; }

protected:
    Ref() = default;

private:
    unsigned m_referenceCount = 1;
};

// A member function taking the frame's elapsed seconds, for Node::schedule(selector, interval).
using SEL_SCHEDULE = void (Ref::*)(float);

}  // namespace engine
