#include "app/WindowQuestions.h"

#include "app/TRXProgAppForm.h"

#include <QMutex>
#include <QMutexLocker>
#include <QSemaphore>
#include <QThread>

// The state a question shares with the window's thread: it may outlive the question that made
// it, when the window gives up on it.
struct WindowQuestions::Pending {
    QMutex mutex;
    bool abandoned = false;
    bool asking = false; // the window has begun to ask: the question waits for its answer
    QSemaphore answered;
};

namespace {
constexpr int kAbandonCheckMs = 50;
}

WindowQuestions::WindowQuestions(TRXProgAppForm& form)
    : form_(form), abandoned_(std::make_shared<Pending>()) {}

WindowQuestions::~WindowQuestions() {
    Abandon();
}

void WindowQuestions::Abandon() {
    QMutexLocker lock(&abandoned_->mutex);
    abandoned_->abandoned = true;
}

bool WindowQuestions::OnWindowThread(const std::function<void()>& ask) {
    if (QThread::currentThread() == form_.thread()) {
        ask();
        return true;
    }
    const auto window = abandoned_;
    const auto pending = std::make_shared<Pending>();
    const auto* asking = &ask;
    QMetaObject::invokeMethod(
        &form_,
        [window, pending, asking] {
            {
                // Both checked before `ask`, which lives on the asking thread's stack, is used.
                QMutexLocker windowLock(&window->mutex);
                QMutexLocker lock(&pending->mutex);
                if (window->abandoned || pending->abandoned)
                    return;
                pending->asking = true;
            }
            (*asking)();
            pending->answered.release();
        },
        Qt::QueuedConnection);
    for (;;) {
        if (pending->answered.tryAcquire(1, kAbandonCheckMs))
            return true;
        QMutexLocker windowLock(&window->mutex);
        QMutexLocker lock(&pending->mutex);
        if (window->abandoned && !pending->asking) {
            pending->abandoned = true;
            return false;
        }
    }
}

bool WindowQuestions::AskConnectionSettings(tagTCPIPPara& params, int& reWriteMode) {
    bool confirmed = false;
    return OnWindowThread([&] { confirmed = form_.AskConnectionSettings(params, reWriteMode); }) &&
           confirmed;
}

void WindowQuestions::ShowErrorBox(const QString& text) {
    OnWindowThread([&] { form_.ShowErrorBox(text); });
}

void WindowQuestions::ShowOutOfRangeBox(const QString& text) {
    OnWindowThread([&] { form_.ShowOutOfRangeBox(text); });
}
