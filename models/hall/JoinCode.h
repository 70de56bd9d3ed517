#pragma once
// The join panel's model: the digits typed so far and what the panel says about them. Plain data,
// no engine; the panel draws it and sends the code once it is whole. Main thread only.
//
//   input                      digits                     message
//   a digit, fewer than 6      the digit added            cleared
//   a digit, 6 already         unchanged                  unchanged
//   Backspace                  the last one removed       cleared
//   submit with fewer than 6   unchanged                  kShortText
//   submit with 6              unchanged; waiting         kWaitingText, or to watch
//                                                         WatchList::kEnteringText (the panel
//                                                         sends the code)
//   a refusal ("join",         cleared                    the reason in words (RefusalWords.h)
//   "create")
//   a refusal ("watch")        cleared                    the same, as a watch by code
// While waiting, typing and submitting do nothing, so one code is asked at a time.

#include <string>

#include "wire/GameConstants.h"

struct stMsg;

class JoinCode {
public:
    static constexpr int kDigits = kPrivateCodeDigits;
    static constexpr const char* kShortText = "请输入6位牌桌号";
    static constexpr const char* kWaitingText = "正在加入…";

    // False (nothing changed) when the character is not a digit, the code is whole, or waiting.
    bool addDigit(char digit);
    bool removeDigit();
    // True when the code is whole and not already asked: the caller sends it now, to join the
    // desk or, with `watching`, to watch it.
    bool submit(bool watching = false);
    // The server refused the code ("join" or "watch"): the digits go, the message says why.
    void refuse(const stMsg& answer);
    void clear();

    const std::string& digits() const { return m_digits; }
    const std::string& message() const { return m_message; }
    bool waiting() const { return m_waiting; }
    // The field as shown: the digits typed, then "_" for each still to come, spaced.
    std::string fieldText() const;

private:
    std::string m_digits;
    std::string m_message;
    bool m_waiting = false;
};
