#pragma once
// Scene changes: every change shows a fresh engine Scene whose only child is a fresh layer.

namespace engine {
class Layer;
}

// Makes `layer` the only child of a new Scene and hands that scene to the director (the first
// scene at once, a later one at the next frame through replaceScene). The change itself stops
// every timer of the scene being replaced and makes `layer` the one reader of server messages
// (CMessagePump), so nothing of the old scene acts or reads after it. False, with nothing
// changed, when `layer` is null (it could not be built) or no Scene could be made: the current
// scene then stays.
bool showLayerInNewScene(engine::Layer* layer);
