// The modal progress dialog shown while the link worker runs a long job: the window behind
// it keeps painting but takes no input, so no other library call can start. It has no cancel
// button and cannot be closed by the user; its owner deletes it when the job has ended.
// (A QProgressDialog would run the event loop from setValue and so re-enter its owner.)
#pragma once

#include "core/workflow/ApplicationDownload.h"

#include <QDialog>

#include <vector>

class QLabel;
class QProgressBar;

class LinkProgressDialog : public QDialog {
    Q_OBJECT
public:
    // A busy indicator with `text`, shown at once.
    LinkProgressDialog(const QString& title, const QString& text, QWidget* parent);

    // Measures a whole-application download of programs with these line counts: one step
    // each for the motor parameters and the peripherals, then one per record.
    void MeasureDownload(const std::vector<int>& lineCounts);
    // The step, program and record of `progress` in the text and the bar.
    void ShowDownloadProgress(const kelvane::DownloadProgress& progress);

    QString labelText() const;
    int value() const;
    int maximum() const;

    void reject() override {}

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* label_;
    QProgressBar* bar_;
    std::vector<int> lineCounts_;
};
