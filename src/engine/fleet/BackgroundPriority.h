#pragma once

// Puts the calling thread below the ordinary threads of the process, so that a window's thread
// comes first when a fleet of hundreds has work at the same moment. Best effort: where the
// system does not allow it, nothing changes.
void LowerThisThreadPriority();
