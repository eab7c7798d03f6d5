// The link worker: jobs run in order on a thread of their own, their notices and completions
// come back in order on the posting thread, nothing comes back to a context that has gone, and
// ending the worker waits for the running job only.
#include "common/LinkWorker.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

bool WaitUntilIdle(const LinkWorker& worker) {
    return QTest::qWaitFor([&worker] { return !worker.busy(); }, 10000);
}

TEST(LinkWorker, JobsRunInOrderOnTheWorkerAndReportInOrderOnThePostingThread) {
    LinkWorker worker;
    QObject context;
    const QPointer<QObject> notices = &context;
    const std::thread::id here = std::this_thread::get_id();
    std::vector<std::string> seen;  // on this thread only
    std::vector<std::thread::id> jobThreads(3), reportThreads;
    for (int i = 0; i < 3; ++i)
        worker.post<int>(
            &context,
            [&, i] {
                jobThreads[i] = std::this_thread::get_id();
                worker.notify(notices, [&, i] {
                    reportThreads.push_back(std::this_thread::get_id());
                    seen.push_back("notice " + std::to_string(i));
                });
                return i * 10;
            },
            [&](int result) {
                reportThreads.push_back(std::this_thread::get_id());
                seen.push_back("done " + std::to_string(result));
                EXPECT_TRUE(worker.busy()) << "until its own completion has run";
            });
    EXPECT_TRUE(worker.busy());
    ASSERT_TRUE(WaitUntilIdle(worker));

    EXPECT_EQ(seen, (std::vector<std::string>{"notice 0", "done 0", "notice 1", "done 10", "notice 2", "done 20"}));
    for (std::thread::id id : jobThreads) EXPECT_NE(id, here);
    EXPECT_EQ(reportThreads, std::vector<std::thread::id>(6, here));
}

TEST(LinkWorker, NothingComesBackToAContextThatHasGone) {
    LinkWorker worker;
    auto context = std::make_unique<QObject>();
    const QPointer<QObject> notices = context.get();
    bool reported = false;
    worker.post(
        context.get(), [&] { worker.notify(notices, [&] { reported = true; }); }, [&] { reported = true; });
    context.reset();  // before this thread could take anything back
    ASSERT_TRUE(WaitUntilIdle(worker)) << "a dropped completion still ends its job";
    EXPECT_FALSE(reported);
}

TEST(LinkWorker, EndingWaitsForTheRunningJobAndDropsTheQueuedOnes) {
    std::atomic<int> jobsRun{0};
    bool reported = false;
    {
        LinkWorker worker;
        QObject context;
        std::promise<void> started;
        worker.post(
            &context,
            [&] {
                started.set_value();
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                ++jobsRun;
            },
            [&] { reported = true; });
        worker.post(
            &context, [&] { ++jobsRun; }, [&] { reported = true; });
        started.get_future().wait();
    }
    EXPECT_EQ(jobsRun, 1);
    QCoreApplication::processEvents();
    EXPECT_FALSE(reported);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
