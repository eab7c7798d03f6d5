// The main window's actions on the controller as a whole: the whole-application download and
// the factory data. The sequences are the core's; here they run on the link worker.
#include "CKelvaneRavoToolsDlg.h"

#include "common/Prompter.h"
#include "core/workflow/ApplicationDownload.h"
#include "core/workflow/FactoryData.h"
#include "editor/CUserProgramDlg.h"
#include "shell/LinkProgressDialog.h"
#include "views/CManualOptDlg.h"
#include "views/CMotorParSettingDlg.h"
#include "views/CPeripheralDlg.h"
#include "views/CVideoTeachOptDlg.h"

#include <algorithm>
#include <memory>

namespace {

void Tell(QWidget* parent, const std::string& text, const QString& caption) {
    Prompter::current().message(parent, QString::fromStdString(text), caption);
}

}  // namespace

// The boxes are read first, with their messages; a box that does not parse sends nothing.
void CKelvaneRavoToolsDlg::DownloadApplication() {
    if (progress_) return;
    const auto motor = motorView_->ReadForDownload();
    if (!motor) {
        Tell(this, kelvane::kMotorParametersFailed, QStringLiteral("错误信息"));
        return;
    }
    const auto peripherals = peripheralView_->ReadForDownload();
    if (!peripherals) return;
    auto programs = std::make_shared<const std::vector<kelvane::ProgramSlot>>(editorView_->ProgramsForDownload());

    std::vector<int> lineCounts;
    for (const kelvane::ProgramSlot& slot : *programs)
        lineCounts.push_back(std::clamp(slot.lineCount, 0, kelvane::kMaxProgramLines));
    beginLinkJob(QStringLiteral("程序下载"), QStringLiteral("正在下载电机参数…"));
    progress_->MeasureDownload(lineCounts);

    LinkProgressDialog* dialog = progress_.get();
    const QPointer<QObject> notices = dialog;  // the context of the notices, taken here
    LinkWorker* worker = &worker_;
    worker_.post<kelvane::ApplicationDownloadResult>(
        this,
        [worker, motor = *motor, peripherals = *peripherals, programs, dialog, notices] {
            return kelvane::DownloadApplication(
                motor, peripherals, CUserProgramDlg::RecordsOf(*programs),
                [worker, dialog, notices](const kelvane::DownloadProgress& progress) {
                    worker->notify(notices, [dialog, progress] { dialog->ShowDownloadProgress(progress); });
                });
        },
        [this](kelvane::ApplicationDownloadResult result) {
            endLinkJob();
            reportDownload(result);
        });
}

// Each step has told its own failure before the download tells its own.
void CKelvaneRavoToolsDlg::reportDownload(const kelvane::ApplicationDownloadResult& result) {
    if (result.succeeded) {
        Tell(this, result.message, QStringLiteral("下载信息"));
        return;
    }
    if (result.failedStep == kelvane::DownloadStep::MotorParameters)
        motorView_->ShowDownloadFailure(result.stepMessage);
    else if (result.failedStep == kelvane::DownloadStep::UserPrograms)
        editorView_->ShowDownloadFailure(result.stepMessage);
    else
        Tell(this, result.stepMessage, QStringLiteral("错误信息"));
    Tell(this, result.message, QStringLiteral("错误信息"));
}

// A failed check is told before the store is sent; the store's own message comes after it.
void CKelvaneRavoToolsDlg::CheckFactoryData() {
    if (progress_) return;
    beginLinkJob(QStringLiteral("出厂设置"), QStringLiteral("正在校验出厂数据…"));
    const kelvane::CalendarDate today = kelvane::LocalDate();
    worker_.post<kelvane::FactoryCheckResult>(
        this, [today] { return kelvane::ReadFactoryCheck(today); },
        [this, today](kelvane::FactoryCheckResult check) {
            if (check.outcome == kelvane::FactoryCheckOutcome::Passed) {
                endLinkJob();
                Tell(this, check.message, QStringLiteral("校验信息"));
                return;
            }
            if (check.outcome == kelvane::FactoryCheckOutcome::CheckFailed)
                Tell(this, check.message, QStringLiteral("校验信息"));
            storeFactoryData(today, check.outcome);
        });
}

// After a failed check the store ends without a further message.
void CKelvaneRavoToolsDlg::storeFactoryData(const kelvane::CalendarDate& today, kelvane::FactoryCheckOutcome check) {
    worker_.post<std::string>(
        this, [today] { return kelvane::StoreFactoryData(today); },
        [this, check](std::string message) {
            endLinkJob();
            if (check == kelvane::FactoryCheckOutcome::NoFactoryDate) Tell(this, message, QStringLiteral("校验信息"));
        });
}

// The polling views would call the library from this thread while the job does from its own.
void CKelvaneRavoToolsDlg::beginLinkJob(const QString& title, const QString& text) {
    manualView_->Deactivate();
    teachView_->StopPolling();
    progress_ = std::make_unique<LinkProgressDialog>(title, text, this);
}

// Polling resumes only on a live line: a line the job found lost stays paused until its
// reconnect activates the shown view again.
void CKelvaneRavoToolsDlg::endLinkJob() {
    progress_.reset();
    if (connectedCom_) watchLink();
    if (linkLost_) return;
    if (!manualView_->isHidden())
        manualView_->ResumePolling();
    else if (!teachView_->isHidden())
        teachView_->ResumePolling();
}
