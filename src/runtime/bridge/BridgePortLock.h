#pragma once

#include <QString>

#include <memory>

// The bridge port's turn among the programs of this PC that bind the same address and port: a
// lock the system itself hands from one waiter to the next, in the order they came, waited for
// without polling and let go by the system when its holder dies. The process's runs share one
// turn (BridgeEndpoint), so one lock object per address and port is enough.
class BridgePortLock {
public:
    // `name` tells the lock apart: the same name in two programs is the same lock.
    explicit BridgePortLock(const QString& name);
    ~BridgePortLock();
    BridgePortLock(const BridgePortLock&) = delete;
    BridgePortLock& operator=(const BridgePortLock&) = delete;

    // Empty when the lock works; otherwise why not (every Take then fails at once).
    const QString& Problem() const { return problem_; }

    // Waits up to `limitMs` for the turn; false when it was not had by then.
    bool Take(int limitMs);
    void Release();
    // Another program waits for the turn now: the holder hands it on before taking more.
    bool OthersWaiting() const;

private:
    struct System;
    std::unique_ptr<System> system_;
    QString problem_;
    bool held_ = false;
};
