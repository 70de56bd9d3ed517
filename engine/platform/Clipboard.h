#pragma once
// The system's clipboard, for text. Main thread only. The headless back end keeps the text in
// memory, so tests read back what a scene copied. Texts are UTF-8.

#include <string>

namespace engine {

// False when the system refused (the clipboard unchanged).
bool setClipboardText(const std::string& text);
// The clipboard's text; empty when it holds none.
std::string getClipboardText();

}  // namespace engine
