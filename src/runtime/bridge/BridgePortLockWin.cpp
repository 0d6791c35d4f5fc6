// A byte-range lock on a file opened for overlapped I/O: the wait for it sleeps until the lock is
// granted or the limit is reached (the request is then cancelled), and the system lets go of a
// dead holder's lock with its handle. The waiters are counted in a small shared memory block.
#include "bridge/BridgePortLock.h"

#ifdef Q_OS_WIN
#include <QDir>

#include <windows.h>

struct BridgePortLock::System {
    HANDLE file = INVALID_HANDLE_VALUE;
    HANDLE waitingMap = nullptr;
    volatile LONG* waiting = nullptr;
    HANDLE event = nullptr;
};

namespace {

QString SystemError() {
    return QString::fromWCharArray(L"Windows error ") + QString::number(GetLastError());
}

} // namespace

BridgePortLock::BridgePortLock(const QString& name) : system_(std::make_unique<System>()) {
    System& s = *system_;
    const std::wstring path = QDir::toNativeSeparators(name).toStdWString();
    s.file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_ALWAYS, FILE_FLAG_OVERLAPPED, nullptr);
    QString mapName = name;
    mapName.replace(QLatin1Char('\\'), QLatin1Char('_'))
        .replace(QLatin1Char('/'), QLatin1Char('_'));
    mapName = QStringLiteral("Local\\") + mapName.replace(QLatin1Char(':'), QLatin1Char('_'));
    const std::wstring map = mapName.toStdWString();
    s.waitingMap = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(LONG), map.c_str());
    if (s.waitingMap)
        s.waiting = static_cast<volatile LONG*>(
            MapViewOfFile(s.waitingMap, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(LONG)));
    s.event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (s.file == INVALID_HANDLE_VALUE || !s.waiting || !s.event)
        problem_ = QStringLiteral("lock %1: %2").arg(name, SystemError());
}

BridgePortLock::~BridgePortLock() {
    Release();
    System& s = *system_;
    if (s.waiting)
        UnmapViewOfFile(const_cast<LONG*>(s.waiting));
    if (s.waitingMap)
        CloseHandle(s.waitingMap);
    if (s.event)
        CloseHandle(s.event);
    if (s.file != INVALID_HANDLE_VALUE)
        CloseHandle(s.file);
}

bool BridgePortLock::Take(int limitMs) {
    if (held_)
        return true;
    if (!problem_.isEmpty())
        return false;
    System& s = *system_;
    OVERLAPPED request{};
    ResetEvent(s.event);
    request.hEvent = s.event;
    InterlockedIncrement(s.waiting);
    bool taken = LockFileEx(s.file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &request) != 0;
    if (!taken && GetLastError() == ERROR_IO_PENDING) {
        DWORD unused = 0;
        if (WaitForSingleObject(s.event, DWORD(std::max(0, limitMs))) != WAIT_OBJECT_0)
            CancelIoEx(s.file, &request);
        // After a cancel this waits for the request to end; it may have been granted
        // meanwhile.
        taken = GetOverlappedResult(s.file, &request, &unused, TRUE) != 0;
    }
    InterlockedDecrement(s.waiting);
    return held_ = taken;
}

void BridgePortLock::Release() {
    if (!held_)
        return;
    OVERLAPPED range{};
    UnlockFileEx(system_->file, 0, 1, 0, &range);
    held_ = false;
}

bool BridgePortLock::OthersWaiting() const {
    return system_->waiting && *system_->waiting > 0;
}
#endif
