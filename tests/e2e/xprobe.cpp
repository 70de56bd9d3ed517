// The end-to-end test's eyes:
//   e2e_xprobe pixel X Y [X Y ...]   prints "r g b" for each point of the screen, one per line
//   e2e_xprobe shot FILE.png         saves the whole screen
// Exit 1 without a display or on a bad argument.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "XScreen.h"

int main(int argc, char** argv) {
    XScreen screen;
    if (argc < 2 || !screen.open()) {
        std::fprintf(stderr, "usage: e2e_xprobe pixel X Y ... | shot FILE.png (needs DISPLAY)\n");
        return 1;
    }
    if (std::strcmp(argv[1], "shot") == 0 && argc == 3) {
        return screen.savePng(argv[2]) ? 0 : 1;
    }
    if (std::strcmp(argv[1], "pixel") != 0 || argc % 2 != 0) {
        return 1;
    }
    for (int i = 2; i + 1 < argc; i += 2) {
        const Rgb c = screen.pixel(std::atoi(argv[i]), std::atoi(argv[i + 1]));
        std::printf("%d %d %d\n", c.r, c.g, c.b);
    }
    return 0;
}
