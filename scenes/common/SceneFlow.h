#pragma once
// Scene changes: every change shows a fresh engine Scene whose only child is a fresh layer.

namespace engine {
class Layer;
}

// Makes `layer` the only child of a new Scene and hands that scene to Director::replaceScene
// (effective at the next frame). False, with nothing changed, when `layer` is null (it could not
// be built) or no Scene could be made: the current scene then stays.
bool showLayerInNewScene(engine::Layer* layer);
