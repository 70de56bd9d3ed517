// Anchors, positions, scale and bounding boxes; child order.
#include "EngineTestSupport.h"

using namespace engine;
using enginetest::HeadlessTest;

namespace {

class NodeGeometryTest : public HeadlessTest {};

TEST_F(NodeGeometryTest, DefaultAnchorsPerKind) {
    const std::string png = enginetest::makePng("a.png", 10, 10, {255, 0, 0, 255});
    struct Row {
        const char* kind;
        Node* node;
        Vec2 anchor;
    };
    const Row rows[] = {
        {"Node", Node::create(), Vec2(0, 0)},
        {"Sprite", Sprite::create(png), Vec2(0.5f, 0.5f)},
        {"Label", Label::createWithTTF("x", enginetest::fontPath(), 20), Vec2(0.5f, 0.5f)},
        {"Button", ui::Button::create(png), Vec2(0.5f, 0.5f)},
        {"LabelAtlas", LabelAtlas::create("1", "num.png", 14, 21, '0'), Vec2(0, 0)},
        {"Layer", Layer::create(), Vec2(0, 0)},
        {"Scene", Scene::create(), Vec2(0, 0)},
    };
    for (const Row& row : rows) {
        ASSERT_NE(row.node, nullptr) << row.kind;
        EXPECT_EQ(row.node->getAnchorPoint(), row.anchor) << row.kind;
    }
}

TEST_F(NodeGeometryTest, SceneAndLayerFillTheVisibleSizeAtTheOrigin) {
    EXPECT_EQ(Director::getInstance()->getVisibleSize(), Size(1024, 768));
    Layer* layer = Layer::create();
    EXPECT_EQ(layer->getContentSize(), Size(1024, 768));
    EXPECT_EQ(layer->getBoundingBox(), Rect(0, 0, 1024, 768));
}

TEST_F(NodeGeometryTest, BoundingBoxIsTheScaledBoxAroundTheAnchor) {
    struct Row {
        Vec2 anchor;
        float scale;
        Rect box;
    };
    const Row rows[] = {
        {Vec2(0.5f, 0.5f), 1.0f, Rect(50, 60, 100, 40)},
        {Vec2(0.5f, 0.5f), 0.5f, Rect(75, 70, 50, 20)},
        {Vec2(0, 0), 2.0f, Rect(100, 80, 200, 80)},
        {Vec2(1, 1), 1.0f, Rect(0, 40, 100, 40)},
    };
    for (const Row& row : rows) {
        Node* node = Node::create();
        node->setContentSize(Size(100, 40));
        node->setAnchorPoint(row.anchor);
        node->setScale(row.scale);
        node->setPosition(100, 80);
        EXPECT_EQ(node->getBoundingBox(), row.box) << row.anchor.x << "," << row.scale;
    }
}

TEST_F(NodeGeometryTest, ChildCoordinatesStartAtTheParentsLowerLeftCorner) {
    Node* card = Node::create();
    card->setContentSize(Size(98, 138));
    card->setAnchorPoint(Vec2(0.5f, 0.5f));
    card->setPosition(200, 100);
    Node* glyph = Node::create();
    glyph->setContentSize(Size(39, 39));
    glyph->setAnchorPoint(Vec2(0.5f, 0.5f));
    glyph->setScale(0.4f);
    glyph->setPosition(12, 118);
    card->addChild(glyph);
    const Vec2 centre = glyph->convertToWorldSpace(Vec2(19.5f, 19.5f));
    EXPECT_FLOAT_EQ(centre.x, 200 - 49 + 12);
    EXPECT_FLOAT_EQ(centre.y, 100 - 69 + 118);
    EXPECT_NEAR(glyph->getBoundingBox().size.width, 15.6f, 1e-4);
    const Vec2 back = card->convertToNodeSpace(Vec2(151, 31));
    EXPECT_FLOAT_EQ(back.x, 0);
    EXPECT_FLOAT_EQ(back.y, 0);
}

TEST_F(NodeGeometryTest, DrawOrderIsByZThenInsertionWithNegativeZBeforeTheParent) {
    Node* parent = Node::create();
    Node* a = Node::create();
    Node* b = Node::create();
    Node* c = Node::create();
    Node* back = Node::create();
    Node* hidden = Node::create();
    parent->addChild(a, 2);
    parent->addChild(b, 1);
    parent->addChild(c, 2);
    parent->addChild(back, -1);
    parent->addChild(hidden, 5);
    hidden->addChild(Node::create());
    hidden->setVisible(false);
    std::vector<const Node*> order;
    parent->collectVisibleInDrawOrder(order);
    EXPECT_EQ(order, (std::vector<const Node*>{back, parent, b, a, c}));

    b->setLocalZOrder(3);  // a reorder counts as a new arrival among equals
    order.clear();
    parent->collectVisibleInDrawOrder(order);
    EXPECT_EQ(order, (std::vector<const Node*>{back, parent, a, c, b}));
}

TEST_F(NodeGeometryTest, ChildrenByTagAndNameAndRemoval) {
    Node* parent = Node::create();
    Node* tagged = Node::create();
    parent->addChild(tagged, 0, 7);
    Node* named = Node::create();
    parent->addChild(named, 0, "named");
    EXPECT_EQ(parent->getChildByTag(7), tagged);
    EXPECT_EQ(parent->getChildByName("named"), named);
    EXPECT_EQ(tagged->getParent(), parent);
    tagged->removeFromParent();
    EXPECT_EQ(parent->getChildrenCount(), 1u);
    parent->removeAllChildren();
    EXPECT_EQ(parent->getChildrenCount(), 0u);
}

}  // namespace
