#pragma once
// The name a person plays under: one rule for the client (before it keeps or sends a name) and
// the server (before it shows one). Plain C++; both link it (library `wire`).
//
//   input                                              result
//   not valid UTF-8 (overlong, surrogate, cut short)   NameFault::BadUtf8
//   nothing left after trimming Unicode white space    NameFault::Empty
//   more than kNameMaxChars code points once trimmed   NameFault::TooLong
//   a control character (Cc: U+0000..1F, 7F..9F)       NameFault::Control
//   an invisible format character (Cf: soft hyphen,    NameFault::Invisible
//   zero-width space and joiners, bidi marks, BOM,
//   U+2060.., tags ...) or a line or paragraph separator
//   otherwise                                          the trimmed name, NameFault::None
//
// Faults are checked in that order. White space inside a name stays as it is.

#include <string>
#include <string_view>

// A name is at most this many characters (code points, not bytes).
inline constexpr int kNameMaxChars = 12;

enum class NameFault { None, BadUtf8, Empty, TooLong, Control, Invisible };

struct NameCheck {
    std::string name;  // the cleaned name; empty unless fault is None
    NameFault fault = NameFault::None;
};

NameCheck checkPlayerName(std::string_view text);

// The reason as it travels in "nameError" ("bad utf-8", "empty", "too long", "control
// character", "invisible character"); "" for None.
std::string_view nameFaultText(NameFault fault);
// The fault a "nameError" text names; None for a text this build does not know.
NameFault nameFaultFromText(std::string_view text);

// Code points in valid UTF-8 (the count of lead bytes).
int nameLength(std::string_view utf8);
// `name` (a checked name) followed by `suffix`, with as many of the name's last code points
// dropped as it takes to keep the whole within kNameMaxChars.
std::string nameWithSuffix(std::string_view name, std::string_view suffix);
