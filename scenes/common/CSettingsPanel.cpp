#include "scenes/common/CSettingsPanel.h"

#include "net/ServerAddress.h"
#include "scenes/common/CNamePanel.h"
#include "scenes/common/SceneWidgets.h"
#include "settings/CSettings.h"
#include "settings/CWindow.h"

using namespace engine;

namespace {

// The rest of the panel's layout in design points: the board's centre, the title, the labels'
// left edge and the volume gauge's bars.
constexpr float kTitleY = 552;
constexpr float kLabelX = 340;
constexpr float kFirstBarX = 574;
constexpr float kBarStep = 17;
constexpr float kLabelSize = 22;
// The server row's field and the note under it.
constexpr float kServerFieldX = 570;
constexpr float kServerFieldWidth = 220;
constexpr float kServerFieldHeight = 32;
constexpr float kServerTextSize = 18;
constexpr int kServerMaxChars = 64;
constexpr float kServerNoteY = 214;
constexpr float kServerNoteSize = 14;
constexpr const char* kServerNote = "主机名或 IP 地址，可加 :端口；留空用默认服务器";
// 改名, at the title's right, opens the name panel.
constexpr float kRenameX = 652;
constexpr float kRenameScaleX = 0.4f;

const Color3B kBarDim{70, 80, 74};

ui::Button* switchButton(bool on) {
    return makeImageButton(on ? "switch_on.png" : "switch_off.png",
                           on ? "switch_on.png" : "switch_off.png");
}

void showSwitch(ui::Button* button, bool on) {
    const char* image = on ? "switch_on.png" : "switch_off.png";
    button->loadTextures(image, image, image, ui::Widget::TextureResType::LOCAL);
}

}  // namespace

bool CSettingsPanel::addTo(Node* host, const Vec2& buttonPosition, bool musicPlaysHere) {
    CLazyPanel<CSettingsPanel>* panel = nullptr;
    return CNamePanel::addTo(host) != nullptr &&
           addPanelButton<CSettingsPanel>(
               host, buttonPosition, "settings.png", "settings_press.png", kZOrder,
               [musicPlaysHere] { return create(musicPlaysHere); }, panel) != nullptr;
}

CSettingsPanel* CSettingsPanel::create(bool musicPlaysHere) {
    auto* panel = new CSettingsPanel();
    if (!panel->init(musicPlaysHere)) {
        delete panel;
        return nullptr;
    }
    panel->autorelease();
    return panel;
}

bool CSettingsPanel::init(bool musicPlaysHere) {
    if (!Node::init()) {
        return false;
    }
    m_musicPlaysHere = musicPlaysHere;
    m_board = Sprite::create("settings_board.png");  // the taller board, for the server row
    Label* title = makeTextLabel("设置", 26);
    if (m_board == nullptr || m_board->getContentSize().width <= 0 || title == nullptr) {
        return false;
    }
    m_board->setPosition(Vec2(kDesignCentreX, kDesignCentreY));
    addChild(m_board);
    title->setPosition(Vec2(kDesignCentreX, kTitleY));
    addChild(title);
    if (!addRenameButton()) {
        return false;
    }
    if (!addSwitch(m_btnMusic, "背景音乐", rowY(kMusicRow), &CSettingsPanel::toggleMusic) ||
        !addVolume(m_musicVolume, "音乐音量", rowY(kMusicVolumeRow), &CSettingsPanel::stepMusic) ||
        !addSwitch(m_btnEffects, "音效", rowY(kEffectsRow), &CSettingsPanel::toggleEffects) ||
        !addVolume(m_effectsVolume, "音效音量", rowY(kEffectsVolumeRow),
                   &CSettingsPanel::stepEffects) ||
        !addSwitch(m_btnFullScreen, "全屏", rowY(kFullScreenRow),
                   &CSettingsPanel::toggleFullScreen) ||
        !addServerRow()) {
        return false;
    }

    // While open the panel takes every touch its controls do not (one outside the board closes
    // it), every key and every mouse button: the scene below gets none of them.
    listenAsModalPanel(this, m_board, [this] { close(); });
    setVisible(false);
    return true;
}

bool CSettingsPanel::addRowLabel(const char* text, float y) {
    Label* label = makeTextLabel(text, kLabelSize);
    if (label == nullptr) {
        return false;
    }
    label->setAnchorPoint(Vec2(0, 0.5f));
    label->setPosition(Vec2(kLabelX, y));
    addChild(label);
    return true;
}

bool CSettingsPanel::addSwitch(ui::Button*& button, const char* text, float y,
                               void (CSettingsPanel::*onToggle)()) {
    button = switchButton(false);
    if (button == nullptr || !addRowLabel(text, y)) {
        return false;
    }
    button->setPosition(Vec2(kSwitchX, y));
    button->addTouchEventListener([this, onToggle](Ref*, ui::Widget::TouchEventType type) {
        if (type == ui::Widget::TouchEventType::ENDED) {
            (this->*onToggle)();
            refresh();
        }
    });
    addChild(button);
    return true;
}

