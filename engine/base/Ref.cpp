#include "engine/base/Ref.h"

#include <cassert>

#include "engine/base/AutoreleasePool.h"

namespace engine {

Ref::~Ref() = default;

void Ref::retain() {
    assert(m_referenceCount > 0 && "retain on a released object");
    ++m_referenceCount;
}

void Ref::release() {
    assert(m_referenceCount > 0 && "release of an object already released");
    if (--m_referenceCount == 0) {
        delete this;
    }
}

Ref* Ref::autorelease() {
    AutoreleasePool::getInstance()->addObject(this);
    return this;
}

}  // namespace engine
