#include "LinkProgressDialog.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>
#include <numeric>

namespace {

// Motor parameters and peripherals before the records.
constexpr int kStepsBeforePrograms = 2;

}  // namespace

LinkProgressDialog::LinkProgressDialog(const QString& title, const QString& text, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      label_(new QLabel(text, this)),
      bar_(new QProgressBar(this)) {
    setObjectName(QStringLiteral("linkProgress"));
    setWindowTitle(title);
    setWindowModality(Qt::ApplicationModal);
    bar_->setRange(0, 0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(bar_);
    setMinimumWidth(420);
    show();
}

void LinkProgressDialog::MeasureDownload(const std::vector<int>& lineCounts) {
    lineCounts_ = lineCounts;
    bar_->setRange(0, kStepsBeforePrograms + std::accumulate(lineCounts.begin(), lineCounts.end(), 0));
    bar_->setValue(0);
}

void LinkProgressDialog::ShowDownloadProgress(const kelvane::DownloadProgress& progress) {
    switch (progress.step) {
        case kelvane::DownloadStep::MotorParameters:
            label_->setText(QStringLiteral("正在下载电机参数…"));
            bar_->setValue(0);
            return;
        case kelvane::DownloadStep::Peripherals:
            label_->setText(QStringLiteral("正在下载外设参数…"));
            bar_->setValue(1);
            return;
        case kelvane::DownloadStep::UserPrograms:
            break;
    }
    const int program = std::clamp(progress.program, 0, static_cast<int>(lineCounts_.size()));
    const int recordsBefore = std::accumulate(lineCounts_.begin(), lineCounts_.begin() + program, 0);
    label_->setText(QStringLiteral("正在下载用户程序%1 (%2/%3)：第 %4/%5 条记录")
                        .arg(progress.program)
                        .arg(progress.program + 1)
                        .arg(progress.programCount)
                        .arg(progress.record)
                        .arg(progress.recordCount));
    bar_->setValue(std::min(bar_->maximum(), kStepsBeforePrograms + recordsBefore + progress.record));
}

QString LinkProgressDialog::labelText() const { return label_->text(); }
int LinkProgressDialog::value() const { return bar_->value(); }
int LinkProgressDialog::maximum() const { return bar_->maximum(); }

void LinkProgressDialog::closeEvent(QCloseEvent* event) { event->ignore(); }
