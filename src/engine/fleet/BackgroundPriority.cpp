#include "fleet/BackgroundPriority.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <windows.h>
#elif defined(Q_OS_LINUX)
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_LINUX
// Linux keeps a nice value per thread (Qt's thread priorities do nothing under the ordinary
// scheduler there). All the way down: with hundreds of R/Ws at once, anything less still lets
// them take turns ahead of the window's next frame.
constexpr int kNiceSteps = 19;
#endif

} // namespace

void LowerThisThreadPriority() {
#ifdef Q_OS_WIN
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
#elif defined(Q_OS_LINUX)
    const auto thread = static_cast<id_t>(syscall(SYS_gettid));
    setpriority(PRIO_PROCESS, thread, getpriority(PRIO_PROCESS, thread) + kNiceSteps);
#endif
}
