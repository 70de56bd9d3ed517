#include "engine/platform/Clipboard.h"

#include "engine/platform/Backend.h"

namespace engine {

bool setClipboardText(const std::string& text) {
    return backend().setClipboardText(text);
}

std::string getClipboardText() {
    return backend().clipboardText();
}

}  // namespace engine
