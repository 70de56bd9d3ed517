#pragma once
// The game server the client starts for itself on the player's machine, so that a launcher needs
// no second window and no clean-up: the server is the client's child and ends with it, also when
// the client crashes or is killed (engine::TiedProcess holds the tie). Started only when the
// command line names desk-server, the configured address is a loopback one and nothing answers
// there yet; a server that does not come up leaves the client to its normal connection failure.
// Not a scene and no UI: it reports on stderr. Main thread only.

#include <cstdint>
#include <string>

#include "app/ClientOptions.h"
#include "engine/platform/TiedProcess.h"

class CLocalServer {
public:
    enum class Outcome {
        NotAsked,          // no --local-server on the command line
        NotLocal,          // the address is not a loopback one: the player chose another machine
        AlreadyListening,  // someone serves there already (another client's server, a manual one)
        Started,           // our child listens there now
        Failed,            // it could not be started, ended, or did not listen in time
    };

    // Starts desk-server with --host `host` --port `port` and the options' own words (which may
    // override both, e.g. --host 0.0.0.0), then waits up to kStartWaitMs for the port. Blocks the
    // calling thread that long at most. A second call after Started starts nothing.
    Outcome ensureRunning(const ClientOptions& options, const std::string& host,
                          std::uint16_t port);
    // Ends the server this object started, if any (the destructor does too).
    void stop();

    static constexpr int kStartWaitMs = 10000;  // Wine takes seconds to start a program

private:
    engine::TiedProcess m_process;  // the child, when one was started
};
