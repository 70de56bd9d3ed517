#include "wire/PlayerName.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace {

using Range = std::pair<char32_t, char32_t>;  // first, last (inclusive)

// Unicode's White_Space property.
constexpr std::array<Range, 10> kWhiteSpace{{{0x09, 0x0D},
                                             {0x20, 0x20},
                                             {0x85, 0x85},
                                             {0xA0, 0xA0},
                                             {0x1680, 0x1680},
                                             {0x2000, 0x200A},
                                             {0x2028, 0x2029},
                                             {0x202F, 0x202F},
                                             {0x205F, 0x205F},
                                             {0x3000, 0x3000}}};

// General category Cf (Unicode 15), plus the line and paragraph separators, which break a seat's
// one line of text as much as a control character would.
constexpr std::array<Range, 21> kInvisible{{{0x00AD, 0x00AD},   {0x0600, 0x0605},
                                            {0x061C, 0x061C},   {0x06DD, 0x06DD},
                                            {0x070F, 0x070F},   {0x0890, 0x0891},
                                            {0x08E2, 0x08E2},   {0x180E, 0x180E},
                                            {0x200B, 0x200F},   {0x2028, 0x202E},
                                            {0x2060, 0x2064},   {0x2066, 0x206F},
                                            {0xFEFF, 0xFEFF},   {0xFFF9, 0xFFFB},
                                            {0x110BD, 0x110BD}, {0x110CD, 0x110CD},
                                            {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3},
                                            {0x1D173, 0x1D17A}, {0xE0001, 0xE0001},
                                            {0xE0020, 0xE007F}}};

template <std::size_t N>
bool inRanges(const std::array<Range, N>& ranges, char32_t c) {
    return std::any_of(ranges.begin(), ranges.end(),
                       [c](const Range& r) { return c >= r.first && c <= r.second; });
}

bool isControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

struct CodePoint {
    char32_t value = 0;
    std::size_t start = 0;  // byte offset
    std::size_t end = 0;    // one past its last byte
};

// Strict UTF-8 (RFC 3629): no overlong forms, no surrogates, nothing above U+10FFFF.
std::optional<std::vector<CodePoint>> decode(std::string_view text) {
    std::vector<CodePoint> out;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        int extra = 0;
        char32_t value = 0;
        char32_t least = 0;
        if (lead < 0x80) {
            value = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1, value = lead & 0x1F, least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2, value = lead & 0x0F, least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3, value = lead & 0x07, least = 0x10000;
        } else {
            return std::nullopt;
        }
        if (at + extra >= text.size() && extra > 0) {
            return std::nullopt;
        }
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[at + k]);
            if ((next & 0xC0) != 0x80) {
                return std::nullopt;
            }
            value = (value << 6) | (next & 0x3F);
        }
        if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
            return std::nullopt;
        }
        out.push_back(CodePoint{value, at, at + extra + 1});
        at += extra + 1;
    }
    return out;
}

}  // namespace

NameCheck checkPlayerName(std::string_view text) {
    const auto points = decode(text);
    if (!points) {
        return {{}, NameFault::BadUtf8};
    }
    auto first = points->begin();
    auto last = points->end();
    while (first != last && inRanges(kWhiteSpace, first->value)) {
        ++first;
    }
    while (last != first && inRanges(kWhiteSpace, (last - 1)->value)) {
        --last;
    }
    if (first == last) {
        return {{}, NameFault::Empty};
    }
    if (last - first > kNameMaxChars) {
        return {{}, NameFault::TooLong};
    }
    for (auto it = first; it != last; ++it) {
        if (isControl(it->value)) {
            return {{}, NameFault::Control};
        }
    }
    for (auto it = first; it != last; ++it) {
        if (inRanges(kInvisible, it->value)) {
            return {{}, NameFault::Invisible};
        }
    }
    return {std::string(text.substr(first->start, (last - 1)->end - first->start)),
            NameFault::None};
}

namespace {

constexpr std::array<std::pair<NameFault, std::string_view>, 5> kFaultTexts{{
    {NameFault::BadUtf8, "bad utf-8"},
    {NameFault::Empty, "empty"},
    {NameFault::TooLong, "too long"},
    {NameFault::Control, "control character"},
    {NameFault::Invisible, "invisible character"},
}};

}  // namespace

std::string_view nameFaultText(NameFault fault) {
    for (const auto& [each, text] : kFaultTexts) {
        if (each == fault) {
            return text;
        }
    }
    return {};
}

NameFault nameFaultFromText(std::string_view text) {
    for (const auto& [fault, each] : kFaultTexts) {
        if (each == text) {
            return fault;
        }
    }
    return NameFault::None;
}

int nameLength(std::string_view utf8) {
    return static_cast<int>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string nameWithSuffix(std::string_view name, std::string_view suffix) {
    int drop = nameLength(name) + nameLength(suffix) - kNameMaxChars;
    std::size_t end = name.size();
    while (drop > 0 && end > 0) {
        --end;
        if ((static_cast<unsigned char>(name[end]) & 0xC0) != 0x80) {
            --drop;
        }
    }
    return std::string(name.substr(0, end)) + std::string(suffix);
}
