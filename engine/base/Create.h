#pragma once
// Two-phase creation behind every create(): `init(object)` runs on the new object; on success the
// object is autoreleased and returned, on failure it is deleted and null is returned.

namespace engine {

template <typename T, typename Init>
T* createAutoreleased(T* object, Init&& init) {
    if (init(object)) {
        object->autorelease();
        return object;
    }
    delete object;
    return nullptr;
}

// The usual case: the object's own init().
template <typename T>
T* createAutoreleased(T* object) {
    return createAutoreleased(object, [](T* o) { return o->init(); });
}

}  // namespace engine
