// A view's exchanges with the controller, run on the link worker in the order the view posts
// them. A timer tick that finds an earlier exchange of the view still running is skipped, so
// ticks never pile up behind a slow or silent controller.
#pragma once

#include "common/LinkWorker.h"

#include <QObject>

#include <functional>

class ViewLink {
public:
    // `view` is the context of every completion: none runs once the view has gone.
    ViewLink(LinkWorker& worker, QObject* view) : worker_(worker), view_(view) {}

    // Runs `read` on the worker, then `show` with its result on the user-interface thread.
    template <typename Result>
    void post(std::function<Result()> read, std::function<void(Result)> show) {
        ++running_;
        worker_.post<Result>(view_, std::move(read), [this, show = std::move(show)](Result result) {
            --running_;
            show(std::move(result));
        });
    }
    // Runs `exchange` on the worker; nothing comes back.
    void send(std::function<void()> exchange) {
        ++running_;
        worker_.post(view_, std::move(exchange), [this] { --running_; });
    }
    // As post, unless an exchange of the view is still running.
    template <typename Result>
    void tick(std::function<Result()> read, std::function<void(Result)> show) {
        if (running_ == 0) post<Result>(std::move(read), std::move(show));
    }

private:
    LinkWorker& worker_;
    QObject* view_;
    int running_ = 0;  // posted exchanges whose completion has not run yet
};
