#pragma once
// The client's asset vocabulary: the named sprite frames cut from the shared textures and the
// sounds, registered and preloaded once at start-up (after the server connection succeeded,
// before the first scene). Afterwards any scene finds a frame by name in the SpriteFrameCache and
// plays a sound by its path. Main thread only.
//
// Frame rectangles are in texture pixels from the image's top-left corner, y down. Missing
// texture or sound files are left to the engine (it reports them); nothing here fails.

#include <string>
#include <vector>

struct CatalogueFrame {
    std::string name;
    std::string texture;
    float x = 0, y = 0, width = 0, height = 0;
};

struct CatalogueSound {
    std::string path;
    bool music = false;  // preloaded as background music, otherwise as an effect
};

// Every frame in registration order (49) and every sound in preload order (12).
const std::vector<CatalogueFrame>& catalogueFrames();
const std::vector<CatalogueSound>& catalogueSounds();

// Registers every frame with the SpriteFrameCache and preloads every sound, in the orders above.
void loadCatalogue();

// Starts decoding the table's felt ("beijing"), the largest image of every screen and the first
// thing the first frame draws, on a worker thread: called before the window opens, so that the
// decoding runs while the main thread starts the video. Ahead of loadCatalogue, whose frame then
// shares the image.
void prefetchTable();
