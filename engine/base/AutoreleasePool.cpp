#include "engine/base/AutoreleasePool.h"

#include <algorithm>

#include "engine/base/Ref.h"

namespace engine {

AutoreleasePool* AutoreleasePool::getInstance() {
    // Never destroyed: objects may still be pooled while the process exits.
    static AutoreleasePool* pool = new AutoreleasePool();
    return pool;
}

void AutoreleasePool::addObject(Ref* object) {
    m_objects.push_back(object);
}

void AutoreleasePool::clear() {
    std::vector<Ref*> releasing;
    releasing.swap(m_objects);
    for (Ref* object : releasing) {
        object->release();
    }
}

bool AutoreleasePool::contains(const Ref* object) const {
    return std::find(m_objects.begin(), m_objects.end(), object) != m_objects.end();
}

}  // namespace engine
