#pragma once
// Every picture the client loads, one builder per file. Each returns the whole image; the caller
// saves it under the file name the client uses.

#include <string>

#include "tools/resgen/Canvas.h"
#include "tools/resgen/Palette.h"

namespace resgen {

// Cards: suit symbols, rank glyphs, and the four whole faces.
Canvas suitSheet();     // poker_flower.png
Canvas rankSheet();     // poker_num.png
Canvas surfaceSheet();  // poker_surface.png

// The table and the panels cut from shared textures.
Canvas tableBackground();                     // bj.png
Canvas separator();                           // sep.png
Canvas panelSheet();                          // sucai.png
Canvas readyBadge();                          // zhunbei.png
Canvas playCardSheet();                       // poker_play_card.png
Canvas inputField(const std::string& label);  // login.png, nick.png, pass.png, rpass.png
Canvas joinBar();                             // add_desk_bg.png

// Buttons as separate files, normal and pressed.
Canvas textButton(const std::string& text, int w, int h, const palette::ButtonColors& colors,
                  bool pressed);
Canvas returnButton(int size, bool pressed);

// The face shared by the round buttons: a drop shadow, a gold rim, a `top` to `bottom` gradient
// and, unless pressed, a gloss. Says where the face is, for the icon drawn on it, and how much a
// press darkens it.
struct RoundFace {
    double cx = 0, cy = 0, r = 0;
    float dim = 1.0f;
};
RoundFace roundButtonFace(Canvas& c, int size, bool pressed, Color top, Color bottom);

// The desk's helpers: the card tracker's round toggle button, and a dark translucent panel
// behind the tracker's counts and the hint's floating notice; `opacity` of its body (nearly
// opaque for the board that hides the table under the last trick).
Canvas trackerButton(int size, bool pressed);  // tracker.png, tracker_press.png
Canvas darkPanel(int w, int h, float opacity = 0.86f);  // tracker_panel.png, notice.png, ...

// The settings button (a gear) and the settings panel's pieces.
Canvas settingsButton(int size, bool pressed);  // settings.png, settings_press.png
Canvas settingsBoard(int w, int h);             // settings_panel.png, settings_board.png
Canvas fieldBox(int w, int h);                  // field_box.png: a text field's well
Canvas settingsSwitch(int w, int h, bool on);   // switch_on.png, switch_off.png
Canvas volumeStep(int size, bool plus);         // volume_down.png, volume_up.png
Canvas volumeBar(int w, int h);                 // volume_bar.png (white, tinted when drawn)

// The table talk's emotes, in the order of their indices (wire/GameConstants.h): round faces.
enum class Emote { Smile, Laugh, Surprised, Sad, Angry, Cool };
Canvas emoteFace(int size, Emote emote);  // emote_smile.png ... emote_cool.png

// The countdown digits 0 to 9, 14 x 21 each.
Canvas digitStrip();  // num.png

// The program's icon, size x size points (the same drawing at any size).
Canvas appIcon(int size = 128);  // icon.png, and the sizes of icon.ico (IconFile.h)

}  // namespace resgen
