#pragma once
// What the client says at the start of every link, and what it makes of the answer.
//
// Every link begins with the player's hello when a token is known, so the server knows the
// person before any scene sends. A server from before the hello may close every link that
// carries one: after kSilentHelloLinks links in a row that carried the hello and delivered
// nothing, the next goes without it, and when that one delivers, no link of this process carries
// the hello again. Main thread only (featuresOf: any thread).

#include <string>

#include "net/Message.h"
#include "net/ServerFeatures.h"

class HelloPolicy {
public:
    static constexpr int kSilentHelloLinks = 2;

    // Every hello from now on carries these (no hello without a token, no name when empty).
    void setToken(const std::string& token) { m_token = token; }
    void setName(const std::string& name) { m_name = name; }
    // A link opens: `lastDelivered` says whether the link before it (if any) delivered a record.
    // The text the new link begins with, or an empty one for no hello.
    std::string openingFor(bool lastDelivered);
    // What a "hello" answer offers; a refused hello offers nothing but its being answered.
    static ServerFeatures featuresOf(const stMsg& answer);

private:
    void judgeLastLink(bool lastDelivered);

    std::string m_token;
    std::string m_name;
    bool m_linkOpened = false;    // a link was opened before (there is one to judge)
    bool m_helloSent = false;     // the last link began with the hello
    int m_silentHelloLinks = 0;   // links in a row with a hello and nothing back
    bool m_helloUnknown = false;  // the server works only without the hello
};
