#pragma once
// The settings button (a gear) and the small panel it opens over the scene: background music on
// or off, the music's volume, effects on or off, the effects' volume, full screen on or off, and
// the address of a server the player chose. Each change applies at once and is kept (CSettings);
// the server is dialled from the next start on, and an address is kept only when well formed.
// Main thread only.
//
//   touch or key                      panel closed              panel open
//   the gear                          opens the panel           closes it
//   a switch, minus or plus           -                         changes that setting
//   anywhere else                     the scene's own           closes the panel (the scene
//                                                               gets nothing)
//   Esc                               the scene's own           closes the panel
//   any other key, the right button   the scene's own           nothing (the scene gets
//                                                               nothing: no play, pass or
//                                                               ready behind the panel)
//
// 改名 (beside the title) closes the panel and opens the name panel (CNamePanel), which addTo
// adds to the scene as well, built at once: the hall opens it at the first start, and it takes
// the server's answers about the name whether or not it was ever opened.
//
// A scene adds both with one call, addTo; the panel lies above everything else on it.

#include <array>

#include "engine/Engine.h"

class CSettingsPanel : public engine::Node {
public:
    static constexpr int kZOrder = 100;  // above every element of the hall and the desk
    // The gear's frame in design points, for the scenes to place it.
    static constexpr float kButtonSize = 48;
    // The panel's rows from the top, each a label and its control, and where the controls stand
    // (design points): the board is centred on the design area.
    enum Row { kMusicRow, kMusicVolumeRow, kEffectsRow, kEffectsVolumeRow, kFullScreenRow, kServerRow };
    static constexpr float kSwitchX = 640;
    static constexpr float kMinusX = 540;
    static constexpr float kPlusX = 676;
    static constexpr float rowY(int row) { return 500 - 50 * static_cast<float>(row); }

    // Adds the gear centred at `buttonPosition` and the closed name panel to `host`, and the
    // panel's place: the panel itself is built at the gear's first release (CLazyPanel).
    // `musicPlaysHere`: turning the music on starts the hall's music at once (the hall), or only
    // for the next hall (the desk, which has no music). False when the gear's image or the name
    // panel's is missing.
    static bool addTo(engine::Node* host, const engine::Vec2& buttonPosition, bool musicPlaysHere);

    static CSettingsPanel* create(bool musicPlaysHere);
    bool init(bool musicPlaysHere);

    void open();
    void close();
    bool isOpen() const { return isVisible(); }

private:
    // One volume row: its minus and plus and the gauge's bars.
    struct VolumeRow {
        engine::ui::Button* minus = nullptr;  // the scene graph owns every node pointed to here
        engine::ui::Button* plus = nullptr;
        std::array<engine::Sprite*, 5> bars{};
    };

    bool addSwitch(engine::ui::Button*& button, const char* text, float y,
                   void (CSettingsPanel::*onToggle)());
    bool addVolume(VolumeRow& row, const char* text, float y,
                   void (CSettingsPanel::*onChange)(int));
    bool addRowLabel(const char* text, float y);
    // 改名 beside the title: closes this panel and opens the scene's name panel.
    bool addRenameButton();
    // The server row: a field for the address of a server the player chose (start-up dials it
    // next time), and a line under it saying what an empty field means or what is wrong.
    bool addServerRow();
    // Keeps the field's address when it is empty or a well-formed address; otherwise shows why
    // and keeps nothing. True when kept.
    bool keepServerAddress();
    // Shows every switch and gauge as CSettings holds them now.
    void refresh();

    void toggleMusic();
    void toggleEffects();
    void toggleFullScreen();
    void stepMusic(int delta);
    void stepEffects(int delta);

    bool m_musicPlaysHere = false;
    engine::Sprite* m_board = nullptr;
    engine::ui::Button* m_btnMusic = nullptr;
    engine::ui::Button* m_btnEffects = nullptr;
    engine::ui::Button* m_btnFullScreen = nullptr;
    engine::ui::TextField* m_serverField = nullptr;
    engine::Label* m_lblServerNote = nullptr;
    VolumeRow m_musicVolume;
    VolumeRow m_effectsVolume;
};
