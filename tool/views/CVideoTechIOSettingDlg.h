// "示教IO配置": chooses which inputs and outputs take part in teaching, as two bit masks
// (bit n-1 = INn or OUTn).
#pragma once

#include "core/machine/MachineStatus.h"

#include <QDialog>

#include <array>
#include <cstdint>

class QCheckBox;

class CVideoTechIOSettingDlg : public QDialog {
    Q_OBJECT
public:
    CVideoTechIOSettingDlg(std::uint32_t inputMask, std::uint32_t outputMask, QWidget* parent = nullptr);

    // The masks as the dialog was opened with, or as built from the boxes by "确定".
    std::uint32_t inputMask() const { return inputMask_; }
    std::uint32_t outputMask() const { return outputMask_; }

private:
    void acceptBoxes();

    std::uint32_t inputMask_;
    std::uint32_t outputMask_;
    std::array<QCheckBox*, kelvane::kInputPins> inputs_{};
    std::array<QCheckBox*, kelvane::kOutputPins> outputs_{};
};
