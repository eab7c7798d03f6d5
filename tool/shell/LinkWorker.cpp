#include "LinkWorker.h"

#include <QMetaObject>

LinkWorker::LinkWorker(QObject* parent) : QObject(parent), context_(new QObject) {
    thread_.setObjectName(QStringLiteral("LinkWorker"));
    context_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, context_, &QObject::deleteLater);
    thread_.start();
}

LinkWorker::~LinkWorker() {
    thread_.quit();
    thread_.wait();
}

void LinkWorker::postJob(std::function<void()> job, std::function<void()> done) {
    ++pending_;
    QMetaObject::invokeMethod(
        context_,
        [this, job = std::move(job), done = std::move(done)]() mutable {
            job();
            notify([this, done = std::move(done)] {
                done();
                if (--pending_ == 0) emit idle();
            });
        },
        Qt::QueuedConnection);
}

void LinkWorker::notify(std::function<void()> notice) {
    QMetaObject::invokeMethod(this, std::move(notice), Qt::QueuedConnection);
}
