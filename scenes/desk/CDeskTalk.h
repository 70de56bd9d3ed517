#pragma once
// Table talk at the desk: the 聊天 button and its panel, each seat's bubble, and the mute toggles
// by the other seats' names. The server passes talk on only when its hello answer offered it, so
// without that none of these shows and nothing is sent.
//
//   element        where (W x H visible)                         shown
//   聊天 button    top row, left of the 托管 button's place        while the link offers talk
//   panel          under the button, right-aligned                after a press on the button
//   bubble         by each seat (bubbleAt, by screen position)    kTalkBubbleSeconds after a talk
//                                                                  of that seat, unless muted
//   屏蔽 / 已屏蔽   left of the other seats' names                 while the link offers talk and
//                                                                  the seat has a player
// A talk sent shows when the server passes it back, as everyone else sees it. The widgets are
// children of the desk layer the part was made for. Main thread only.

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "engine/Engine.h"
#include "models/desk/PlayerInfo.h"
#include "models/desk/TableTalk.h"

class CTalkBubble;
class CTalkPanel;
template <class Panel>
class CLazyPanel;

class CDeskTalk {
public:
    struct Host {
        std::function<void(int say)> send;                // sends phrase or emote `say`
        std::function<std::string(int position)> nameAt;  // the player at a screen position
    };
    // Each seat's name label by screen position, for the mute tags beside them.
    using NameLabels = std::array<const engine::Label*, kSeatCount>;

    // The button, the panel's place, the bubbles and the tags on `layer`; the button left of the
    // 托管 button's place in the top row of a return button of `returnSize`. Null when one
    // cannot be made.
    static std::unique_ptr<CDeskTalk> create(engine::Node& layer, const engine::Size& returnSize,
                                             const NameLabels& names, Host host);

    // The button and the tags follow the link's offer, the seats' names and the mutes; a
    // spectator says nothing.
    void showControls(bool watching);
    // Sends `say` when the link offers talk and the player's rate allows.
    void say(int say);
    // A talk of the player `name` at screen position `position`: the bubble and a soft sound,
    // unless the player is muted or `say` is none.
    void hear(int position, const std::string& name, int say);
    void hideBubbles();

    engine::ui::Button* button() const { return m_btnTalk; }
    CLazyPanel<CTalkPanel>* panel() const { return m_panel; }
    CTalkBubble* bubble(int position) const { return m_bubbles.at(position); }
    engine::Label* muteTag(int position) const { return m_muteTags.at(position); }

private:
    explicit CDeskTalk(Host host) : m_host(std::move(host)) {}
    bool build(engine::Node& layer, const engine::Size& returnSize, const NameLabels& names);
    void toggleMute(int position);

    Host m_host;
    bool m_watching = false;
    engine::ui::Button* m_btnTalk = nullptr;              // the scene graph owns the widgets
    CLazyPanel<CTalkPanel>* m_panel = nullptr;            // the panel is built at the first 聊天
    std::array<CTalkBubble*, kSeatCount> m_bubbles{};     // by screen position
    std::array<engine::Label*, kSeatCount> m_muteTags{};  // by screen position; 0 never shown
    TalkRate m_rate;                                      // the player's own talks
};
