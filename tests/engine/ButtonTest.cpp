// ui::Button: press, drag, release on and off, disabled, swallowing, callbacks replacing scenes.
//
//   press on, release on           BEGAN ENDED        (pressed image while held)
//   press on, drag off, release    BEGAN MOVED CANCELED
//   press off                      nothing; the touch goes to listeners below
//   disabled                       nothing; disabled image
#include "EngineTestSupport.h"

using namespace engine;
using enginetest::HeadlessTest;
using TouchEventType = ui::Widget::TouchEventType;

namespace {

const char* name(TouchEventType type) {
    switch (type) {
        case TouchEventType::BEGAN:
            return "BEGAN";
        case TouchEventType::MOVED:
            return "MOVED";
        case TouchEventType::ENDED:
            return "ENDED";
        case TouchEventType::CANCELED:
            return "CANCELED";
    }
    return "?";
}

class ButtonTest : public HeadlessTest {
protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        layer = runLayer();
        normal = enginetest::makePng("n.png", 100, 40, {255, 0, 0, 255});
        pressed = enginetest::makePng("p.png", 100, 40, {0, 255, 0, 255});
        disabled = enginetest::makePng("d.png", 100, 40, {0, 0, 255, 255});
        button = ui::Button::create(normal, pressed, disabled, ui::Widget::TextureResType::LOCAL);
        button->setPosition(Vec2(200, 100));  // covers x 150..250, y 80..120
        button->addTouchEventListener([this](Ref* sender, TouchEventType type) {
            EXPECT_EQ(sender, button);
            log += std::string(name(type)) + " ";
        });
        layer->addChild(button);
    }
    DrawColor shown() {
        headless::stepFrames(1);
        return headless::pixelAt(200.5f, 100.5f);
    }

    Layer* layer = nullptr;
    ui::Button* button = nullptr;
    std::string normal, pressed, disabled;
    std::string log;
};

TEST_F(ButtonTest, ContentSizeIsTheNormalImage) {
    EXPECT_EQ(button->getContentSize(), Size(100, 40));
    EXPECT_EQ(button->getBoundingBox(), Rect(150, 80, 100, 40));
    button->setScale(0.8f);
    EXPECT_EQ(button->getBoundingBox().size, Size(80, 32));
}

TEST_F(ButtonTest, PressAndReleaseOnItReportsBeganThenEnded) {
    EXPECT_EQ(shown().r, 255);
    headless::touchBegin(200, 100);
    EXPECT_EQ(shown().g, 255);  // pressed image while held
    EXPECT_TRUE(button->isHighlighted());
    headless::touchEnd(201, 101);
    EXPECT_EQ(shown().r, 255);
    EXPECT_EQ(log, "BEGAN ENDED ");
}

TEST_F(ButtonTest, ReleasedOffItReportsCanceled) {
    headless::touchBegin(200, 100);
    headless::touchMove(400, 100);
    headless::stepFrames(1);
    EXPECT_FALSE(button->isHighlighted());
    EXPECT_EQ(button->shownImage(), 0);
    headless::touchEnd(400, 100);
    headless::stepFrames(1);
    EXPECT_EQ(log, "BEGAN MOVED CANCELED ");
}

TEST_F(ButtonTest, DraggingBackOntoItBeforeReleaseEnds) {
    headless::touchBegin(200, 100);
    headless::touchMove(400, 100);
    headless::touchMove(210, 100);
    headless::touchEnd(210, 100);
    headless::stepFrames(1);
    EXPECT_EQ(log, "BEGAN MOVED MOVED ENDED ");
}

TEST_F(ButtonTest, ATouchOffTheButtonIsNotTakenAndReachesTheLayer) {
    int layerTouches = 0;
    auto* listener = EventListenerTouchOneByOne::create();
    listener->onTouchBegan = [&](Touch*, Event*) { return ++layerTouches > 0; };
    Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener,
                                                                                          layer);
    headless::tap(400, 100);
    EXPECT_EQ(log, "");
    EXPECT_EQ(layerTouches, 1);
    headless::tap(200, 100);  // swallowed by the button
    EXPECT_EQ(log, "BEGAN ENDED ");
    EXPECT_EQ(layerTouches, 1);
}

