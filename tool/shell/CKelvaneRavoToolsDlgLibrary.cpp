// The main window's program library: the list file, the program list 1002, and saving,
// importing, deleting, choosing and creating application programs, with the application
// program file read into and gathered from the views.
#include "CKelvaneRavoToolsDlg.h"
#include "CorePath.h"

#include "common/Prompter.h"
#include "core/application/ApplicationProgramFile.h"
#include "core/application/ProgramLibrary.h"
#include "core/application/ProgramName.h"
#include "editor/CUserProgramDlg.h"
#include "shell/CUserTempleteInfo.h"
#include "ui_CKelvaneRavoToolsDlg.h"
#include "views/CMotorParSettingDlg.h"
#include "views/CPeripheralDlg.h"

namespace {

const QString kImportFilter = QStringLiteral("Morlit应用程序 (*.kelvane);;所有文件(*)");

void TellError(QWidget* parent, const QString& text) {
    Prompter::current().message(parent, text, QStringLiteral("错误信息"));
}

}  // namespace

void CKelvaneRavoToolsDlg::ReadLibraryList(const QString& preferred) {
    const int selected = library_.Read(preferred.toStdString());
    showLibraryNames();
    ui_->programList->setCurrentIndex(selected);
}

void CKelvaneRavoToolsDlg::showLibraryNames() {
    ui_->programList->clear();
    for (const std::string& name : library_.Names()) ui_->programList->addItem(QString::fromStdString(name));
}

void CKelvaneRavoToolsDlg::WriteLibraryList() { library_.Write(ui_->programList->currentIndex()); }

void CKelvaneRavoToolsDlg::SelectApplicationProgram() {
    WriteLibraryList();
    ReadLibraryList(QString());
    LoadApplicationProgram(ui_->programList->currentText());
}

void CKelvaneRavoToolsDlg::saveToLibraryClicked() {
    const QString selected = ui_->programList->count() > 0 ? ui_->programList->currentText() : QString();
    if (const auto name = askName(selected)) SaveToLibrary(*name);
}

// A name that is no safe file name, or a file that cannot be written, is told and leaves the
// library as it was.
void CKelvaneRavoToolsDlg::SaveToLibrary(const QString& name) {
    if (!acceptableName(name) || !mayWrite(name)) return;
    const kelvane::WriteStatus written = WriteApplicationProgram(name);
    if (!written.ok) {
        TellError(this, QStringLiteral("应用程序“%1”保存失败:\n%2").arg(name, QString::fromStdString(written.reason)));
        return;
    }
    addToLibrary(name);
}

// The chosen file replaces the library file at once (a failed copy leaves the old one), and a
// file that is already the library file is only added. A file that cannot be read, or does not
// read as an application program, is refused.
void CKelvaneRavoToolsDlg::ImportApplicationProgram() {
    const QString chosen = Prompter::current().openFileName(this, QString(), QString(), kImportFilter);
    if (chosen.isEmpty()) return;
    const auto name = askName(QString::fromStdString(kelvane::ImportedName(chosen.toStdString())));
    if (!name || !acceptableName(*name)) return;

    const auto refuse = [&](const std::string& reason) {
        TellError(this, QStringLiteral("应用程序“%1”导入失败:\n%2").arg(*name, QString::fromStdString(reason)));
    };
    const kelvane::ImportSource source = kelvane::ReadImportSource(CorePath(chosen));
    if (!source.contents) return refuse(source.refusal);

    const std::string destination = library_.FilePath(name->toStdString());
    const bool copies = CorePath(chosen) != destination;
    if (!mayWrite(*name, copies)) return;
    if (copies) {
        const kelvane::WriteStatus copied = kelvane::WriteFileAtomically(destination, *source.contents);
        if (!copied.ok) return refuse(copied.reason);
    }
    addToLibrary(*name);
    LoadApplicationProgram(*name);
}

void CKelvaneRavoToolsDlg::deleteClicked() {
    if (ui_->programList->count() == 0) return;
    DeleteApplicationProgram(ui_->programList->currentText());
}

void CKelvaneRavoToolsDlg::DeleteApplicationProgram(const QString& name) {
    if (Prompter::current().message(this, QStringLiteral("确认是否需要删除\"%1\"的应用程序").arg(name),
                                    QStringLiteral("提示信息"),
                                    Prompter::Buttons::OkCancel) == Prompter::Answer::Cancel)
        return;
    library_.Remove(name.toStdString());
    RefillProgramList();
    WriteLibraryList();
}

void CKelvaneRavoToolsDlg::RefillProgramList() {
    showLibraryNames();
    if (ui_->programList->count() == 0) return;
    ui_->programList->setCurrentIndex(0);
    SelectApplicationProgram();
}

void CKelvaneRavoToolsDlg::NewApplicationProgram() { LoadApplicationProgram(QStringLiteral("default_null_temp")); }

void CKelvaneRavoToolsDlg::LoadApplicationProgram(const QString& name) {
    if (kelvane::CheckProgramName(name.toStdString()) == kelvane::ProgramNameProblem::None) {
        const auto read = kelvane::LoadApplicationProgramFile(
            library_.FilePath(name.toStdString()), buffer_,
            [this](int index, const kelvane::ProgramImage& program) { editorView_->LoadProgram(index, program); });
        if (read) editorView_->SetProgramTabs(read->programCount);
    }
    motorView_->FillFromRecord(buffer_.motor);
    peripheralView_->FillFromRecord(buffer_.peripherals);
}

kelvane::WriteStatus CKelvaneRavoToolsDlg::WriteApplicationProgram(const QString& name) {
    motorView_->CopyToRecord(buffer_.motor);
    peripheralView_->CopyToRecord(buffer_.peripherals);
    editorView_->ExportCurrentProgram(buffer_.program);  // what the grid shows goes into its slot
    return kelvane::WriteApplicationProgramFile(
        library_.FilePath(name.toStdString()), buffer_, editorView_->programCount(),
        [this](int index, kelvane::ProgramImage& program) { editorView_->ExportProgram(index, program); });
}

std::optional<QString> CKelvaneRavoToolsDlg::askName(const QString& initial) {
    CUserTempleteInfo dialog(initial, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.name();
}

bool CKelvaneRavoToolsDlg::acceptableName(const QString& name) {
    const auto refusal = kelvane::NameRefusal(name.toStdString());
    if (refusal) TellError(this, QString::fromStdString(*refusal));
    return !refusal;
}

bool CKelvaneRavoToolsDlg::mayWrite(const QString& name, bool replacesFile) {
    if (!library_.WouldReplace(name.toStdString(), replacesFile)) return true;
    return Prompter::current().message(this, QStringLiteral("\"%1\"模板应用程序已经存在，是否进行覆写!").arg(name),
                                       QStringLiteral("提示信息"),
                                       Prompter::Buttons::OkCancel) != Prompter::Answer::Cancel;
}

void CKelvaneRavoToolsDlg::addToLibrary(const QString& name) {
    library_.Add(name.toStdString());
    ReadLibraryList(name);
}
