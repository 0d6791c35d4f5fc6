// A System V semaphore: semtimedop sleeps in the kernel until the turn is free or the limit is
// reached, waiters are served in the order they came, SEM_UNDO gives the turn back when its
// holder dies, and the number of waiters can be read.
#include "bridge/BridgePortLock.h"

#ifndef Q_OS_WIN
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QThread>

#include <cerrno>
#include <cstring>

#include <sys/ipc.h>
#include <sys/sem.h>
#include <unistd.h>

// glibc leaves the argument union of semctl to the caller.
union SemArgument {
    int val;
    semid_ds* buf;
    unsigned short* array;
};

struct BridgePortLock::System {
    int id = -1;
};

namespace {

// The key comes from the name alone (not from a file's inode, as ftok's would), so every run
// of the program finds the same semaphore and the system keeps one per address and port.
key_t KeyOf(const QString& name) {
    const QByteArray hash = QCryptographicHash::hash(
        (name + QLatin1Char('|') + QString::number(getuid())).toUtf8(), QCryptographicHash::Sha256);
    std::uint32_t key = 0;
    std::memcpy(&key, hash.constData(), sizeof key);
    return key_t(key & 0x7FFFFFFFu) | 1; // never IPC_PRIVATE (0)
}

// A semaphore set is created with the value 0; its creator raises it to 1 (the turn is free),
// which also sets the time of its last operation. Until then, another program that found it
// must not use it: a moment's wait, at most a second, and only in that race.
bool WaitUntilReady(int id) {
    const QDeadlineTimer deadline(1000);
    while (!deadline.hasExpired()) {
        semid_ds state{};
        SemArgument argument{};
        argument.buf = &state;
        if (semctl(id, 0, IPC_STAT, argument) != 0)
            return false;
        if (state.sem_otime != 0)
            return true;
        QThread::msleep(1);
    }
    return false;
}

} // namespace

BridgePortLock::BridgePortLock(const QString& name) : system_(std::make_unique<System>()) {
    const key_t key = KeyOf(name);
    int id = semget(key, 1, IPC_CREAT | IPC_EXCL | 0600);
    if (id >= 0) {
        sembuf free{0, 1, 0}; // no SEM_UNDO: the turn stays free after its creator ends
        if (semop(id, &free, 1) != 0)
            id = -1;
    } else if (errno == EEXIST) {
        id = semget(key, 1, 0600);
        if (id >= 0 && !WaitUntilReady(id))
            id = -1;
    }
    if (id < 0)
        problem_ = QStringLiteral("semaphore for %1: %2")
                       .arg(name, QString::fromLocal8Bit(std::strerror(errno)));
    system_->id = id;
}

BridgePortLock::~BridgePortLock() {
    Release();
}

bool BridgePortLock::Take(int limitMs) {
    if (held_)
        return true;
    if (system_->id < 0)
        return false;
    const QDeadlineTimer deadline(limitMs);
    for (;;) {
        const qint64 left = std::max<qint64>(0, deadline.remainingTime());
        timespec wait{time_t(left / 1000), long(left % 1000) * 1000000L};
        sembuf take{0, -1, SEM_UNDO};
        if (semtimedop(system_->id, &take, 1, &wait) == 0)
            return held_ = true;
        if (errno != EINTR || deadline.hasExpired())
            return false;
    }
}

void BridgePortLock::Release() {
    if (!held_)
        return;
    sembuf give{0, 1, SEM_UNDO};
    semop(system_->id, &give, 1);
    held_ = false;
}

bool BridgePortLock::OthersWaiting() const {
    return system_->id >= 0 && semctl(system_->id, 0, GETNCNT) > 0;
}
#endif
