// The main window's program library: the list file, the program list 1002, and saving,
// importing, deleting, choosing and creating application programs, with the application
// program file read into and gathered from the views.
#include "CKelvaneRavoToolsDlg.h"
#include "CorePath.h"

#include "common/Prompter.h"
#include "core/application/ApplicationProgramFile.h"
#include "core/application/GbkText.h"
#include "core/application/ProgramName.h"
#include "core/application/WholeFile.h"
#include "editor/CUserProgramDlg.h"
#include "shell/CUserTempleteInfo.h"
#include "ui_CKelvaneRavoToolsDlg.h"
#include "views/CMotorParSettingDlg.h"
#include "views/CPeripheralDlg.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <iterator>

namespace {

const QString kImportFilter = QStringLiteral("Morlit应用程序 (*.kelvane);;所有文件(*)");

std::string gbkName(const QString& name) { return kelvane::utf8ToGbk(name.toStdString()); }

// The file name of a path without its folder and its last extension; a '\' ends a folder as
// '/' does.
QString BaseName(const QString& path) {
    const int folderEnd = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    const QString file = path.mid(folderEnd + 1);
    const int dot = file.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? file : file.left(dot);
}

QString ProblemText(kelvane::ProgramNameProblem problem) {
    using P = kelvane::ProgramNameProblem;
    switch (problem) {
        case P::Empty:
            return QStringLiteral("名称为空");
        case P::TooLong:
            return QStringLiteral("名称超过127字节");
        case P::WhiteSpace:
            return QStringLiteral("名称含有空白字符");
        case P::PathSeparator:
            return QStringLiteral("名称含有“/”或“\\”");
        case P::ControlByte:
            return QStringLiteral("名称含有控制字符");
        case P::DotName:
            return QStringLiteral("名称不能是“.”或“..”");
        case P::NotGbk:
            return QStringLiteral("名称含有GBK编码以外的字符");
        case P::None:
            break;
    }
    return QString();
}

void TellError(QWidget* parent, const QString& text) {
    Prompter::current().message(parent, text, QStringLiteral("错误信息"));
}

}  // namespace

void CKelvaneRavoToolsDlg::ReadLibraryList(const QString& preferred) {
    portIndex_ = 1;
    ui_->programList->clear();
    libraryNames_.clear();
    const auto contents =
        kelvane::LoadLibraryListFile(CorePath(dataFolder() + QLatin1String(kelvane::kLibraryListFile)));
    if (!contents) return;

    portIndex_ = contents->portIndex;
    for (const std::string& name : contents->names) {
        ui_->programList->addItem(QString::fromStdString(kelvane::gbkToUtf8(name)));
        libraryNames_.insert(name);
    }
    ui_->programList->setCurrentIndex(kelvane::SelectedLibraryPosition(*contents, gbkName(preferred)));
}

void CKelvaneRavoToolsDlg::WriteLibraryList() { saveLibraryList(ui_->programList->currentIndex()); }

// A list file that cannot be written keeps its old contents; the library in memory stays.
void CKelvaneRavoToolsDlg::saveLibraryList(int activePosition) {
    kelvane::WriteLibraryListFile(CorePath(dataFolder() + QLatin1String(kelvane::kLibraryListFile)), portIndex_,
                                  libraryNames_, activePosition);
}

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
    const auto name = askName(BaseName(chosen));
    if (!name || !acceptableName(*name)) return;

    const auto refuse = [&](const QString& reason) {
        TellError(this, QStringLiteral("应用程序“%1”导入失败:\n%2").arg(*name, reason));
    };
    const std::optional<std::string> contents = kelvane::ReadWholeFile(CorePath(chosen));
    if (!contents) return refuse(QStringLiteral("cannot read %1").arg(chosen));
    if (!kelvane::ReadsAsApplicationProgram(*contents)) return refuse(QStringLiteral("%1不是应用程序文件").arg(chosen));

    const QString destination = programFilePath(*name);
    const bool copies = chosen != destination;
    if (!mayWrite(*name, copies)) return;
    if (copies) {
        const kelvane::WriteStatus copied = kelvane::WriteFileAtomically(CorePath(destination), *contents);
        if (!copied.ok) return refuse(QString::fromStdString(copied.reason));
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
    libraryNames_.erase(gbkName(name));
    QFile::remove(programFilePath(name));
    RefillProgramList();
    WriteLibraryList();
}

void CKelvaneRavoToolsDlg::RefillProgramList() {
    ui_->programList->clear();
    for (const std::string& name : libraryNames_)
        ui_->programList->addItem(QString::fromStdString(kelvane::gbkToUtf8(name)));
    if (libraryNames_.empty()) return;
    ui_->programList->setCurrentIndex(0);
    SelectApplicationProgram();
}

void CKelvaneRavoToolsDlg::NewApplicationProgram() { LoadApplicationProgram(QStringLiteral("default_null_temp")); }

void CKelvaneRavoToolsDlg::LoadApplicationProgram(const QString& name) {
    if (kelvane::CheckProgramName(name.toStdString()) == kelvane::ProgramNameProblem::None) {
        const auto read = kelvane::LoadApplicationProgramFile(
            CorePath(programFilePath(name)), buffer_,
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
        CorePath(programFilePath(name)), buffer_, editorView_->programCount(),
        [this](int index, kelvane::ProgramImage& program) { editorView_->ExportProgram(index, program); });
}

QString CKelvaneRavoToolsDlg::programFilePath(const QString& name) const {
    return dataFolder() + QLatin1String(kelvane::kProgramsFolder) + QLatin1Char('/') +
           QString::fromStdString(kelvane::ProgramFileName(gbkName(name)));
}

std::optional<QString> CKelvaneRavoToolsDlg::askName(const QString& initial) {
    CUserTempleteInfo dialog(initial, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.name();
}

bool CKelvaneRavoToolsDlg::acceptableName(const QString& name) {
    const kelvane::ProgramNameProblem problem = kelvane::CheckProgramName(name.toStdString());
    if (problem == kelvane::ProgramNameProblem::None) return true;
    TellError(this, QStringLiteral("“%1”不能作为应用程序名称:%2").arg(name, ProblemText(problem)));
    return false;
}

bool CKelvaneRavoToolsDlg::mayWrite(const QString& name, bool replacesFile) {
    const bool taken =
        libraryNames_.count(gbkName(name)) != 0 || (replacesFile && QFileInfo::exists(programFilePath(name)));
    if (!taken) return true;
    return Prompter::current().message(this, QStringLiteral("\"%1\"模板应用程序已经存在，是否进行覆写!").arg(name),
                                       QStringLiteral("提示信息"),
                                       Prompter::Buttons::OkCancel) != Prompter::Answer::Cancel;
}

// The list file names the added entry as the active one, so the next start loads it.
void CKelvaneRavoToolsDlg::addToLibrary(const QString& name) {
    const std::string gbk = gbkName(name);
    libraryNames_.insert(gbk);
    saveLibraryList(static_cast<int>(std::distance(libraryNames_.begin(), libraryNames_.find(gbk))));
    ReadLibraryList(name);
}
