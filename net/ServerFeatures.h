#pragma once
// What the server of the current link offers beyond the oldest protocol, as its accepted "hello"
// answer says. A server that knows none of these closes the link on their messages, so a scene
// sends them only where the feature is offered. All false until the link's hello is answered
// (and for an older server, which never answers it).

struct ServerFeatures {
    bool helloAnswered = false;  // any "hello" answer: the messages of rejoin and 托管 are known
    bool records = false;        // "records":"1": "record" and "leaderboard"
    bool talk = false;           // "talk":"1": "talk" is passed on
    bool privateDesks = false;   // "private":"1": "create", "join", "bots"
    bool watch = false;          // "watch":"1": "desks", "watch"
    bool names = false;          // "names":"1": "name"
};
