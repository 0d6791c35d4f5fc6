#pragma once

// The main window's device from a window test: its jobs run on the device's thread, so a test
// hands work to it as the window's commands do and waits, within a limit, for it to end.

#include "app/TRXProgAppForm.h"
#include "link/TFlashWrRXCont.h"

#include <QApplication>
#include <QTest>
#include <QThread>

#include <functional>

// Waits until the window's device has no job left; false when it still had one at the limit.
inline bool WaitUntilIdle(TRXProgAppForm& form, int limitMs = 20000) {
    return QTest::qWaitFor([&] { return !form.Busy(); }, limitMs);
}

// Runs `job` on the window's device as one of the window's commands, and waits for it.
inline bool RunOnWindowDevice(TRXProgAppForm& form, std::function<void(TFlashWrRXCont&)> job,
                              int limitMs = 20000) {
    form.RunOnDevice([job = std::move(job)](DeviceSession& session) { job(session.Link()); });
    return WaitUntilIdle(form, limitMs);
}

// Runs `work` on the window's thread, waiting for it when called from the device's thread (a
// scripted peer answering there, looking at the window meanwhile).
inline void OnWindowThread(const std::function<void()>& work) {
    if (QThread::currentThread() == qApp->thread())
        work();
    else
        QMetaObject::invokeMethod(qApp, work, Qt::BlockingQueuedConnection);
}
