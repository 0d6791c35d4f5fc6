#pragma once

#include <cstddef>

namespace tessaly {

// The one log rule shared by every writer of the log pane: a line appears when it is forced
// or debug display is on, and a pane that already holds kMaxLogLines lines is emptied first.
constexpr std::size_t kMaxLogLines = 1000;

constexpr bool LogLineShown(bool force, bool debugDisplay) { return force || debugDisplay; }
constexpr bool LogClearBeforeAppend(std::size_t linesHeld) { return linesHeld >= kMaxLogLines; }

} // namespace tessaly
