// Views driven against a simulated controller through the real library: the command port is
// open on the simulator's COM1, message boxes are answered by a RecordingPrompter, and the
// requests the simulator received are read back as short text lines.
#pragma once

#include "common/LinkWorker.h"
#include "support/ConnectedControllerTest.h"
#include "support/RecordingPrompter.h"

#include "TrafficText.h"
#include "WireVocabulary.h"

#include <QPushButton>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

// Spins the event loop until `condition` holds; false after `timeoutMs`.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs);

class ViewTest : public ConnectedControllerTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Every request since the last call (or since the port was opened), described, once the
    // link worker has run what the view posted.
    std::vector<std::string> takeTraffic();
    // Spins the event loop until the link worker has run every posted job and its completion.
    bool settle(int timeoutMs = 10000);

    template <typename Widget>
    static Widget* child(QWidget* view, const QString& name) {
        auto* widget = view->findChild<Widget*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }

    RecordingPrompter prompter;
    LinkWorker worker;
};

// A ViewTest around one view of type View, with its children found by object name.
template <typename View>
class ViewFixture : public ViewTest {
protected:
    template <typename Widget>
    Widget* find(const QString& name) {
        return child<Widget>(&view, name);
    }
    void click(const QString& button) { find<QPushButton>(button)->click(); }

private:
    // Views that talk to the controller through the link worker take it.
    static View* makeView(LinkWorker& worker) {
        if constexpr (std::is_constructible_v<View, LinkWorker&>)
            return new View(worker);
        else
            return new View;
    }
    std::unique_ptr<View> owned_{makeView(worker)};

protected:
    View& view = *owned_;
};
