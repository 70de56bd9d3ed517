#pragma once
// A one-line text field: shows the text typed so far, the input method's composition after it
// (in its own colour, underlined by the input method's own window where it has one), and a
// blinking caret. Text input is on only while the field is attached (a tap on it, or attach());
// it is turned off again by detach(), on leaving the scene, or when another field attaches.
//
//   while attached                            effect
//   TextInput (committed text)                appended, cut to the limit at a whole code point;
//                                             the composition is cleared
//   TextEditing                               shown as the composition; the text is unchanged
//   Backspace, no composition                 the last code point removed
//   Enter / keypad Enter, no composition      onSubmit(text)
//   Backspace or Enter while composing        nothing (the input method edits its composition)
//   any key but Escape                        stopped here: no listener behind the field hears it
//   Escape                                    passed on (the panel around the field decides)
// Not attached, the field hears no key and gets no text. Main thread only.

#include <functional>
#include <string>

#include "engine/input/EventKeyboard.h"
#include "engine/input/TextInputTarget.h"
#include "engine/ui/Widget.h"

namespace engine {
class EventListenerKeyboard;
class Label;
}  // namespace engine

namespace engine::ui {

class TextField : public Widget, public TextInputTarget {
public:
    static constexpr float kCaretBlink = 0.5f;  // seconds shown, then hidden

    // A field of `size` (design points) drawing its text with `fontPath` at `fontSize`.
    static TextField* create(const std::string& fontPath, float fontSize, const Size& size);
    bool initWithFont(const std::string& fontPath, float fontSize, const Size& size);
    ~TextField() override;

    // ---- Text
    // The committed text; setString cuts it to the limit.
    void setString(const std::string& text);
    const std::string& getString() const { return m_text; }
    const std::string& getComposition() const { return m_composition; }
    // At most this many code points (0: no limit). Applies to the text from now on.
    void setMaxLength(int codePoints) { m_maxLength = codePoints; }
    void setTextColor(const Color3B& text, const Color3B& composition);

    // ---- Focus
    void attach();
    void detach();
    bool isAttached() const { return m_attached; }

    // Called after every change of the text (not of the composition), and on Enter.
    std::function<void(const std::string&)> onChanged;
    std::function<void(const std::string&)> onSubmit;

    // ---- TextInputTarget (the director calls these while attached)
    void onTextInput(const std::string& text) override;
    void onTextEditing(const std::string& text, int cursor) override;

    // The labels, for tests that look at what is shown.
    const Label* textLabel() const { return m_lblText; }
    const Label* compositionLabel() const { return m_lblComposition; }
    const Label* caretLabel() const { return m_lblCaret; }

protected:
    TextField() = default;
    void onEnter() override;
    void onExit() override;

private:
    void onKey(EventKeyboard::KeyCode key, Event* event);
    // Places the composition and caret after the text.
    void layoutText();
    void changed();

    std::string m_text;
    std::string m_composition;
    int m_maxLength = 0;
    bool m_attached = false;
    Label* m_lblText = nullptr;         // child
    Label* m_lblComposition = nullptr;  // child
    Label* m_lblCaret = nullptr;        // child
    EventListenerKeyboard* m_keys = nullptr;  // retained
};

}  // namespace engine::ui
