#pragma once
// What the hall shows for each reason the server gives when it refuses a "join", "create" or
// "watch" (net/GameConstants.h), in one table for the join panel and the watch panel alike. A
// reason means something else when watching (a full desk is full of watchers) and, for "no such
// desk", when the desk was asked by its code; a reason the table does not name is shown as it
// came, after the words for what failed. Plain C++, no engine.

#include <string>
#include <string_view>

#include "wire/GameConstants.h"

namespace refusalwords {

enum class Asked { Join, WatchByNumber, WatchByCode };

// A retry the server did not give: the wait its kJoinTooMany refusal stands for.
inline constexpr int kDefaultRetrySeconds = 60;

struct Row {
    std::string_view reason;
    const char* join;           // "join" and "create"; null: not a reason for them
    const char* watchByNumber;  // null: not a reason for a watch
    const char* watchByCode;
};

// kJoinTooMany's words take the retry's seconds where "%" stands.
inline constexpr Row kRows[] = {
    {kJoinWrongCode, "牌桌号不对或已过期", nullptr, nullptr},
    {kJoinTooMany, "输错太多次，请%秒后再试", "输错太多次，请%秒后再试", "输错太多次，请%秒后再试"},
    {kJoinFull, "这张牌桌已坐满", "这桌观战的人已满", "这桌观战的人已满"},
    {kJoinPlaying, "这张牌桌正在打牌，请稍后再试", nullptr, nullptr},
    {kJoinSeated, "你已经在牌桌上了", "你已经在牌桌上了", "你已经在牌桌上了"},
    {kCreateTooMany, "你的网络开的牌桌太多，请稍后再试", nullptr, nullptr},
    {kWatchNoDesk, nullptr, "这桌的牌局已经结束", "牌桌号不对或已过期"},
    {kWatchServerFull, nullptr, "观战的人太多，请稍后再试", "观战的人太多，请稍后再试"},
};

inline std::string text(const std::string& reason, int retrySeconds, Asked asked) {
    for (const Row& row : kRows) {
        const char* words = asked == Asked::Join            ? row.join
                            : asked == Asked::WatchByNumber ? row.watchByNumber
                                                            : row.watchByCode;
        if (row.reason != reason || words == nullptr) {
            continue;
        }
        std::string shown = words;
        if (const std::size_t at = shown.find('%'); at != std::string::npos) {
            shown.replace(at, 1, std::to_string(retrySeconds > 0 ? retrySeconds
                                                                 : kDefaultRetrySeconds));
        }
        return shown;
    }
    return (asked == Asked::Join ? "无法加入：" : "无法观战：") + reason;
}

}  // namespace refusalwords
