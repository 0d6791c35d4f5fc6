#pragma once

// Where the program keeps its settings file and work folder. Normally beside its executable,
// and in the per-user folders only when that folder cannot be written. A build for system
// folders (TESSALY_PER_USER_FILES, the Debian package) never writes beside its executable: an
// installed program run by root must not litter /usr/bin, so it goes to the per-user folders
// straight away.
namespace FilePlacement {

constexpr bool kPerUserOnly = TESSALY_PER_USER_FILES != 0;

} // namespace FilePlacement
