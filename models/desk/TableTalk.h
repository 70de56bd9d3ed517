#pragma once
// Table talk's plain state on the client: what each index says or shows, the players whose
// bubbles are muted (by name, for the rest of the process's session) and the player's own rate
// (one talk in kTalkEveryMillis, as the server keeps it). No widgets: the desk's talk elements
// (CDeskTalk, CTalkPanel, CTalkBubble) show what these hold. Main thread only.

#include <optional>
#include <set>
#include <string>

#include "wire/GameConstants.h"

namespace tabletalk {

// The words of phrase `say` (0 .. kTalkPhrases-1); nullptr for any other index.
const char* phrase(int say);
// The image file of emote `say` (kTalkPhrases .. kTalkCount-1); nullptr for any other index.
const char* emoteImage(int say);

}  // namespace tabletalk

class TalkMutes {
public:
    // The process's mutes, kept while it runs (never saved).
    static TalkMutes& session();

    bool muted(const std::string& name) const;
    // Mutes `name`, or unmutes it; an empty name (a free seat) is never muted.
    void toggle(const std::string& name);
    void clear() { m_names.clear(); }

private:
    std::set<std::string> m_names;
};

class TalkRate {
public:
    // True when a talk may go at `now` (seconds, a steady clock), which then counts as the last.
    bool take(double now);

private:
    std::optional<double> m_last;
};
