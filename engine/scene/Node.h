#pragma once
// The scene graph's element: a position in its parent, an anchor point, a size, a scale, a
// z-order, visibility, a tint; children; timers that run while the node is in the running scene.
//
// Coordinates: origin bottom-left, y up. The anchor point (fractions of the content size, (0, 0)
// for a plain Node) is the point placed at `position` in the parent; scale applies around it.
// Children are drawn after their parent in ascending local z-order (ties in the order they were
// added), except children with a negative z, which are drawn before it. An invisible node and its
// children are neither drawn nor offered touches. Every change that shows marks the frame for
// redrawing. Main thread only.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/base/Color.h"
#include "engine/base/Macros.h"
#include "engine/base/Rect.h"
#include "engine/base/Ref.h"
#include "engine/scene/AffineTransform.h"

namespace engine {

class EventDispatcher;
class Scheduler;
class Texture;

class Node : public Ref {
public:
    static constexpr int INVALID_TAG = -1;

    static Node* create();
    virtual bool init() { return true; }
    ~Node() override;

    // ---- Children. addChild retains; removeChild releases (and with `cleanup` also stops the
    // child's timers and touch listeners, recursively).
    virtual void addChild(Node* child);
    virtual void addChild(Node* child, int localZOrder);
    virtual void addChild(Node* child, int localZOrder, int tag);
    virtual void addChild(Node* child, int localZOrder, const std::string& name);
    virtual void removeChild(Node* child, bool cleanup = true);
    void removeFromParent() { removeFromParentAndCleanup(true); }
    void removeFromParentAndCleanup(bool cleanup);
    virtual void removeAllChildren() { removeAllChildrenWithCleanup(true); }
    virtual void removeAllChildrenWithCleanup(bool cleanup);
    const std::vector<Node*>& getChildren() const { return m_children; }
    size_t getChildrenCount() const { return m_children.size(); }
    Node* getChildByTag(int tag) const;
    Node* getChildByName(const std::string& name) const;
    Node* getParent() const { return m_parent; }

    // ---- Geometry (points)
    virtual void setPosition(const Vec2& position);
    void setPosition(float x, float y) { setPosition(Vec2(x, y)); }
    const Vec2& getPosition() const { return m_position; }
    void getPosition(float* x, float* y) const;
    float getPositionX() const { return m_position.x; }
    float getPositionY() const { return m_position.y; }
    virtual void setAnchorPoint(const Vec2& anchor);
    const Vec2& getAnchorPoint() const { return m_anchorPoint; }
    virtual void setContentSize(const Size& size);
    const Size& getContentSize() const { return m_contentSize; }
    virtual void setScale(float scale) { setScale(scale, scale); }
    virtual void setScale(float scaleX, float scaleY);
    void setScaleX(float scaleX) { setScale(scaleX, m_scaleY); }
    float getScale() const { return m_scaleX; }
    float getScaleX() const { return m_scaleX; }
    // The content box, scaled, in the parent's coordinates.
    Rect getBoundingBox() const;
    AffineTransform getNodeToParentTransform() const;
    AffineTransform getNodeToWorldTransform() const;
    Vec2 convertToNodeSpace(const Vec2& worldPoint) const;
    Vec2 convertToWorldSpace(const Vec2& nodePoint) const;

    // ---- Order, identity, looks
    virtual void setLocalZOrder(int z);
    int getLocalZOrder() const { return m_localZOrder; }
    void setTag(int tag) { m_tag = tag; }
    void setName(const std::string& name) { m_name = name; }
    virtual void setVisible(bool visible);
    bool isVisible() const { return m_visible; }
    // Tint multiplied into what the node draws (its own drawing only, not its children's).
    virtual void setColor(const Color3B& color);
    const Color3B& getColor() const { return m_color; }
    virtual void setOpacity(std::uint8_t opacity);

    // ---- Life in the running scene
    bool isRunning() const { return m_running; }
    virtual void onEnter();
    virtual void onEnterTransitionDidFinish() {}
    virtual void onExitTransitionDidStart() {}
    virtual void onExit();
    // Stops this node's timers and touch listeners and its children's.
    virtual void cleanup();

    // ---- Timers (run on the main thread while the node is running; see Scheduler)
    // `selector` is a member function of this node, e.g. CC_SCHEDULE_SELECTOR(CHall::poll).
    void schedule(SEL_SCHEDULE selector, float interval);
    void schedule(SEL_SCHEDULE selector, float interval, unsigned repeat, float delay);
    void scheduleOnce(SEL_SCHEDULE selector, float delay);
    void unschedule(SEL_SCHEDULE selector);
    bool isScheduled(SEL_SCHEDULE selector) const;
    // Callbacks under a key; scheduling a key again only updates its interval.
    void schedule(const std::function<void(float)>& callback, float interval,
                  const std::string& key);
    void schedule(const std::function<void(float)>& callback, const std::string& key);
    void schedule(const std::function<void(float)>& callback, float interval, unsigned repeat,
                  float delay, const std::string& key);
    // Under a key of its own; unscheduleAllCallbacks stops it.
    void schedule(const std::function<void(float)>& callback, float interval);
    void scheduleOnce(const std::function<void(float)>& callback, float delay,
                      const std::string& key);
    void unschedule(const std::string& key);
    bool isScheduled(const std::string& key) const;
    void unscheduleAllCallbacks();

    Scheduler* getScheduler() const;
    EventDispatcher* getEventDispatcher() const;

    // ---- Drawing (called by the director)
    // Draws this node and its children under the parent's node-to-world transform.
    void visit(const AffineTransform& parentToWorld);
    // Lists the visible nodes below and including this one, in drawing order.
    void collectVisibleInDrawOrder(std::vector<const Node*>& out) const;

protected:
    Node();
    // Draws this node's own content; `toWorld` maps its content box to design coordinates.
    virtual void draw(const AffineTransform& toWorld) { (void)toWorld; }
    // Draws `source` (texture pixels, origin top-left) of `texture` into `local` (this node's
    // coordinates) with this node's colour and opacity.
    void drawTexture(const Texture& texture, const Rect& source, const Rect& local,
                     const AffineTransform& toWorld) const;
    void sortChildren() const;

private:
    Node* m_parent = nullptr;
    mutable std::vector<Node*> m_children;  // retained; sorted lazily for drawing
    mutable bool m_childrenOrderDirty = false;
    std::uint64_t m_orderOfArrival = 0;
    Vec2 m_position;
    Vec2 m_anchorPoint;
    Size m_contentSize;
    float m_scaleX = 1;
    float m_scaleY = 1;
    int m_localZOrder = 0;
    int m_tag = INVALID_TAG;
    std::string m_name;
    bool m_visible = true;
    bool m_running = false;
    Color3B m_color = Color3B::WHITE;
    std::uint8_t m_opacity = 255;
    unsigned m_anonymousKeys = 0;
};

}  // namespace engine
