#pragma once
// A hidden panel built the first time it is opened instead of with its scene: most visits open
// few of a scene's panels, and building one (its labels render their text) costs more than the
// rest of the scene. The scene adds the panel's place, an empty node at the panel's z-order,
// with its other elements; the panel becomes the place's only child when first asked for and
// stays for the scene's life. So a panel built late draws and takes input exactly where one
// built with the scene would (same z-order, same order among equal z-orders), and a panel not
// built yet is simply closed. Main thread only.
//
// `Panel` is a node with open(), close() and isOpen(), positioned in the scene's coordinates
// (the place stands at the scene's origin).

#include <cstdio>
#include <functional>
#include <utility>

#include "engine/base/Create.h"
#include "engine/scene/Node.h"

template <class Panel>
class CLazyPanel : public engine::Node {
public:
    // Builds the panel; null when it cannot (the engine has said why on stderr).
    using Factory = std::function<Panel*()>;

    // The place of the panel `make` builds, not yet added to a scene; null when it cannot be
    // made.
    static CLazyPanel* create(Factory make) {
        return engine::createAutoreleased(new CLazyPanel(), [&make](CLazyPanel* place) {
            place->m_make = std::move(make);
            return place->init();
        });
    }

    // The panel, built and added now when it was not; null when it cannot be built (it is tried
    // again the next time).
    Panel* panel() {
        if (m_panel == nullptr) {
            m_panel = m_make();
            if (m_panel == nullptr) {
                std::fprintf(stderr, "scene: a panel cannot be built; it stays closed\n");
                return nullptr;
            }
            addChild(m_panel);
        }
        return m_panel;
    }
    // The panel when built already, null before: for readers that must not build it.
    Panel* built() const { return m_panel; }

    // Opens the panel, building it first when needed; nothing when it cannot be built.
    void open() {
        if (Panel* shown = panel()) {
            shown->open();
        }
    }
    // Closes the panel; one never built stays unbuilt.
    void close() {
        if (m_panel != nullptr) {
            m_panel->close();
        }
    }
    bool isOpen() const { return m_panel != nullptr && m_panel->isOpen(); }
    // Opens the panel while it is closed, closes it while it is open (its button's release).
    void toggle() { isOpen() ? close() : open(); }

private:
    CLazyPanel() = default;

    Factory m_make;
    Panel* m_panel = nullptr;  // this node's child once built
};
