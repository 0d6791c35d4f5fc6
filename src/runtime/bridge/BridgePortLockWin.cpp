// A named mutex: the wait for it sleeps until it is handed over or the limit is reached, and the
// system hands on a dead holder's mutex (abandoned) to the next waiter. A mutex belongs to the
// thread that took it, while the turn is taken by one run's thread and given back by another's,
// so one thread of the lock's own takes and lets go of it for whoever asks. The waiters are
// counted in a small shared memory block.
#include "bridge/BridgePortLock.h"

#ifdef Q_OS_WIN
#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

#include <windows.h>

namespace {

enum class Ask { None, Take, Release, Quit };

QString SystemError() {
    return QStringLiteral("Windows error ") + QString::number(GetLastError());
}

} // namespace

struct BridgePortLock::System {
    HANDLE mutex = nullptr;
    HANDLE waitingMap = nullptr;
    volatile LONG* waiting = nullptr;

    std::thread owner;
    std::mutex m;
    std::condition_variable changed;
    Ask ask = Ask::None;
    int limitMs = 0;
    bool answered = false;
    bool taken = false;

    void OwnerLoop() {
        std::unique_lock lock(m);
        for (;;) {
            changed.wait(lock, [this] { return ask != Ask::None; });
            const Ask asked = std::exchange(ask, Ask::None);
            if (asked == Ask::Quit)
                return;
            const DWORD limit = DWORD(std::max(0, limitMs));
            lock.unlock();
            bool result = false;
            if (asked == Ask::Take) {
                const DWORD waited = WaitForSingleObject(mutex, limit);
                result = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
            } else {
                ReleaseMutex(mutex);
            }
            lock.lock();
            taken = result;
            answered = true;
            changed.notify_all();
        }
    }

    // Has the owner thread do `what`; its answer.
    bool Call(Ask what, int limit) {
        std::unique_lock lock(m);
        ask = what;
        limitMs = limit;
        answered = false;
        changed.notify_all();
        changed.wait(lock, [this] { return answered; });
        return taken;
    }
};

BridgePortLock::BridgePortLock(const QString& name) : system_(std::make_unique<System>()) {
    System& s = *system_;
    const std::wstring mutexName = (QStringLiteral("Local\\") + name).toStdWString();
    const std::wstring mapName =
        (QStringLiteral("Local\\") + name + QStringLiteral("-waiting")).toStdWString();
    s.mutex = CreateMutexW(nullptr, FALSE, mutexName.c_str());
    s.waitingMap = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(LONG), mapName.c_str());
    if (s.waitingMap)
        s.waiting = static_cast<volatile LONG*>(
            MapViewOfFile(s.waitingMap, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(LONG)));
    if (!s.mutex || !s.waiting) {
        problem_ = QStringLiteral("lock %1: %2").arg(name, SystemError());
        return;
    }
    s.owner = std::thread([&s] { s.OwnerLoop(); });
}

BridgePortLock::~BridgePortLock() {
    Release();
    System& s = *system_;
    if (s.owner.joinable()) {
        {
            std::lock_guard lock(s.m);
            s.ask = Ask::Quit;
        }
        s.changed.notify_all();
        s.owner.join();
    }
    if (s.waiting)
        UnmapViewOfFile(const_cast<LONG*>(s.waiting));
    if (s.waitingMap)
        CloseHandle(s.waitingMap);
    if (s.mutex)
        CloseHandle(s.mutex);
}

bool BridgePortLock::Take(int limitMs) {
    if (held_)
        return true;
    if (!problem_.isEmpty())
        return false;
    System& s = *system_;
    InterlockedIncrement(s.waiting);
    held_ = s.Call(Ask::Take, limitMs);
    InterlockedDecrement(s.waiting);
    return held_;
}

void BridgePortLock::Release() {
    if (!held_)
        return;
    system_->Call(Ask::Release, 0);
    held_ = false;
}

bool BridgePortLock::OthersWaiting() const {
    return system_->waiting && *system_->waiting > 0;
}
#endif
