#include "models/common/NameWords.h"

#include <array>
#include <utility>

#include "wire/PlayerName.h"

namespace namewords {

namespace {

constexpr std::array<const char*, 12> kNames{"牌友",   "小飞侠", "掼蛋王", "老张",
                                             "阿福",   "云中鹤", "小七",   "快乐星",
                                             "青山客", "明月",   "大熊",   "甜橙"};

constexpr std::array<std::pair<NameFault, const char*>, 5> kFaultTexts{{
    {NameFault::BadUtf8, "名字含有无法识别的字符"},
    {NameFault::Empty, "请输入名字"},
    {NameFault::TooLong, "名字最多12个字"},
    {NameFault::Control, "名字不能含有控制字符"},
    {NameFault::Invisible, "名字不能含有不可见的字符"},
}};

// The server's own reason beside the rule's: the name cannot change while a game runs.
constexpr std::string_view kInGame = "in a game";

}  // namespace

std::string suggestion(std::mt19937& random) {
    std::uniform_int_distribution<std::size_t> name(0, kNames.size() - 1);
    std::uniform_int_distribution<int> number(1, 99);
    return std::string(kNames[name(random)]) + std::to_string(number(random));
}

std::string refusalText(std::string_view reason) {
    if (reason == kInGame) {
        return "牌局进行中，请在牌局结束后改名";
    }
    const NameFault fault = nameFaultFromText(reason);
    for (const auto& [each, text] : kFaultTexts) {
        if (each == fault) {
            return text;
        }
    }
    return "服务器拒绝了这个名字：" + std::string(reason);
}

}  // namespace namewords
