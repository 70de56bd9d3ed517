#pragma once
// What receives typed text: the one text field attached to the director's text input (see
// Director::attachTextInput). Keys still go to the keyboard listeners; text arrives only here.
// Main thread only.

#include <string>

namespace engine {

class TextInputTarget {
public:
    virtual ~TextInputTarget() = default;
    // Text committed: a typed character, or what the input method composed (UTF-8).
    virtual void onTextInput(const std::string& text) = 0;
    // The input method's composition so far ("" when cleared), its cursor at code point `cursor`.
    virtual void onTextEditing(const std::string& text, int cursor) = 0;
};

}  // namespace engine
