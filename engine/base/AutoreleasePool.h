#pragma once
// The pool of autoreleased objects: each added object is released once when the pool is cleared.
// The director clears it after every frame. Main thread only.

#include <cstddef>
#include <vector>

namespace engine {

class Ref;

class AutoreleasePool {
public:
    static AutoreleasePool* getInstance();

    void addObject(Ref* object);
    // Releases every object added so far; objects autoreleased during the clearing stay for the
    // next clear.
    void clear();
    bool contains(const Ref* object) const;
    size_t size() const { return m_objects.size(); }

private:
    std::vector<Ref*> m_objects;
};

}  // namespace engine
