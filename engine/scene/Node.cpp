#include "engine/scene/Node.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "engine/base/Create.h"
#include "engine/input/EventDispatcher.h"
#include "engine/platform/Backend.h"
#include "engine/platform/GLView.h"
#include "engine/scene/Director.h"
#include "engine/scene/Scheduler.h"

namespace engine {

namespace {

std::uint64_t g_nextOrderOfArrival = 1;

std::string selectorKey(SEL_SCHEDULE selector) {
    unsigned char bytes[sizeof(SEL_SCHEDULE)];
    std::memcpy(bytes, &selector, sizeof(bytes));
    static const char* digits = "0123456789abcdef";
    std::string key = "selector:";
    for (unsigned char b : bytes) {
        key += digits[b >> 4];
        key += digits[b & 15];
    }
    return key;
}

void markDirty() {
    Director::setNeedsRedraw();
}

}  // namespace

Node::Node() = default;

Node* Node::create() {
    return createAutoreleased(new Node());
}

Node::~Node() {
    Director* director = Director::getInstance();
    director->getScheduler()->unscheduleAllForTarget(this);
    director->getEventDispatcher()->removeEventListenersForTarget(this);
    for (Node* child : m_children) {
        child->m_parent = nullptr;
        child->release();
    }
    m_children.clear();
}

// ---- Children

void Node::addChild(Node* child) {
    addChild(child, child ? child->m_localZOrder : 0);
}

void Node::addChild(Node* child, int localZOrder) {
    assert(child && "addChild: null child");
    assert(child->m_parent == nullptr && "addChild: the child already has a parent");
    assert(child != this && "addChild: a node cannot be its own child");
    if (!child || child->m_parent) {
        return;
    }
    child->retain();
    child->m_parent = this;
    child->m_localZOrder = localZOrder;
    child->m_orderOfArrival = g_nextOrderOfArrival++;
    m_children.push_back(child);
    m_childrenOrderDirty = true;
    if (m_running) {
        child->onEnter();
        child->onEnterTransitionDidFinish();
    }
    markDirty();
}

void Node::addChild(Node* child, int localZOrder, int tag) {
    addChild(child, localZOrder);
    if (child) {
        child->setTag(tag);
    }
}

void Node::addChild(Node* child, int localZOrder, const std::string& name) {
    addChild(child, localZOrder);
    if (child) {
        child->setName(name);
    }
}

void Node::removeChild(Node* child, bool cleanup) {
    auto found = std::find(m_children.begin(), m_children.end(), child);
    if (!child || found == m_children.end()) {
        return;
    }
    if (m_running) {
        child->onExitTransitionDidStart();
        child->onExit();
    }
    if (cleanup) {
        child->cleanup();
    }
    m_children.erase(found);
    child->m_parent = nullptr;
    child->release();
    markDirty();
}

void Node::removeFromParentAndCleanup(bool cleanup) {
    if (m_parent) {
        m_parent->removeChild(this, cleanup);
    }
}

void Node::removeAllChildrenWithCleanup(bool cleanup) {
    while (!m_children.empty()) {
        removeChild(m_children.back(), cleanup);
    }
}

Node* Node::getChildByTag(int tag) const {
    for (Node* child : m_children) {
        if (child->m_tag == tag) {
            return child;
        }
    }
    return nullptr;
}

Node* Node::getChildByName(const std::string& name) const {
    for (Node* child : m_children) {
        if (child->m_name == name) {
            return child;
        }
    }
    return nullptr;
}

// ---- Geometry

void Node::setPosition(const Vec2& position) {
    if (!(position == m_position)) {
        m_position = position;
        markDirty();
    }
}

void Node::getPosition(float* x, float* y) const {
    *x = m_position.x;
    *y = m_position.y;
}

void Node::setAnchorPoint(const Vec2& anchor) {
    if (!(anchor == m_anchorPoint)) {
        m_anchorPoint = anchor;
        markDirty();
    }
}

void Node::setContentSize(const Size& size) {
    if (!(size == m_contentSize)) {
        m_contentSize = size;
        markDirty();
    }
}

void Node::setScale(float scaleX, float scaleY) {
    if (scaleX != m_scaleX || scaleY != m_scaleY) {
        m_scaleX = scaleX;
        m_scaleY = scaleY;
        markDirty();
    }
}

AffineTransform Node::getNodeToParentTransform() const {
    const float ax = m_anchorPoint.x * m_contentSize.width;
    const float ay = m_anchorPoint.y * m_contentSize.height;
    return {m_scaleX, m_scaleY, m_position.x - ax * m_scaleX, m_position.y - ay * m_scaleY};
}

AffineTransform Node::getNodeToWorldTransform() const {
    AffineTransform t = getNodeToParentTransform();
    for (const Node* p = m_parent; p; p = p->m_parent) {
        t = p->getNodeToParentTransform() * t;
    }
    return t;
}

Rect Node::getBoundingBox() const {
    return getNodeToParentTransform().apply(Rect(Vec2::ZERO, m_contentSize));
}

Vec2 Node::convertToNodeSpace(const Vec2& worldPoint) const {
    return getNodeToWorldTransform().inverse().apply(worldPoint);
}

Vec2 Node::convertToWorldSpace(const Vec2& nodePoint) const {
    return getNodeToWorldTransform().apply(nodePoint);
}

// ---- Order, looks

void Node::setLocalZOrder(int z) {
    if (z == m_localZOrder) {
        return;
    }
    m_localZOrder = z;
    if (m_parent) {
        m_orderOfArrival = g_nextOrderOfArrival++;
        m_parent->m_childrenOrderDirty = true;
    }
    markDirty();
}

void Node::setVisible(bool visible) {
    if (visible != m_visible) {
        m_visible = visible;
        markDirty();
    }
}

void Node::setColor(const Color3B& color) {
    if (!(color == m_color)) {
        m_color = color;
        markDirty();
    }
}

void Node::setOpacity(std::uint8_t opacity) {
    if (opacity != m_opacity) {
        m_opacity = opacity;
        markDirty();
    }
}

// ---- Life

void Node::onEnter() {
    m_running = true;
    getScheduler()->resumeTarget(this);
    // A copy: a child's onEnter may add or remove children.
    std::vector<Node*> children = m_children;
    for (Node* child : children) {
        child->onEnter();
    }
}

void Node::onExit() {
    std::vector<Node*> children = m_children;
    for (Node* child : children) {
        child->onExit();
    }
    getScheduler()->pauseTarget(this);
    m_running = false;
}

void Node::cleanup() {
    getScheduler()->unscheduleAllForTarget(this);
    getEventDispatcher()->removeEventListenersForTarget(this);
    std::vector<Node*> children = m_children;
    for (Node* child : children) {
        child->cleanup();
    }
}

// ---- Timers

Scheduler* Node::getScheduler() const {
    return Director::getInstance()->getScheduler();
}

EventDispatcher* Node::getEventDispatcher() const {
    return Director::getInstance()->getEventDispatcher();
}

void Node::schedule(SEL_SCHEDULE selector, float interval) {
    schedule(selector, interval, CC_REPEAT_FOREVER, 0.0f);
}

void Node::schedule(SEL_SCHEDULE selector, float interval, unsigned repeat, float delay) {
    schedule([this, selector](float dt) { (this->*selector)(dt); }, interval, repeat, delay,
             selectorKey(selector));
}

void Node::scheduleOnce(SEL_SCHEDULE selector, float delay) {
    schedule(selector, 0, 0, delay);
}

void Node::unschedule(SEL_SCHEDULE selector) {
    unschedule(selectorKey(selector));
}

bool Node::isScheduled(SEL_SCHEDULE selector) const {
    return isScheduled(selectorKey(selector));
}

void Node::schedule(const std::function<void(float)>& callback, float interval,
                    const std::string& key) {
    schedule(callback, interval, CC_REPEAT_FOREVER, 0.0f, key);
}

void Node::schedule(const std::function<void(float)>& callback, const std::string& key) {
    schedule(callback, 0.0f, key);
}

void Node::schedule(const std::function<void(float)>& callback, float interval, unsigned repeat,
                    float delay, const std::string& key) {
    getScheduler()->schedule(callback, this, interval, repeat, delay, !m_running, key);
}

void Node::schedule(const std::function<void(float)>& callback, float interval) {
    schedule(callback, interval, "anonymous:" + std::to_string(++m_anonymousKeys));
}

void Node::scheduleOnce(const std::function<void(float)>& callback, float delay,
                        const std::string& key) {
    schedule(callback, 0, 0, delay, key);
}

void Node::unschedule(const std::string& key) {
    getScheduler()->unschedule(key, this);
}

bool Node::isScheduled(const std::string& key) const {
    return getScheduler()->isScheduled(key, this);
}

void Node::unscheduleAllCallbacks() {
    getScheduler()->unscheduleAllForTarget(this);
}

// ---- Drawing

void Node::sortChildren() const {
    if (!m_childrenOrderDirty) {
        return;
    }
    std::stable_sort(m_children.begin(), m_children.end(), [](const Node* a, const Node* b) {
        if (a->m_localZOrder != b->m_localZOrder) {
            return a->m_localZOrder < b->m_localZOrder;
        }
        return a->m_orderOfArrival < b->m_orderOfArrival;
    });
    m_childrenOrderDirty = false;
}

void Node::visit(const AffineTransform& parentToWorld) {
    if (!m_visible) {
        return;
    }
    const AffineTransform toWorld = parentToWorld * getNodeToParentTransform();
    sortChildren();
    size_t i = 0;
    for (; i < m_children.size() && m_children[i]->m_localZOrder < 0; ++i) {
        m_children[i]->visit(toWorld);
    }
    draw(toWorld);
    for (; i < m_children.size(); ++i) {
        m_children[i]->visit(toWorld);
    }
}

void Node::collectVisibleInDrawOrder(std::vector<const Node*>& out) const {
    if (!m_visible) {
        return;
    }
    sortChildren();
    size_t i = 0;
    for (; i < m_children.size() && m_children[i]->m_localZOrder < 0; ++i) {
        m_children[i]->collectVisibleInDrawOrder(out);
    }
    out.push_back(this);
    for (; i < m_children.size(); ++i) {
        m_children[i]->collectVisibleInDrawOrder(out);
    }
}

void Node::drawTexture(const Texture& texture, const Rect& source, const Rect& local,
                       const AffineTransform& toWorld) const {
    const GLView* view = Director::getInstance()->getOpenGLView();
    if (!view || m_opacity == 0) {
        return;
    }
    const PixelRect target = view->designToWindow(toWorld.apply(local));
    const PixelRect from{source.origin.x, source.origin.y, source.size.width, source.size.height};
    backend().draw(texture, from, target, DrawColor{m_color.r, m_color.g, m_color.b, m_opacity});
}

}  // namespace engine
