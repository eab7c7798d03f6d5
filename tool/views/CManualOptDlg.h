// The manual operation view: input and output levels, position and speed of X..W refreshed
// every second while the view is active, and per axis a speed setting, absolute or relative
// moves, stops, jogs, clearing the position and returns to home and to zero.
#pragma once

#include "core/machine/ControllerAxes.h"
#include "core/machine/MachineStatus.h"

#include <QTimer>
#include <QWidget>

#include <array>

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class CManualOptDlg : public QWidget {
    Q_OBJECT
public:
    explicit CManualOptDlg(QWidget* parent = nullptr);

    // Shown: work mode 2, one full refresh and the 1000 ms refresh timer, unless already active.
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

    void refreshInputs();
    void refreshOutputs();
    void refreshPositions();
    void refreshSpeeds();
    void onTimer();

    std::array<float, kelvane::kOperatedAxes> speedSetting_{};
    std::array<float, kelvane::kOperatedAxes> target_{};
    std::array<bool, kelvane::kOperatedAxes> absolute_{};

    std::array<QRadioButton*, kelvane::kInputPins> inputs_{};
    std::array<QCheckBox*, kelvane::kOutputPins> outputs_{};
    std::array<AxisControls, kelvane::kOperatedAxes> axes_{};
    QTimer timer_;
};
