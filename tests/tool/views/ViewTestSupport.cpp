#include "ViewTestSupport.h"

#include <Kelvane_Ravo_Q9T2.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

void ViewTest::SetUp() {
    ConnectedControllerTest::SetUp();
    controller->clearTraffic();
}

void ViewTest::TearDown() {
    EXPECT_TRUE(settle());
    ConnectedControllerTest::TearDown();
}

bool ViewTest::settle(int timeoutMs) {
    return WaitFor([this] { return !worker.busy(); }, timeoutMs);
}

std::vector<std::string> ViewTest::takeTraffic() {
    EXPECT_TRUE(settle()) << "the link worker did not finish";
    std::vector<std::string> lines;
    for (const ravo_sim::Request& request : controller->traffic()) lines.push_back(Describe(request));
    controller->clearTraffic();
    return lines;
}
