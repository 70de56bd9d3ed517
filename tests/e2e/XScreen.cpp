#include "XScreen.h"

#include <SDL.h>
#include <SDL_image.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

XScreen::~XScreen() {
    if (m_display) {
        XCloseDisplay(m_display);
    }
}

bool XScreen::open() {
    m_display = XOpenDisplay(nullptr);
    return m_display != nullptr;
}

Rgb XScreen::pixel(int x, int y) const {
    const Window root = DefaultRootWindow(m_display);
    XImage* image = XGetImage(m_display, root, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) {
        return {};
    }
    const unsigned long value = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    // Xvfb's 24-bit TrueColor visual: 0xRRGGBB.
    return {static_cast<int>((value >> 16) & 0xff), static_cast<int>((value >> 8) & 0xff),
            static_cast<int>(value & 0xff)};
}

bool XScreen::savePng(const std::string& path) const {
    const Window root = DefaultRootWindow(m_display);
    XWindowAttributes attributes;
    XGetWindowAttributes(m_display, root, &attributes);
    XImage* image =
        XGetImage(m_display, root, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (!image) {
        return false;
    }
    bool saved = false;
    if (image->bits_per_pixel == 32) {
        SDL_Surface* surface =
            SDL_CreateRGBSurfaceWithFormatFrom(image->data, image->width, image->height, 32,
                                               image->bytes_per_line, SDL_PIXELFORMAT_RGB888);
        saved = surface && IMG_SavePNG(surface, path.c_str()) == 0;
        SDL_FreeSurface(surface);
    }
    XDestroyImage(image);
    return saved;
}
