// The thread that talks to the controller. Jobs posted from the user-interface thread run on
// it one after the other, in the order they were posted, so no two library calls of the tool
// ever overlap; each job's completion comes back on the user-interface thread, where message
// boxes may be shown. A job may send notices (progress) to the user-interface thread while it
// runs. Message boxes never run on the worker.
//
// A completion or notice runs only while its context object lives: one whose window or view
// has gone by then is dropped. Jobs, completions and notices pass between the threads through
// the worker's own locked queues; Qt's event loop only wakes the user-interface side.
#pragma once

#include <QObject>
#include <QPointer>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class LinkWorker : public QObject {
    Q_OBJECT
public:
    explicit LinkWorker(QObject* parent = nullptr);
    // Waits for the job that runs, drops those still queued, and ends the thread. Completions
    // and notices not delivered yet are dropped.
    ~LinkWorker() override;

    // Runs `job` on the worker thread, then `done` with its result on this object's thread
    // unless `context` is gone by then.
    template <typename Result>
    void post(QObject* context, std::function<Result()> job, std::function<void(Result)> done) {
        auto result = std::make_shared<Result>();
        postJob(
            context, [job = std::move(job), result] { *result = job(); },
            [done = std::move(done), result] { done(std::move(*result)); });
    }
    void post(QObject* context, std::function<void()> job, std::function<void()> done) {
        postJob(context, std::move(job), std::move(done));
    }

    // From a job: runs `notice` on this object's thread, after the notices sent before it,
    // unless `context` is gone by then. The context is taken on the user-interface thread.
    void notify(const QPointer<QObject>& context, std::function<void()> notice);

    // True from a post until that job's completion has run or was dropped.
    bool busy() const { return pending_ > 0; }

signals:
    // Every posted job has run, and its completion has run or was dropped.
    void idle();

private:
    struct Delivery {
        QPointer<QObject> context;
        std::function<void()> run;
        bool endsJob = false;
    };
    struct Job {
        QPointer<QObject> context;
        std::function<void()> job;
        std::function<void()> done;
    };

    void postJob(QObject* context, std::function<void()> job, std::function<void()> done);
    void runJobs();  // the worker thread's loop
    void deliver(Delivery delivery);
    Q_INVOKABLE void runDeliveries();  // on this object's thread

    std::mutex mutex_;
    std::condition_variable jobPosted_;
    std::deque<Job> jobs_;             // under mutex_
    std::deque<Delivery> deliveries_;  // under mutex_
    bool stopping_ = false;            // under mutex_
    int pending_ = 0;                  // touched on this object's thread only
    std::thread thread_;               // last: starts once everything above exists
};
