#pragma once
// The non-generated resources: the configuration file and the font, taken from the Debian package
// that ships it, together with its licence.

#include <string>
#include <vector>

namespace resgen {

// config/strings.plist: window title, server address, and the client download address.
bool writeStringsPlist(const std::string& path);

// fonts/arial.ttf (WenQuanYi Micro Hei: Latin and Chinese) and its licence files beside it.
bool copyFont(const std::string& fontsDir);

// The first face of a TrueType collection (.ttc) as a standalone .ttf; empty when the bytes are
// not a well-formed collection.
std::vector<unsigned char> firstFaceOfCollection(const std::vector<unsigned char>& ttc);

}  // namespace resgen