bool CSettingsPanel::addVolume(VolumeRow& row, const char* text, float y,
                               void (CSettingsPanel::*onChange)(int)) {
    row.minus = makeImageButton("volume_down.png", "volume_down.png");
    row.plus = makeImageButton("volume_up.png", "volume_up.png");
    if (row.minus == nullptr || row.plus == nullptr || !addRowLabel(text, y)) {
        return false;
    }
    for (auto [button, x, delta] : {std::tuple{row.minus, kMinusX, -1}, {row.plus, kPlusX, 1}}) {
        button->setPosition(Vec2(x, y));
        button->addTouchEventListener(
            [this, onChange, delta = delta](Ref*, ui::Widget::TouchEventType type) {
                if (type == ui::Widget::TouchEventType::ENDED) {
                    (this->*onChange)(delta);
                    refresh();
                }
            });
        addChild(button);
    }
    for (size_t i = 0; i < row.bars.size(); ++i) {
        row.bars[i] = Sprite::create("volume_bar.png");
        if (row.bars[i] == nullptr) {
            return false;
        }
        row.bars[i]->setPosition(Vec2(kFirstBarX + kBarStep * static_cast<float>(i), y));
        addChild(row.bars[i]);
    }
    return true;
}

void CSettingsPanel::open() {
    refresh();
    m_serverField->setString(CSettings::serverAddress());
    m_lblServerNote->setString(kServerNote);
    setVisible(true);
}

void CSettingsPanel::close() {
    keepServerAddress();
    m_serverField->detach();
    setVisible(false);
}

bool CSettingsPanel::addServerRow() {
    m_serverField = ui::TextField::create("fonts/arial.ttf", kServerTextSize,
                                          Size(kServerFieldWidth, kServerFieldHeight));
    m_lblServerNote = makeTextLabel(kServerNote, kServerNoteSize);
    // A box behind the field, so that it shows where to type.
    Sprite* box = Sprite::create("field_box.png");
    if (m_serverField == nullptr || m_lblServerNote == nullptr || box == nullptr ||
        box->getContentSize().width <= 0 || !addRowLabel("服务器", rowY(kServerRow))) {
        return false;
    }
    box->setPosition(Vec2(kServerFieldX, rowY(kServerRow)));
    addChild(box);
    m_serverField->setPosition(Vec2(kServerFieldX, rowY(kServerRow)));
    m_serverField->setMaxLength(kServerMaxChars);
    m_serverField->onSubmit = [this](const std::string&) {
        if (keepServerAddress()) {
            m_serverField->detach();
        }
    };
    addChild(m_serverField);
    m_lblServerNote->setAnchorPoint(Vec2(0, 0.5f));
    m_lblServerNote->setPosition(Vec2(kLabelX, kServerNoteY));
    addChild(m_lblServerNote);
    return true;
}

bool CSettingsPanel::keepServerAddress() {
    const std::string& typed = m_serverField->getString();
    const bool blank = typed.find_first_not_of(" \t") == std::string::npos;
    std::string reason;
    if (!blank && !parseServerAddress(typed, reason)) {
        m_lblServerNote->setString(reason);
        return false;
    }
    const std::string kept = blank ? std::string() : typed;
    const bool changed = kept != CSettings::serverAddress();
    CSettings::setServerAddress(kept);
    m_lblServerNote->setString(changed ? "已保存，下次启动时生效" : kServerNote);
    return true;
}

void CSettingsPanel::refresh() {
    showSwitch(m_btnMusic, CSettings::musicOn());
    showSwitch(m_btnEffects, CSettings::effectsOn());
    showSwitch(m_btnFullScreen, CWindow::isFullScreen());
    const std::pair<VolumeRow*, int> rows[] = {{&m_musicVolume, CSettings::musicVolume()},
                                               {&m_effectsVolume, CSettings::effectsVolume()}};
    for (const auto& [row, level] : rows) {
        for (size_t i = 0; i < row->bars.size(); ++i) {
            row->bars[i]->setColor(static_cast<int>(i) < level ? kTableGold : kBarDim);
        }
    }
}

void CSettingsPanel::toggleMusic() {
    CSettings::setMusicOn(!CSettings::musicOn(), m_musicPlaysHere);
}

void CSettingsPanel::toggleEffects() {
    CSettings::setEffectsOn(!CSettings::effectsOn());
}

void CSettingsPanel::toggleFullScreen() {
    CWindow::setFullScreen(!CWindow::isFullScreen());
}

void CSettingsPanel::stepMusic(int delta) {
    CSettings::setMusicVolume(CSettings::musicVolume() + delta);
}

void CSettingsPanel::stepEffects(int delta) {
    CSettings::setEffectsVolume(CSettings::effectsVolume() + delta);
}

bool CSettingsPanel::addRenameButton() {
    ui::Button* button = makeImageButton("talk_phrase.png", "talk_phrase_press.png");
    Label* text = makeTextLabel("改名", kLabelSize);
    if (button == nullptr || text == nullptr) {
        return false;
    }
    // A short button: the phrase button's image at half its width.
    button->setScaleX(kRenameScaleX);
    text->setPosition(Vec2(kRenameX, kTitleY));
    button->setPosition(Vec2(kRenameX, kTitleY));
    button->addTouchEventListener([this](Ref*, ui::Widget::TouchEventType type) {
        CNamePanel* names = CNamePanel::current();
        if (type == ui::Widget::TouchEventType::ENDED && names != nullptr) {
            close();
            names->open();
        }
    });
    addChild(button);
    addChild(text);
    return true;
}
