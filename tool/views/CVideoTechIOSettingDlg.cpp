#include "CVideoTechIOSettingDlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

template <std::size_t N>
QGroupBox* BoxGroup(const char* title, const char* prefix, std::array<QCheckBox*, N>& boxes, std::uint32_t mask) {
    auto* group = new QGroupBox(QString::fromUtf8(title));
    auto* grid = new QGridLayout(group);
    for (std::size_t k = 0; k < N; ++k) {
        boxes[k] = new QCheckBox(QString::fromLatin1(prefix) + QString::number(k + 1));
        boxes[k]->setObjectName(boxes[k]->text());
        boxes[k]->setChecked((mask >> k) & 1u);
        grid->addWidget(boxes[k], static_cast<int>(k / 6), static_cast<int>(k % 6));
    }
    return group;
}

template <std::size_t N>
std::uint32_t MaskOf(const std::array<QCheckBox*, N>& boxes) {
    std::uint32_t mask = 0;
    for (std::size_t k = 0; k < N; ++k)
        if (boxes[k]->isChecked()) mask |= 1u << k;
    return mask;
}

}  // namespace

// The boxes take the masks once, when the dialog is built, so ticks the user has made survive
// any repaint.
CVideoTechIOSettingDlg::CVideoTechIOSettingDlg(std::uint32_t inputMask, std::uint32_t outputMask, QWidget* parent)
    : QDialog(parent), inputMask_(inputMask), outputMask_(outputMask) {
    setWindowTitle(QString::fromUtf8("示教IO配置"));
    auto* ok = new QPushButton(QString::fromUtf8("确定"));
    auto* cancel = new QPushButton(QString::fromUtf8("取消"));
    ok->setObjectName("ok");
    cancel->setObjectName("cancel");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CVideoTechIOSettingDlg::acceptBoxes);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BoxGroup("输入IO口启用", "IN", inputs_, inputMask));
    layout->addWidget(BoxGroup("输出IO口启用", "OUT", outputs_, outputMask));
    layout->addLayout(buttons);
}

void CVideoTechIOSettingDlg::acceptBoxes() {
    inputMask_ = MaskOf(inputs_);
    outputMask_ = MaskOf(outputs_);
    accept();
}
