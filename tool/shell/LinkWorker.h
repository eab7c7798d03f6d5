// The thread that talks to the controller. Jobs posted from the user-interface thread run on
// it one after the other, in the order they were posted, so no two library calls of the tool
// ever overlap; each job's completion comes back on the user-interface thread, where message
// boxes may be shown. A job may send notices (progress) to the user-interface thread while it
// runs. Message boxes never run on the worker.
#pragma once

#include <QObject>
#include <QThread>

#include <functional>
#include <memory>

class LinkWorker : public QObject {
    Q_OBJECT
public:
    explicit LinkWorker(QObject* parent = nullptr);
    // Waits for the job that runs, drops those still queued, and ends the thread.
    ~LinkWorker() override;

    // Runs `job` on the worker thread, then `done` with its result on this object's thread.
    template <typename Result>
    void post(std::function<Result()> job, std::function<void(Result)> done) {
        auto result = std::make_shared<Result>();
        postJob([job = std::move(job), result] { *result = job(); },
                [done = std::move(done), result] { done(std::move(*result)); });
    }
    void post(std::function<void()> job, std::function<void()> done) { postJob(std::move(job), std::move(done)); }

    // From a job: runs `notice` on this object's thread, after the notices sent before it.
    void notify(std::function<void()> notice);

    // True from a post until that job's completion has run.
    bool busy() const { return pending_ > 0; }

signals:
    // Every posted job has run and so has its completion.
    void idle();

private:
    void postJob(std::function<void()> job, std::function<void()> done);

    QThread thread_;
    QObject* context_;  // lives on thread_: queued calls to it run there
    int pending_ = 0;   // touched on this object's thread only
};
