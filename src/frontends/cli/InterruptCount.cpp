#include "cli/InterruptCount.h"

#include <csignal>

#ifdef _WIN32
#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <windows.h>
#endif

namespace {

volatile std::sig_atomic_t presses = 0;

#ifdef _WIN32
HANDLE handled = nullptr;
// Windows ends the program when this returns from a console close; until then (at most about
// five seconds) the command finishes its record.
constexpr DWORD kCloseGraceMs = 4500;

BOOL WINAPI OnConsoleEvent(DWORD event) {
    presses = presses + (event == CTRL_C_EVENT ? 1 : 2);
    if (event == CTRL_CLOSE_EVENT && handled)
        WaitForSingleObject(handled, kCloseGraceMs);
    return TRUE;
}

// A program without a window is asked to end with WM_CLOSE posted to its main thread (what
// QProcess::terminate sends, and a supervising program's polite stop): counted as SIGTERM is.
class CloseRequests final : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override {
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->hwnd != nullptr || msg->message != WM_CLOSE)
            return false;
        presses = presses + 2;
        return true;
    }
};
#else
extern "C" void OnSignal(int signal) {
    presses = presses + (signal == SIGINT ? 1 : 2);
    // Some C libraries put the default action back before calling the handler.
    std::signal(signal, OnSignal);
}
#endif

} // namespace

void CountInterrupts() {
#ifdef _WIN32
    handled = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
    static CloseRequests closeRequests;
    QCoreApplication::instance()->installNativeEventFilter(&closeRequests);
#else
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
#endif
}

int Interrupts() {
    return presses;
}

void InterruptsHandled() {
#ifdef _WIN32
    if (handled)
        SetEvent(handled);
#endif
}
