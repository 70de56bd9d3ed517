#pragma once
// Base of the touchable widgets: hit testing and the press/drag/release states.
//
//   touch begins on it (visible, enabled, touch enabled)  swallows it; highlighted; BEGAN
//   touch begins elsewhere, or widget disabled           not taken; nothing reported
//   touch moves                                          highlighted = point on it; MOVED
//   touch ends, highlighted (released on it)             ENDED, then the click callback
//   touch ends, not highlighted (released off it)        CANCELED
//   disabled while the touch is held                     nothing more
//
// A callback may remove the widget or replace its scene: the widget is retained while it runs.

#include <functional>

#include "engine/scene/Node.h"

namespace engine {

class EventListenerTouchOneByOne;
class Event;
class Touch;

namespace ui {

class Widget : public Node {
public:
    enum class TouchEventType { BEGAN, MOVED, ENDED, CANCELED };
    enum class TextureResType { LOCAL = 0, PLIST = 1 };
    using ccWidgetTouchCallback = std::function<void(Ref*, TouchEventType)>;
    using ccWidgetClickCallback = std::function<void(Ref*)>;

    static Widget* create();
    bool init() override;
    ~Widget() override;

    void addTouchEventListener(const ccWidgetTouchCallback& callback) {
        m_touchCallback = callback;
    }
    void addClickEventListener(const ccWidgetClickCallback& callback) {
        m_clickCallback = callback;
    }

    // A disabled widget shows its disabled look and takes no touch.
    virtual void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }
    void setTouchEnabled(bool enabled) { m_touchEnabled = enabled; }
    bool isBright() const { return m_bright; }
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool highlighted);
    // Whether `worldPoint` (design coordinates) falls on the widget's content box.
    virtual bool hitTest(const Vec2& worldPoint) const;

    virtual bool onTouchBegan(Touch* touch, Event* event);
    virtual void onTouchMoved(Touch* touch, Event* event);
    virtual void onTouchEnded(Touch* touch, Event* event);
    virtual void onTouchCancelled(Touch* touch, Event* event);

protected:
    Widget();
    // The look changed (enabled, bright or highlighted).
    virtual void onPressStateChanged() {}
    void onEnter() override;

private:
    void report(TouchEventType type);
    bool isShownOnScreen() const;

    ccWidgetTouchCallback m_touchCallback;
    ccWidgetClickCallback m_clickCallback;
    EventListenerTouchOneByOne* m_listener = nullptr;  // retained
    bool m_enabled = true;
    bool m_touchEnabled = false;
    bool m_bright = true;
    bool m_highlighted = false;
};

}  // namespace ui
}  // namespace engine
