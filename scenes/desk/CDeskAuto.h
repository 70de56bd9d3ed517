#pragma once
// 托管 at the desk: the 托管 button and, while the server plays the local seat, the banner with
// 取消托管. The buttons only ask; what shows follows the server's "presence" alone, so a press
// the server ignores changes nothing on the screen.
//
//   element          where (W x H visible)                          shown
//   托管 button       top right, left of the settings gear             during a game, when the
//                                                                    server answered hello, and
//                                                                    the seat is not in 托管
//   banner           (W/2, 150), between the hand and the local       while presence says auto
//                    seat's played cards, over the turn buttons'      for the local seat
//                    row: "托管中" left, 取消托管 right
// The widgets are children of the desk layer the part was made for. Main thread only.

#include <functional>
#include <memory>

#include "engine/Engine.h"

class CDeskAuto {
public:
    // Asks the server to play the local seat (true) or to stop.
    using Ask = std::function<void(bool on)>;

    // The button and the banner on `layer`, the button left of the settings gear that stands
    // left of a return button of `returnSize`; null when one cannot be made.
    static std::unique_ptr<CDeskAuto> create(engine::Node& layer, const engine::Size& returnSize,
                                             Ask ask);

    bool localAuto() const { return m_localAuto; }
    // Presence says whether the server plays the local seat; true when that changed.
    bool setLocal(bool on);
    // 托管 is offered during a game (`gameRunning`) to a seated player whose server knows it.
    void show(bool gameRunning, bool watching);
    // The A key: 托管 while offered, 取消托管 while the banner shows; true when taken.
    bool pressKey();

    engine::ui::Button* autoButton() const { return m_btnAuto; }
    engine::ui::Button* cancelButton() const { return m_btnCancel; }
    engine::Sprite* banner() const { return m_banner; }

private:
    explicit CDeskAuto(Ask ask) : m_ask(std::move(ask)) {}
    void onAutoButton(engine::Ref* sender, engine::ui::Widget::TouchEventType type);
    void onCancelButton(engine::Ref* sender, engine::ui::Widget::TouchEventType type);

    Ask m_ask;
    bool m_localAuto = false;                 // the server's presence says it plays the local seat
    engine::ui::Button* m_btnAuto = nullptr;  // the scene graph owns the widgets
    engine::ui::Button* m_btnCancel = nullptr;  // a child of m_banner
    engine::Sprite* m_banner = nullptr;         // "托管中", with its text as a child
};
