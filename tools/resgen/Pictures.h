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

// The countdown digits 0 to 9, 14 x 21 each.
Canvas digitStrip();  // num.png

// The program's icon, 128 x 128.
Canvas appIcon();  // icon.png

}  // namespace resgen
