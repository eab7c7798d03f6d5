// The reads of a polling view on the link worker. Every read is posted, in order; a timer tick
// that finds an earlier read of the view still running is skipped, so ticks never pile up
// behind a slow or silent controller.
#pragma once

#include "shell/LinkWorker.h"

#include <functional>

class ViewReads {
public:
    explicit ViewReads(LinkWorker& worker) : worker_(worker) {}

    // Runs `read` on the worker, then `show` with its result on the user-interface thread.
    template <typename Result>
    void post(std::function<Result()> read, std::function<void(Result)> show) {
        ++running_;
        worker_.post<Result>(std::move(read), [this, show = std::move(show)](Result result) {
            --running_;
            show(std::move(result));
        });
    }
    // As post, unless a read of the view is still running.
    template <typename Result>
    void tick(std::function<Result()> read, std::function<void(Result)> show) {
        if (running_ == 0) post<Result>(std::move(read), std::move(show));
    }

    LinkWorker& worker() { return worker_; }

private:
    LinkWorker& worker_;
    int running_ = 0;  // posted reads whose results have not been shown yet
};
