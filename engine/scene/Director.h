#pragma once
// The main loop's owner: the running scene, the view, the frame clock, and the services every
// node uses (scheduler, event dispatcher, texture cache).
//
// One frame (runFrame): a resize gives the view its new frame size, touches and keys are
// dispatched (an exposure marks the frame for redrawing), timers run, a scene passed to
// replaceScene becomes the running one (the old scene stops, its timers and listeners with it,
// and is released), the running scene is drawn if anything visible changed or the window was
// exposed since the last drawing, and the autorelease pool is drained. Application::run and the
// headless back end call runFrame; between frames the loop waits in the back end for input until
// secondsUntilNextFrame.
// Main thread only.

#include <vector>

#include "engine/base/Color.h"
#include "engine/base/Size.h"
#include "engine/base/Vec2.h"
#include "engine/platform/Backend.h"

namespace engine {

class EventDispatcher;
class TextInputTarget;
struct Rect;
class GLView;
class Scene;
class Scheduler;
class TextureCache;

class Director {
public:
    static Director* getInstance();

    // ---- View and sizes
    GLView* getOpenGLView() const { return m_view; }
    void setOpenGLView(GLView* view);  // retains
    // The design size (1024 x 768 for the client); Size::ZERO without a view.
    Size getVisibleSize() const;
    // Image pixels per design point: 2 when the images come from the double-size set. Frames,
    // sprites and labels keep their sizes in points and draw from that many pixels per point.
    void setContentScaleFactor(float factor);
    float getContentScaleFactor() const { return m_contentScaleFactor; }
    // The colour of the window around the design area (and under it); opaque black by default.
    void setClearColor(const Color4B& color);

    // ---- Scenes
    // Makes `scene` the running scene at once (the first scene).
    void runWithScene(Scene* scene);
    // `scene` replaces the running one during the current or next frame, before drawing; safe
    // from any callback of the old scene.
    void replaceScene(Scene* scene);
    Scene* getRunningScene() const { return m_runningScene; }
    // Asks Application::run to return after the current frame.
    void end() { m_endRequested = true; }
    bool isEndRequested() const { return m_endRequested; }

    // ---- Frames
    void setAnimationInterval(double seconds) { m_animationInterval = seconds; }
    // While stopped, frames do nothing (no timers, no drawing; touches are dropped).
    void stopAnimation() { m_animationStopped = true; }
    void startAnimation();
    bool isAnimationStopped() const { return m_animationStopped; }
    // While drawing is paused (a minimised window), frames still run timers and scene changes
    // but draw nothing; resuming draws the scene at the next frame.
    void pauseDrawing() { m_drawingPaused = true; }
    void resumeDrawing();
    // Marks the frame for redrawing; every visible change of a node calls it.
    static void setNeedsRedraw() { s_needsRedraw = true; }
    void runFrame(const std::vector<InputEvent>& input);
    // Seconds until a frame has work: with input pending or something changed, when the
    // animation interval since the last frame has passed (at once before the first frame);
    // otherwise when the next timer is due. A large number (1e9) when there is nothing to do, or while stopped.
    double secondsUntilWork(bool inputPending);
    // Draws the running scene now.
    void drawScene();
    // Stops and releases the scenes and drains the pool (the end of Application::run).
    void purge();

    // ---- Services
    Scheduler* getScheduler() const { return m_scheduler; }
    EventDispatcher* getEventDispatcher() const { return m_eventDispatcher; }

    // ---- Text input: one target at a time (a focused text field)
    // From now on `target` gets the typed and composed text, and the back end's text input is on,
    // the input method's candidates shown by `area` (design coordinates). Replaces any target.
    void attachTextInput(TextInputTarget* target, const Rect& area);
    // Text input off, when `target` is the one attached; otherwise nothing.
    void detachTextInput(TextInputTarget* target);
    TextureCache* getTextureCache() const { return m_textureCache; }

private:
    Director();
    void setNextScene();
    void dispatchInput(const InputEvent& event);

    static inline bool s_needsRedraw = true;

    GLView* m_view = nullptr;
    Scene* m_runningScene = nullptr;  // retained
    Scene* m_nextScene = nullptr;     // retained until it runs
    Scheduler* m_scheduler = nullptr;
    EventDispatcher* m_eventDispatcher = nullptr;
    TextInputTarget* m_textTarget = nullptr;  // not owned: the target detaches itself
    TextureCache* m_textureCache = nullptr;
    double m_animationInterval = 1.0 / 60;
    double m_lastFrameTime = 0;  // the timers' time base: the last frame, or the first scene's start
    bool m_lastFrameTimeValid = false;
    bool m_frameRun = false;  // a frame has run: until then the first one is due at once
    bool m_animationStopped = false;
    bool m_drawingPaused = false;
    bool m_endRequested = false;
    float m_contentScaleFactor = 1.0f;
    Color4B m_clearColor{0, 0, 0, 255};
};

}  // namespace engine
