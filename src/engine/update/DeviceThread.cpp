#include "update/DeviceThread.h"

#include "link/StopToken.h"

#include <QCoreApplication>

DeviceThread::DeviceThread(LinkStartUp startUp, LinkQuestions* questions)
    : startUp_(std::move(startUp)), questions_(questions), context_(new QObject) {
    qRegisterMetaType<RunEvent>();
    thread_.setObjectName(QStringLiteral("device"));
    context_->moveToThread(&thread_);
    QObject::connect(&thread_, &QThread::finished, context_, &QObject::deleteLater);
    thread_.start();
}

DeviceThread::~DeviceThread() {
    if (stop_)
        stop_->Request();
    // The session and its stop token were made on the device's thread and go there too, once
    // the job that may be running has given up.
    QMetaObject::invokeMethod(
        context_,
        [this] {
            session_.reset();
            stop_.reset();
        },
        Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

void DeviceThread::Start(std::function<void(LinkStartUp&)> beforeRebuild) {
    QMetaObject::invokeMethod(
        context_,
        [this, beforeRebuild = std::move(beforeRebuild)] {
            stop_ = std::make_unique<StopToken>();
            startUp_.stop = stop_.get();
            session_ = std::make_unique<DeviceSession>(startUp_, questions_);
            session_->beforeRebuild = beforeRebuild;
            // Posted to this object, in order, and sent on from here: the jobs' ends are posted
            // the same way, so a job's end never overtakes its events.
            session_->Events().Subscribe([this](const RunEvent& event) {
                QMetaObject::invokeMethod(
                    this, [this, event] { Q_EMIT Event(event); }, Qt::QueuedConnection);
            });
            session_->Build();
        },
        Qt::BlockingQueuedConnection);
    DeliverEvents();
}

void DeviceThread::Post(std::function<void(DeviceSession&)> job, std::function<void()> done) {
    ++pending_;
    QMetaObject::invokeMethod(context_, [this, job = std::move(job), done = std::move(done)] {
        job(*session_);
        // Queued behind the job's events, so it comes after all of them.
        QMetaObject::invokeMethod(
            this,
            [this, done] {
                --pending_;
                if (done)
                    done();
            },
            Qt::QueuedConnection);
    });
}

void DeviceThread::Call(const std::function<void(DeviceSession&)>& job) {
    QMetaObject::invokeMethod(
        context_, [this, &job] { job(*session_); }, Qt::BlockingQueuedConnection);
    DeliverEvents();
}

void DeviceThread::DeliverEvents() {
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}
