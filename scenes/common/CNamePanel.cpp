#include "scenes/common/CNamePanel.h"

#include "models/common/NameWords.h"
#include "net/CMessageQueue.h"
#include "net/Message.h"
#include "net/OutgoingMessages.h"
#include "scenes/common/SceneWidgets.h"
#include "settings/CSettings.h"
#include "wire/PlayerName.h"

using namespace engine;

namespace {

// The rest of the layout in design points: the board's centre, the title, the frame, the reason.
constexpr float kTitleY = 488;
constexpr float kFrameY = CNamePanel::kFieldY;
constexpr float kReasonY = 365;
constexpr float kFieldTextSize = 20;
constexpr float kButtonTextSize = 20;

const Color3B kFieldText{60, 40, 20};         // dark brown on the frame's cream
const Color3B kComposingText{40, 90, 200};    // the input method's composition: blue
const Color3B kReasonColour{255, 200, 90};

CNamePanel* s_current = nullptr;  // main thread

ui::Button* textButton(const char* text) {
    ui::Button* button = makeImageButton("talk_phrase.png", "talk_phrase_press.png");
    Label* label = makeTextLabel(text, kButtonTextSize);
    if (button == nullptr || label == nullptr) {
        return nullptr;
    }
    const Size size = button->getContentSize();
    label->setPosition(Vec2(size.width / 2, size.height / 2 + 1));
    button->addChild(label);
    return button;
}

}  // namespace

CNamePanel* CNamePanel::addTo(Node* host) {
    CNamePanel* panel = create();
    if (panel != nullptr) {
        host->addChild(panel, kZOrder);
    }
    return panel;
}

CNamePanel* CNamePanel::current() {
    return s_current;
}

CNamePanel* CNamePanel::of(Node* host) {
    for (Node* child : host->getChildren()) {
        if (auto* panel = dynamic_cast<CNamePanel*>(child)) {
            return panel;
        }
    }
    return nullptr;
}

void CNamePanel::deliver(const stMsg& msg) {
    if (s_current != nullptr && (msg.opt == "name" || !msg.nameError.empty())) {
        s_current->answered(msg);
    }
}

CNamePanel* CNamePanel::create() {
    return createAutoreleased(new CNamePanel());
}

bool CNamePanel::init() {
    if (!Node::init()) {
        return false;
    }
    m_board = Sprite::create("talk_panel.png");
    Sprite* frame = makeFrameSprite("nick");
    Label* title = makeTextLabel("你的名字", 26);
    m_lblReason = makeTextLabel("", 18);
    m_field = ui::TextField::create("fonts/arial.ttf", kFieldTextSize,
                                    Size(kFieldWidth, kFieldHeight));
    m_btnSuggest = textButton("换一个");
    m_btnConfirm = textButton("确定");
    if (m_board == nullptr || m_board->getContentSize().width <= 0 || frame == nullptr ||
        frame->getContentSize().width <= 0 || title == nullptr || m_lblReason == nullptr ||
        m_field == nullptr || m_btnSuggest == nullptr || m_btnConfirm == nullptr) {
        return false;
    }
    m_board->setPosition(Vec2(kDesignCentreX, kDesignCentreY));
    addChild(m_board);
    title->setPosition(Vec2(kDesignCentreX, kTitleY));
    addChild(title);
    frame->setPosition(Vec2(kDesignCentreX, kFrameY));
    addChild(frame);
    m_field->setPosition(Vec2(kFieldX, kFieldY));
    m_field->setMaxLength(kNameMaxChars);
    m_field->setTextColor(kFieldText, kComposingText);
    m_field->onSubmit = [this](const std::string&) { confirm(); };
    m_field->onChanged = [this](const std::string&) { showReason(""); };
    addChild(m_field);
    m_lblReason->setColor(kReasonColour);
    m_lblReason->setPosition(Vec2(kDesignCentreX, kReasonY));
    addChild(m_lblReason);
    for (auto [button, x, action] : {std::tuple{m_btnSuggest, kSuggestX, &CNamePanel::suggest},
                                     {m_btnConfirm, kConfirmX, &CNamePanel::confirm}}) {
        button->setPosition(Vec2(x, kButtonY));
        button->addTouchEventListener([this, action = action](Ref*, ui::Widget::TouchEventType type) {
            if (type == ui::Widget::TouchEventType::ENDED) {
                (this->*action)();
            }
        });
        addChild(button);
    }

    // Modal while open: every key the field leaves and every touch its controls do not end here.
    auto* touches = EventListenerTouchOneByOne::create();
    touches->setSwallowTouches(true);
    touches->onTouchBegan = [](Touch*, Event*) { return true; };
    touches->onTouchEnded = [this](Touch* touch, Event*) {
        const Rect area = m_board->getBoundingBox();
        if (!area.containsPoint(touch->getStartLocation()) &&
            !area.containsPoint(touch->getLocation()) && mayClose()) {
            close();
        }
    };
    auto* keys = EventListenerKeyboard::create();
    keys->onKeyPressed = [this](EventKeyboard::KeyCode key, Event* event) {
        event->stopPropagation();
        if (key == EventKeyboard::KeyCode::KEY_ESCAPE && mayClose()) {
            close();
        }
    };
    EventDispatcher* dispatcher = Director::getInstance()->getEventDispatcher();
    dispatcher->addEventListenerWithSceneGraphPriority(touches, this);
    dispatcher->addEventListenerWithSceneGraphPriority(keys, this);
    setVisible(false);
    return true;
}

void CNamePanel::onEnter() {
    Node::onEnter();
    s_current = this;
}

void CNamePanel::onExit() {
    if (s_current == this) {
        s_current = nullptr;
    }
    Node::onExit();
}

void CNamePanel::open() {
    const std::string kept = CSettings::playerName();
    m_field->setString(kept.empty() ? namewords::suggestion(m_random) : kept);
    m_waiting = false;
    setVisible(true);
    m_field->attach();
}

void CNamePanel::close() {
    m_field->detach();
    m_waiting = false;
    showReason("");
    setVisible(false);
}

const std::string& CNamePanel::reasonShown() const {
    return m_lblReason->getString();
}

bool CNamePanel::mayClose() const {
    return !CSettings::playerName().empty();
}

void CNamePanel::suggest() {
    m_field->setString(namewords::suggestion(m_random));
    showReason("");
}

void CNamePanel::confirm() {
    if (m_waiting) {
        return;
    }
    const NameCheck check = checkPlayerName(m_field->getString());
    if (check.fault != NameFault::None) {
        showReason(namewords::refusalText(nameFaultText(check.fault)));
        return;
    }
    CSettings::setPlayerName(check.name);
    CMessageQueue* link = CMessageQueue::getInstance();
    link->setPlayerName(check.name);
    if (link->serverFeatures().names && link->sendMsg(nameMessage(check.name))) {
        m_waiting = true;
        showReason("…");
        return;
    }
    close();
}

void CNamePanel::answered(const stMsg& msg) {
    if (!msg.nameError.empty()) {
        if (!isOpen()) {
            open();
        }
        m_waiting = false;
        showReason(namewords::refusalText(msg.nameError));
        return;
    }
    if (m_waiting) {
        close();
    }
}

void CNamePanel::showReason(const std::string& text) {
    m_lblReason->setString(text);
}
