#include "models/desk/TableTalk.h"

#include <array>

namespace tabletalk {

namespace {

// By index; the meaning of each is the protocol's (wire/GameConstants.h).
constexpr std::array<const char*, kTalkPhrases> kPhrases = {
    "快点吧，等得花儿都谢了", "打得好！", "不好意思", "谢谢搭档",
    "再来一局",               "配合默契", "这把稳了", "别急，我想想",
};
constexpr std::array<const char*, kTalkEmotes> kEmotes = {
    "emote_smile.png", "emote_laugh.png", "emote_surprised.png",
    "emote_sad.png",   "emote_angry.png", "emote_cool.png",
};

}  // namespace

const char* phrase(int say) {
    return say >= 0 && say < kTalkPhrases ? kPhrases[static_cast<std::size_t>(say)] : nullptr;
}

const char* emoteImage(int say) {
    return say >= kTalkPhrases && say < kTalkCount
               ? kEmotes[static_cast<std::size_t>(say - kTalkPhrases)]
               : nullptr;
}

}  // namespace tabletalk

TalkMutes& TalkMutes::session() {
    static TalkMutes mutes;
    return mutes;
}

bool TalkMutes::muted(const std::string& name) const {
    return m_names.count(name) > 0;
}

void TalkMutes::toggle(const std::string& name) {
    if (name.empty()) {
        return;
    }
    if (m_names.erase(name) == 0) {
        m_names.insert(name);
    }
}

bool TalkRate::take(double now) {
    if (m_last && now < *m_last + kTalkEveryMillis / 1000.0) {
        return false;
    }
    m_last = now;
    return true;
}
