#include "LinkWorker.h"

#include <QMetaObject>

#if defined(__linux__)
#include <pthread.h>
#endif

LinkWorker::LinkWorker(QObject* parent) : QObject(parent), thread_([this] { runJobs(); }) {}

LinkWorker::~LinkWorker() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        jobs_.clear();
    }
    jobPosted_.notify_one();
    thread_.join();
}

void LinkWorker::postJob(QObject* context, std::function<void()> job, std::function<void()> done) {
    ++pending_;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        jobs_.push_back({context, std::move(job), std::move(done)});
    }
    jobPosted_.notify_one();
}

void LinkWorker::runJobs() {
#if defined(__linux__)
    pthread_setname_np(pthread_self(), "LinkWorker");  // as debuggers and ps show the thread
#endif
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        jobPosted_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (stopping_) return;
        Job next = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        next.job();
        deliver({std::move(next.context), std::move(next.done), true});
        lock.lock();
    }
}

void LinkWorker::notify(const QPointer<QObject>& context, std::function<void()> notice) {
    deliver({context, std::move(notice), false});
}

// The wake-up carries nothing: what it delivers passes through the locked queue.
void LinkWorker::deliver(Delivery delivery) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        deliveries_.push_back(std::move(delivery));
    }
    QMetaObject::invokeMethod(this, "runDeliveries", Qt::QueuedConnection);
}

void LinkWorker::runDeliveries() {
    for (;;) {
        Delivery next;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (deliveries_.empty()) return;
            next = std::move(deliveries_.front());
            deliveries_.pop_front();
        }
        if (next.context) next.run();
        if (next.endsJob && --pending_ == 0) emit idle();
    }
}
