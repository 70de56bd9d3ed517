#pragma once
// The root of what is shown: fills the visible size at the origin. Director runs one at a time.

#include "engine/scene/Node.h"

namespace engine {

class Scene : public Node {
public:
    static Scene* create();
    bool init() override;

protected:
    Scene() = default;
};

}  // namespace engine
