#include "rwsim/SimFleet.h"

#include <QThread>

#include <algorithm>

namespace rwsim {

namespace {

constexpr std::size_t kPerLoop = 16;

} // namespace

SimFleet::~SimFleet() {
    for (const Loop& loop : loops_) {
        OnLoop(loop, [&] {
            for (std::size_t i = loop.first; i < loop.first + loop.count; ++i)
                sims_[i].reset();
        });
        if (loop.thread) {
            loop.thread->quit();
            loop.thread->wait();
            delete loop.host;
        }
    }
}

bool SimFleet::Start(const std::vector<SimConfig>& configs, QString* error) {
    sims_.resize(configs.size());
    const bool threaded = configs.size() > kPerLoop;
    for (std::size_t first = 0; first < configs.size(); first += kPerLoop) {
        Loop loop;
        loop.first = first;
        loop.count = std::min(kPerLoop, configs.size() - first);
        if (threaded) {
            loop.thread = std::make_unique<QThread>();
            loop.thread->setObjectName(QStringLiteral("rwsim-%1").arg(loops_.size()));
            loop.host = new QObject;
            loop.host->moveToThread(loop.thread.get());
            loop.thread->start();
        }
        bool started = true;
        OnLoop(loop, [&] {
            for (std::size_t i = first; i < first + loop.count && started; ++i) {
                sims_[i] = std::make_unique<RwSimulator>(configs[i]);
                started = sims_[i]->Start(error);
            }
        });
        loops_.push_back(std::move(loop));
        if (!started)
            return false;
    }
    return true;
}

void SimFleet::OnLoop(const Loop& loop, const std::function<void()>& work) {
    if (!loop.thread)
        work();
    else
        QMetaObject::invokeMethod(loop.host, work, Qt::BlockingQueuedConnection);
}

} // namespace rwsim
