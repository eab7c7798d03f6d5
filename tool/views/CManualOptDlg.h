// The manual operation view: input and output levels, position and speed of X..W refreshed
// every second while the view is active, and per axis a speed setting, absolute or relative
// moves, stops, jogs, clearing the position and returns to home and to zero.
#pragma once

#include "core/machine/ControllerAxes.h"
#include "core/machine/MachineStatus.h"
#include "views/ViewLink.h"

#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class CManualOptDlg : public QWidget {
    Q_OBJECT
public:
    // Its exchanges run on `worker`.
    explicit CManualOptDlg(LinkWorker& worker, QWidget* parent = nullptr);

    // Shown: work mode 2, one full refresh and the 1000 ms refresh timer, unless already active.
    // The refreshes run on the worker; a tick while the previous one runs is skipped.
    void Activate();
    // Hidden: stops the timer. The controller's work mode stays.
    void Deactivate();
    // Restarts the refresh timer after a pause (Deactivate) without Activate's traffic.
    void ResumePolling() { timer_.start(); }
    bool isActive() const { return timer_.isActive(); }

private:
    struct AxisControls {
        QLabel* speed;
        QLineEdit* speedSetting;
        QLabel* position;
        QPushButton* runMode;
        QLineEdit* target;
    };

    QWidget* buildInputGroup();
    QWidget* buildOutputGroup();
    QWidget* buildMotorGroup();
    void addAxisRows(QGridLayout* grid, int axis);

    bool readControls();
    void setSpeed(int axis);
    void toggleRunMode(int axis);
    void start(int axis);
    void switchOutput(int output);

    // What one refresh read; the outputs only on activation.
    struct Readings {
        std::uint32_t inputs = 0;
        std::optional<std::array<bool, kelvane::kOutputPins>> outputs;
        kelvane::AxisValues positions{};
        kelvane::AxisValues speeds{};
    };
    static Readings read(bool withOutputs);
    void showReadings(const Readings& readings);
    void onTimer();

    std::array<float, kelvane::kOperatedAxes> speedSetting_{};
    std::array<float, kelvane::kOperatedAxes> target_{};
    std::array<bool, kelvane::kOperatedAxes> absolute_{};

    std::array<QRadioButton*, kelvane::kInputPins> inputs_{};
    std::array<QCheckBox*, kelvane::kOutputPins> outputs_{};
    std::array<AxisControls, kelvane::kOperatedAxes> axes_{};
    QTimer timer_;
    ViewLink link_;
};