TEST_F(ButtonTest, DisabledShowsItsImageReportsNothingAndSwallowsNothing) {
    button->setEnabled(false);
    EXPECT_EQ(shown().b, 255);
    int layerTouches = 0;
    auto* listener = EventListenerTouchOneByOne::create();
    listener->onTouchBegan = [&](Touch*, Event*) { return ++layerTouches > 0; };
    Director::getInstance()->getEventDispatcher()->addEventListenerWithSceneGraphPriority(listener,
                                                                                          layer);
    headless::tap(200, 100);
    EXPECT_EQ(log, "");
    EXPECT_EQ(layerTouches, 1);
    button->setEnabled(true);
    EXPECT_EQ(shown().r, 255);
    headless::tap(200, 100);
    EXPECT_EQ(log, "BEGAN ENDED ");
}

TEST_F(ButtonTest, DisablingItselfOnEndedTakesEffect) {
    button->addTouchEventListener([this](Ref*, TouchEventType type) {
        log += std::string(name(type)) + " ";
        if (type == TouchEventType::ENDED) {
            button->setEnabled(false);
        }
    });
    headless::tap(200, 100);
    headless::tap(200, 100);
    EXPECT_EQ(log, "BEGAN ENDED ");
    EXPECT_EQ(button->shownImage(), 2);
}

TEST_F(ButtonTest, DisabledWhileHeldReportsNothingMore) {
    button->addTouchEventListener([this](Ref*, TouchEventType type) {
        log += std::string(name(type)) + " ";
        button->setEnabled(false);
    });
    headless::touchBegin(200, 100);
    headless::touchMove(201, 100);
    headless::touchEnd(201, 100);
    headless::stepFrames(1);
    EXPECT_EQ(log, "BEGAN ");
}

TEST_F(ButtonTest, InvisibleButtonIsNotHit) {
    button->setVisible(false);
    headless::tap(200, 100);
    EXPECT_EQ(log, "");
}

TEST_F(ButtonTest, ScaledButtonIsHitOnlyInsideItsScaledBox) {
    button->setScale(0.5f);  // covers x 175..225
    headless::tap(170, 100);
    EXPECT_EQ(log, "");
    headless::tap(180, 100);
    EXPECT_EQ(log, "BEGAN ENDED ");
}

TEST_F(ButtonTest, ACallbackMayReplaceItsOwnSceneSafely) {
    static int destroyed = 0;
    destroyed = 0;
    struct Watched : Layer {
        CREATE_FUNC(Watched)
        ~Watched() override { ++destroyed; }
    };
    auto* scene = Scene::create();
    auto* watched = Watched::create();
    scene->addChild(watched);
    auto* own = ui::Button::create(normal, pressed, disabled);
    own->setPosition(Vec2(500, 500));
    watched->addChild(own);
    own->addTouchEventListener([&](Ref*, TouchEventType type) {
        log += std::string(name(type)) + " ";
        if (type == TouchEventType::ENDED) {
            Scene* next = Scene::create();
            next->addChild(Layer::create());
            Director::getInstance()->replaceScene(next);
        }
    });
    Director::getInstance()->replaceScene(scene);
    headless::stepFrames(1);
    headless::touchBegin(500, 500);
    headless::touchEnd(500, 500);
    // A second press in the same frame still reaches the old scene, which runs until the
    // frame has handled its input and timers.
    headless::touchBegin(500, 500);
    headless::touchEnd(500, 500);
    headless::stepFrames(1);
    EXPECT_EQ(destroyed, 1);
    headless::stepFrames(1);
    EXPECT_EQ(log, "BEGAN ENDED BEGAN ENDED ");
}

TEST_F(ButtonTest, ButtonFromSpriteFrameNames) {
    SpriteFrameCache::getInstance()->addSpriteFrame(SpriteFrame::create(normal, Rect(0, 0, 50, 20)),
                                                    "btn-normal");
    auto* framed = ui::Button::create("btn-normal", "", "", ui::Widget::TextureResType::PLIST);
    EXPECT_EQ(framed->getContentSize(), Size(50, 20));
}

}  // namespace
