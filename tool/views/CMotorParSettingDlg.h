// The motor parameter view: pulses per revolution, pitch, backlash, acceleration,
// deceleration and minimum speed of axes 1..8, filled from and copied into the application
// program and downloaded to the controller.
#pragma once

#include "core/application/ApplicationProgramBuffer.h"

#include <QWidget>

#include <array>
#include <optional>
#include <string>

class QLineEdit;

class CMotorParSettingDlg : public QWidget {
    Q_OBJECT
public:
    explicit CMotorParSettingDlg(QWidget* parent = nullptr);

    void FillFromRecord(const kelvane::MotorParameterRecord& record);
    // Takes the boxes that parse (a bad one shows its message); copies all axes either way.
    void CopyToRecord(kelvane::MotorParameterRecord& record);
    // The parameters as the boxes hold them, for a download; none when a box does not parse
    // (its message has been shown).
    std::optional<kelvane::MotorParameterRecord> ReadForDownload();
    // Tells the user which value the controller did not take.
    void ShowDownloadFailure(const std::string& message);

private:
    struct AxisBoxes {
        QLineEdit* subdivision;
        QLineEdit* pitch;
        QLineEdit* backlash;
        QLineEdit* acceleration;
        QLineEdit* deceleration;  // kept with the record, never shown
        QLineEdit* minimumSpeed;
    };

    bool readControls();
    void showMembers();

    kelvane::MotorParameterRecord values_;
    std::array<AxisBoxes, kelvane::kMotorAxes> boxes_{};
};
