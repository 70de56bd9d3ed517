#pragma once
// The colours every generated picture draws from, so the table, cards and buttons match.

#include "tools/resgen/Canvas.h"

namespace resgen::palette {

// Cards
inline const Color kCardRed = rgb(0xc8162b);
inline const Color kCardBlack = rgb(0x17191e);
inline const Color kCardPaperTop = rgb(0xffffff);
inline const Color kCardPaperBottom = rgb(0xf2eee4);
inline const Color kCardEdge = rgb(0x8f8a80);
inline const Color kBackNavy = rgb(0x1b3461);
inline const Color kBackNavyDark = rgb(0x11213f);

// Table
inline const Color kFelt = rgb(0x1f6b45);
inline const Color kFeltDark = rgb(0x0e3b26);
inline const Color kGold = rgb(0xe9bd55);
inline const Color kGoldDark = rgb(0x9a7128);
inline const Color kCream = rgb(0xfbf3dc);
inline const Color kInk = rgb(0x2b1d0e);

// Buttons: each is a top colour and a bottom colour for the face gradient.
struct ButtonColors {
    Color top, bottom, rim;
};
inline const ButtonColors kGoldButton{rgb(0xffd36b), rgb(0xe58e1a), rgb(0x8a4d06)};
inline const ButtonColors kGreenButton{rgb(0x7fdc6a), rgb(0x2f9b3a), rgb(0x145a1c)};
inline const ButtonColors kBlueButton{rgb(0x8fc3ff), rgb(0x3a6fd0), rgb(0x1b3677)};
inline const ButtonColors kRedButton{rgb(0xff8a7a), rgb(0xd23a2a), rgb(0x7a1510)};

}  // namespace resgen::palette
