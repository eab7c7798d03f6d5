#include "CUserProgramDlg.h"

#include "common/Prompter.h"
#include "core/editor/ProgramFind.h"
#include "editor/CUserProgramEditCtrl.h"
#include "editor/ProgramTabBar.h"
#include "views/ReadControls.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace {

constexpr int kMaxPrograms = ProgramTabBar::kMaxProgramTabs;
// The grid sits in the tab control's client area, inset 8 pixels at the left, right and
// bottom and 30 at the top, which the tab row takes up but for 8 pixels.
constexpr int kGridInset = 8;

Prompter::Answer Tell(QWidget* parent, const QString& text, const QString& caption,
                      Prompter::Buttons buttons = Prompter::Buttons::Ok) {
    return Prompter::current().message(parent, text, caption, buttons);
}

QString ProgramTabTitle(int slot) { return QString::asprintf("用户程序%d", slot); }

}  // namespace

CUserProgramDlg::CUserProgramDlg(QWidget* parent) : QWidget(parent) {
    createControls();
    connectControls();
    SetProgramTabs(1);
}

// The help line above the tab control that holds the grid, and on the right the buttons from
// "新建" down to the find box and "查找".
void CUserProgramDlg::createControls() {
    helpLine_ = new QLabel(QStringLiteral("帮助信息:"));
    helpLine_->setObjectName(QStringLiteral("helpLine"));
    helpLine_->setAccessibleName(QStringLiteral("帮助信息"));
    QFont helpFont = helpLine_->font();
    helpFont.setFamilies({QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")});
    helpFont.setPointSize(12);
    helpLine_->setFont(helpFont);
    QPalette helpColours = helpLine_->palette();
    helpColours.setColor(QPalette::WindowText, QColor(255, 0, 0));
    helpLine_->setPalette(helpColours);

    tabs_ = new ProgramTabBar;
    tabs_->setObjectName(QStringLiteral("programTabs"));
    tabs_->setAccessibleName(QStringLiteral("用户程序选择"));
    tabs_->setExpanding(false);
    tabs_->setUsesScrollButtons(true);
    tabs_->setDrawBase(false);

    grid_ = new CUserProgramEditCtrl;
    grid_->setObjectName(QStringLiteral("programGrid"));
    grid_->setAccessibleName(QStringLiteral("用户程序表格"));
    auto* pane = new QFrame;
    pane->setFrameShape(QFrame::StyledPanel);
    auto* paneLayout = new QVBoxLayout(pane);
    paneLayout->setContentsMargins(kGridInset, kGridInset, kGridInset, kGridInset);
    paneLayout->addWidget(grid_);

    auto* tabControl = new QVBoxLayout;
    tabControl->setSpacing(0);
    tabControl->addWidget(tabs_);
    tabControl->addWidget(pane, 1);

    auto* buttons = new QVBoxLayout;
    buttons->addSpacing(helpLine_->sizeHint().height() + 8);
    for (const auto& [name, text] : {std::pair{"newButton", "新建"},
                                     {"insertLineButton", "插入代码行"},
                                     {"moveUpButton", "指定行上移"},
                                     {"moveDownButton", "指定行下移"},
                                     {"copyButton", "复制"},
                                     {"pasteButton", "粘贴"},
                                     {"deleteButton", "删除"}})
        buttons->addWidget(addButton(name, text));
    buttons->addSpacing(12);
    findBox_ = new QLineEdit(QStringLiteral("0"));
    findBox_->setObjectName(QStringLiteral("findValue"));
    findBox_->setAccessibleName(QStringLiteral("查找数值"));
    buttons->addWidget(findBox_);
    buttons->addWidget(addButton("findButton", "查找"));
    // The hidden "撤销" deletes the current line; undo is Ctrl+Z.
    QPushButton* undo = addButton("undoButton", "撤销");
    undo->hide();
    buttons->addWidget(undo);
    buttons->addStretch(1);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(helpLine_, 0, 0);
    layout->addLayout(tabControl, 1, 0);
    layout->addLayout(buttons, 0, 1, 2, 1);
    layout->setColumnStretch(0, 1);
    layout->setRowStretch(1, 1);
}

QPushButton* CUserProgramDlg::addButton(const char* objectName, const char* text) {
    auto* button = new QPushButton(QString::fromUtf8(text), this);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAccessibleName(button->text());
    return button;
}

void CUserProgramDlg::connectControls() {
    auto onClick = [this](const char* button, auto handler) {
        connect(findChild<QPushButton*>(QString::fromLatin1(button)), &QPushButton::clicked, this, handler);
    };
    onClick("undoButton", [this] { grid_->DeleteCurrentLine(); });
    onClick("insertLineButton", [this] { grid_->InsertLine(); });
    onClick("moveUpButton", [this] { grid_->MoveLineUp(); });
    onClick("moveDownButton", [this] { grid_->MoveLineDown(); });
    onClick("deleteButton", [this] { grid_->DeleteSelectedLines(); });
    onClick("copyButton", [this] { grid_->CopySelection(); });
    onClick("pasteButton", [this] { grid_->PasteSelection(); });
    onClick("newButton", [this] { newApplicationProgram(); });
    onClick("findButton", [this] { find(); });

    connect(tabs_, &QTabBar::currentChanged, this, &CUserProgramDlg::onTabChanged);
    connect(grid_, &CUserProgramEditCtrl::helpRequested, this, [this](std::uint8_t code) { ShowHelp(code); });
    connect(findBox_, &QLineEdit::returnPressed, this, &CUserProgramDlg::find);
    auto* findShortcut = new QShortcut(QKeySequence::Find, this);
    findShortcut->setContext(Qt::WidgetWithChildrenShortcut);
    connect(findShortcut, &QShortcut::activated, this, &CUserProgramDlg::focusFindBox);
}

void CUserProgramDlg::SetProgramTabs(int n) {
    // A file without programs opens as one empty program.
    const bool noProgram = n < 1;
    if (noProgram) grid_->ClearProgram(0);
    programCount_ = std::clamp(n, 1, kMaxPrograms);
    {
        const QSignalBlocker quiet(tabs_);
        while (tabs_->count() > 0) tabs_->removeTab(0);
        for (int slot = 0; slot < programCount_; ++slot) tabs_->addTab(ProgramTabTitle(slot));
        tabs_->addTab(QStringLiteral("删除程序"));
        tabs_->addTab(QStringLiteral("增加程序"));
    }
    // The grid shows the program of the selected tab (after a load it already does).
    if (noProgram || grid_->currentProgram() != programCount_ - 1) grid_->ShowProgram(programCount_ - 1, 0);
    selectTab(programCount_ - 1);
    grid_->clearUndoHistory();
}

void CUserProgramDlg::LoadProgram(int slot, const kelvane::ProgramImage& program) {
    if (slot < 0 || slot >= kMaxPrograms) return;
    grid_->LoadProgram(slot, program);
    kelvane::LoadDescriptions(descriptions_, grid_->programs().baseFolder());
    if (slot < programCount_) selectTab(slot);
}

void CUserProgramDlg::ExportCurrentProgram(kelvane::ProgramImage& program) { grid_->ExportCurrentProgram(program); }

void CUserProgramDlg::ExportProgram(int slot, kelvane::ProgramImage& program) {
    grid_->ShowProgram(slot, 0);
    selectTab(slot);
    grid_->ExportCurrentProgram(program);
}

std::vector<kelvane::ProgramSlot> CUserProgramDlg::ProgramsForDownload() {
    commitGrid();  // what is on screen is what is sent
    std::vector<kelvane::ProgramSlot> programs;
    for (int p = 0; p < programCount_; ++p) programs.push_back(grid_->programs().slot(p));
    return programs;
}

std::vector<kelvane::ProgramRecords> CUserProgramDlg::RecordsOf(const std::vector<kelvane::ProgramSlot>& programs) {
    std::vector<kelvane::ProgramRecords> records;
    for (const kelvane::ProgramSlot& slot : programs) records.push_back({slot.records.data(), slot.lineCount});
    return records;
}

void CUserProgramDlg::ShowDownloadFailure(const std::string& message) {
    Tell(this, QString::fromStdString(message), QStringLiteral("错误信息"));
}

void CUserProgramDlg::ShowHelp(std::int32_t code) {
    helpLine_->setText(QString::fromStdString(kelvane::DescriptionText(descriptions_, code)));
}

// The grid's texts into the current program, with the text of an editor still open over a
// cell: a tab takes no focus from the editor, so it would not have ended by itself.
void CUserProgramDlg::commitGrid() {
    grid_->endActiveEditor();
    grid_->CommitRows(kelvane::JumpEdit::None);
}

// Selects a tab without running the tab change rules.
void CUserProgramDlg::selectTab(int index) {
    const QSignalBlocker quiet(tabs_);
    tabs_->setCurrentIndex(index);
}

void CUserProgramDlg::onTabChanged(int tab) {
    if (tab == programCount_ + 1) {
        if (!addProgram()) selectTab(grid_->currentProgram());
        return;
    }
    if (tab == programCount_) {
        if (!deleteLastProgram()) selectTab(grid_->currentProgram());
        return;
    }
    if (tab >= 0) switchToProgram(tab);
}

// A new last program, copied from the current one or empty as the user answers; its tab is
// selected.
bool CUserProgramDlg::addProgram() {
    if (programCount_ == kMaxPrograms) {
        Tell(this, QStringLiteral("用户程序个数已经达到上限，当前最大支持10个!"), DefaultCaption());
        return false;
    }
    commitGrid();
    const int added = programCount_;
    if (Tell(this, QStringLiteral("确认是否需要复制当前应用程序"), DefaultCaption(), Prompter::Buttons::YesNo) ==
        Prompter::Answer::Yes)
        grid_->CopyProgram(added);
    else
        grid_->ClearProgram(added);
    grid_->ShowProgram(added, 0);
    {
        const QSignalBlocker quiet(tabs_);
        tabs_->insertTab(added, ProgramTabTitle(added));
    }
    ++programCount_;
    grid_->clearUndoHistory();
    selectTab(added);
    return true;
}

// Removes the last program, whichever is shown, and shows the new last program with its tab
// selected. The program shown is committed first, so no edit of a program that stays is lost.
bool CUserProgramDlg::deleteLastProgram() {
    if (programCount_ == 1) {
        Tell(this, QStringLiteral("最后一个程序不允许删除！"), DefaultCaption());
        return false;
    }
    if (Tell(this, QStringLiteral("确认是否需要删除程序"), DefaultCaption(), Prompter::Buttons::YesNo) !=
        Prompter::Answer::Yes)
        return false;
    commitGrid();
    --programCount_;
    grid_->ClearProgram(programCount_);
    {
        const QSignalBlocker quiet(tabs_);
        tabs_->removeTab(programCount_);
    }
    grid_->clearUndoHistory();
    grid_->ShowProgram(programCount_ - 1, 0);
    selectTab(programCount_ - 1);
    return true;
}

// Switching commits the program being left.
void CUserProgramDlg::switchToProgram(int slot) {
    if (grid_->currentProgram() == slot) return;
    commitGrid();
    grid_->ShowProgram(slot, 0);
}

void CUserProgramDlg::newApplicationProgram() {
    if (Tell(this, QStringLiteral("放弃当前程序保存,继续进行新程序创建吗?"), QStringLiteral("提示信息"),
             Prompter::Buttons::OkCancel) != Prompter::Answer::Cancel)
        emit newApplicationProgramRequested();
}

// Searches the lines after the current row for the number in the find box: one byte up to
// 255, the byte pair high, low up to 65535. A box that holds no integer gets its message and
// no search runs.
void CUserProgramDlg::find() {
    if (!ControlReader(this).integer(findBox_, findValue_).ok()) return;
    const auto pattern = kelvane::FindPatternFor(findValue_);
    if (!pattern) {
        Tell(this, QStringLiteral("请输入正确的数字！"), DefaultCaption());
        return;
    }
    const int row = grid_->FindValue(*pattern);
    Tell(this, row < 0 ? QStringLiteral("没有找到") : QString::asprintf("找到目标行号为：%d", row),
         QStringLiteral("tip"));
}

void CUserProgramDlg::focusFindBox() {
    findBox_->setFocus(Qt::ShortcutFocusReason);
    findBox_->selectAll();
}
