#include "engine/platform/MessageBox.h"

#include "engine/platform/Backend.h"

namespace engine {

void MessageBox(const std::string& text, const std::string& title) {
    backend().showMessageBox(text, title);
}

}  // namespace engine
