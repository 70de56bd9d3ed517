#pragma once
// The system's modal message box. Any thread; blocks the calling thread until dismissed (the
// headless back end records the box and returns at once). Texts are UTF-8.

#include <string>

#ifdef MessageBox
#undef MessageBox  // the Windows headers' macro
#endif

namespace engine {

void MessageBox(const std::string& text, const std::string& title);

}  // namespace engine
