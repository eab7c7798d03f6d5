// The teach view: jog the axes, type targets and speeds, watch coordinates and I/O levels, and
// drive the controller's point recording (Modbus registers 360..367, coils 157..159).
#pragma once

#include "core/machine/ControllerAxes.h"
#include "core/machine/MachineStatus.h"
#include "core/machine/TeachSequence.h"
#include "views/ViewLink.h"

#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <map>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class CVideoTeachOptDlg : public QWidget {
    Q_OBJECT
public:
    // Its exchanges run on `worker`.
    explicit CVideoTeachOptDlg(LinkWorker& worker, QWidget* parent = nullptr);

    // Every time the view is shown: reads the recording state, positions and speeds, starts
    // the 1000 ms poll unless it runs, and shows the I/O levels. The reads run on the worker;
    // a poll while an earlier read of the view runs is skipped.
    void Activate();
    // Another view was chosen: stops the poll.
    void StopPolling();
    // Restarts the poll after a pause (StopPolling) without Activate's traffic.
    void ResumePolling() { timer_.start(); }
    bool isPolling() const { return timer_.isActive(); }

protected:
    // Leaving an edit box runs the action watchedBox gave it, with what the boxes hold.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct AxisControls {
        QLineEdit* speed;
        QLineEdit* target;
        QPushButton* left;
        QPushButton* right;
        QLabel* coordinate;
    };

    QWidget* buildAxisGroup();
    QWidget* buildCoordinateGroup();
    QWidget* buildRecordingGroup();
    QWidget* buildIoGroup();
    QLineEdit* watchedBox(const QString& name, std::function<void()> onLeft);

    bool readControls();
    void showMembers();
    // The I/O levels as read from the controller's pin blocks.
    struct Levels {
        std::uint32_t inputs = 0;
        std::uint32_t outputs = 0;
    };
    static Levels readLevels();
    void showLevels(const Levels& levels);
    void showCoordinates(const kelvane::AxisValues& positions);
    void refresh();
    void onTimer();

    void jog(int axis, QPushButton* button, const char* caption, int (*move)(int, int));
    void switchOutput(int output);
    void startRecording();
    void showCounters(const kelvane::RecordCounters& counters);
    void saveRecordPoint();
    void chooseTeachIo();

    std::array<float, kelvane::kOperatedAxes> speed_{};
    std::array<float, kelvane::kOperatedAxes> targetPos_{};
    std::int32_t recordPoint_ = 0;
    std::int32_t totalPoints_ = 0;
    float delayMs_ = 0;
    std::uint32_t inputEnableMask_;
    std::uint32_t outputEnableMask_;

    std::array<AxisControls, kelvane::kOperatedAxes> axes_{};
    QLineEdit* recordPointBox_ = nullptr;
    QLineEdit* totalPointsBox_ = nullptr;
    QLineEdit* delayBox_ = nullptr;
    std::array<QCheckBox*, kelvane::kInputPins> inputs_{};
    std::array<QCheckBox*, kelvane::kOutputPins> outputs_{};
    std::map<QObject*, std::function<void()>> leaveActions_;
    bool handlingLeave_ = false;
    QTimer timer_;
    ViewLink link_;
};
