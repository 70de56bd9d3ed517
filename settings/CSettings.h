#pragma once
// The player's settings, kept between runs through UserDefault: background music and effects on
// or off, the volume of each in kVolumeSteps steps, full screen, the window's size, the player's
// token, the player's name and the server the player chose. Each setter applies the change at
// once and writes the settings file. Main thread only.
//
// Music off means no background music is asked for at all (not music at volume 0): the hall
// starts its music through playHallMusic, which does nothing then. Effects off sets the effects'
// volume to 0, at which SimpleAudioEngine plays none.

#include <string>

#include "engine/base/Size.h"

class CSettings {
public:
    static constexpr int kVolumeSteps = 5;
    // The window's size when none is kept, and the smallest it may be made.
    static constexpr int kDefaultWidth = 1024;
    static constexpr int kDefaultHeight = 768;
    static constexpr int kMinimumWidth = 640;
    static constexpr int kMinimumHeight = 480;

    // Gives SimpleAudioEngine the kept volumes (start-up).
    static void applyAudio();
    // The hall's looping music, when music is on.
    static void playHallMusic();

    static bool musicOn();
    // Off stops the music now; on lets the next hall play it (`playHere`: at once).
    static void setMusicOn(bool on, bool playHere);
    static bool effectsOn();
    static void setEffectsOn(bool on);
    // 1 .. kVolumeSteps; a step outside is clamped.
    static int musicVolume();
    static void setMusicVolume(int step);
    static int effectsVolume();
    static void setEffectsVolume(int step);

    // Kept only; CWindow applies them.
    static bool fullScreen();
    static void setFullScreen(bool on);
    // The last size of the window when it was not full screen, at least the minimum size.
    static engine::Size windowSize();
    static void setWindowSize(int width, int height);

    // The player's token, all the server knows of a person (it brings them back to their seat):
    // made at the first call from 128 random bits as 32 lowercase hex digits and kept under
    // "playerToken". A kept value that is not 32 hex digits is replaced by a new one.
    static std::string playerToken();

    // The player's name (wire/PlayerName.h's rule), kept under "playerName"; "" when none is
    // kept yet (the hall then asks for one) or the kept text breaks the rule.
    static std::string playerName();
    // Keeps checkPlayerName(name)'s cleaned name; false, keeping nothing, when the rule refuses it.
    static bool setPlayerName(const std::string& name);

    // The game server the player chose (a host or IPv4 address, optional ":port"), "" for the
    // one the configuration names. Kept as typed; start-up reads it.
    static std::string serverAddress();
    static void setServerAddress(const std::string& address);
};
