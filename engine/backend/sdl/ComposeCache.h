#pragma once
// Xlib parses the locale's Compose table (thousands of lines, for dead keys and the Compose key)
// whenever an input method opens, and SDL opens one as its video starts: about 12 ms of every
// start-up. Xlib keeps a parsed copy, checked against the table's file, in the folder that
// XCOMPOSECACHE names (it never does so for root, nor without a folder). Main thread, before SDL's
// video starts.

namespace engine {

// Points XCOMPOSECACHE at a folder of the program's cache, made if missing, unless the user has
// chosen one; does nothing on systems without Xlib.
void useComposeCache();

}  // namespace engine
