#pragma once
// Every sound the client plays, synthesized. Effects are mono; the music is a stereo pair.

#include "tools/resgen/Synth.h"

namespace resgen {

Samples cardSnap();     // cp.wav: one card slapped on the table
Samples tripleSlam();   // at.wav: a play of three or four of a kind lands
Samples dealRiffle();   // bg.wav: a hand being dealt
Samples warningTick();  // jg.wav: the turn countdown's warning tick
Samples turnChime();    // turn.wav: the local player's turn begins
Samples softTick();     // tick.wav: each of the last seconds of the local countdown
Samples talkPop();      // talk.wav: a bubble of table talk appears
Samples fourOfAKind();  // 3.mp3: the player's own four of a kind
Samples bomb();         // boom.mp3: a bomb
Samples passSound();    // by.mp3: a seat passes
Samples winJingle();    // win.mp3
Samples loseJingle();   // lose.mp3

struct Stereo {
    Samples left, right;
};
// bj.mp3: the hall's calm background tune; its end flows into its start for seamless looping.
Stereo backgroundMusic();

}  // namespace resgen
