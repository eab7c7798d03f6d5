// The peripheral view: limit inputs and their trigger level, the two A/D channels and the
// three encoder inputs of the application program, plus direct reading and writing of the
// controller's RS-485 and RS-232 bus addresses.
#pragma once

#include "core/application/ApplicationProgramBuffer.h"
#include "views/ViewLink.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

class CPeripheralDlg : public QWidget {
    Q_OBJECT
public:
    // The address buttons' exchanges run on `worker`.
    explicit CPeripheralDlg(LinkWorker& worker, QWidget* parent = nullptr);

    void FillFromRecord(const kelvane::PeripheralParameterRecord& record);
    // Takes the boxes that parse (a bad one shows its message); copies every field either way.
    void CopyToRecord(kelvane::PeripheralParameterRecord& record);
    // The settings as the boxes hold them, for a download; none when a box does not parse (its
    // message has been shown).
    std::optional<kelvane::PeripheralParameterRecord> ReadForDownload();

    // The four address buttons, as the view's buttons run them. The addresses are not part of
    // the application program: only a write button reads an address box, its own.
    void ReadRs485Address();
    void WriteRs485Address();
    void ReadRs232Address();
    void WriteRs232Address();

private:
    struct AnalogueControls {
        QComboBox* mode;
        QLineEdit* minimum;
        QLineEdit* maximum;
    };
    struct EncoderControls {
        QComboBox* mode;
        QLineEdit* lines;
        QLineEdit* ratio;
    };

    QWidget* buildLimitGroup();
    QWidget* buildAddressGroup();
    QWidget* buildAnalogueGroup();
    QWidget* buildEncoderGroup();
    void refillLists();
    // The A/D and encoder boxes, the edit boxes of the application program.
    bool readControls();
    // The address in `box` when it holds an integer from 0 to 255; otherwise its message.
    std::optional<std::uint8_t> readAddress(QLineEdit* box);
    void gather(kelvane::PeripheralParameterRecord& record) const;
    void showMembers();

    // Members of the program's edit boxes; the lists and the check box are read where they
    // stand.
    kelvane::PeripheralParameterRecord values_;

    QCheckBox* activeHigh_ = nullptr;
    std::array<QComboBox*, 2 * kelvane::kMotorAxes> limits_{};  // axis n: [2(n-1)] -, +
    QLineEdit* rs485Box_ = nullptr;
    QLineEdit* rs232Box_ = nullptr;
    std::array<AnalogueControls, 2> analogue_{};
    std::array<EncoderControls, 3> encoders_{};
    ViewLink link_;
};
