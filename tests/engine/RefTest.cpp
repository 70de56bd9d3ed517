// Ref counting, two-phase creation and the autorelease pool.
#include "EngineTestSupport.h"

using namespace engine;
using enginetest::HeadlessTest;
using enginetest::LifeCounter;

namespace {

class Counted : public Node {
public:
    static Counted* create(bool succeed) {
        auto* node = new Counted();
        if (node->initWith(succeed)) {
            node->autorelease();
            return node;
        }
        delete node;
        return nullptr;
    }
    bool initWith(bool succeed) { return succeed; }
    Counted() { ++LifeCounter::alive; }
    ~Counted() override { --LifeCounter::alive; }
};

class RefTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        LifeCounter::alive = 0;
    }
};

TEST_F(RefTest, CreateAutoreleasesWithOneReference) {
    Counted* node = Counted::create(true);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->getReferenceCount(), 1u);
    EXPECT_TRUE(AutoreleasePool::getInstance()->contains(node));
}

TEST_F(RefTest, FailedInitDeletesAndReturnsNull) {
    EXPECT_EQ(Counted::create(false), nullptr);
    EXPECT_EQ(LifeCounter::alive, 0);
}

TEST_F(RefTest, UnownedObjectDiesWhenThePoolDrainsAfterAFrame) {
    Counted::create(true);
    EXPECT_EQ(LifeCounter::alive, 1);
    headless::stepFrames(1);
    EXPECT_EQ(LifeCounter::alive, 0);
}

TEST_F(RefTest, AddChildKeepsTheChildAliveAndRemoveChildReleasesIt) {
    Layer* layer = runLayer();
    Counted* child = Counted::create(true);
    layer->addChild(child);
    EXPECT_EQ(child->getReferenceCount(), 2u);
    headless::stepFrames(1);
    EXPECT_EQ(LifeCounter::alive, 1);
    EXPECT_EQ(child->getReferenceCount(), 1u);
    layer->removeChild(child, true);
    EXPECT_EQ(LifeCounter::alive, 0);
}

TEST_F(RefTest, RetainKeepsAnObjectPastThePool) {
    Counted* node = Counted::create(true);
    node->retain();
    headless::stepFrames(1);
    EXPECT_EQ(LifeCounter::alive, 1);
    node->release();
    EXPECT_EQ(LifeCounter::alive, 0);
}

TEST_F(RefTest, CreateFuncMacroFollowsTheTwoPhaseContract) {
    struct Made : Layer {
        CREATE_FUNC(Made)
    };
    Made* made = Made::create();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->getContentSize(), Size(1024, 768));
}

}  // namespace
