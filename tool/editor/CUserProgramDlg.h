// The program editor view: the program grid inside a tab control with one tab per user program
// (1 to 10) and the "删除程序" and "增加程序" tabs, a column of buttons for the line operations,
// a find box and a help line with the description of the instruction under the cursor. The
// rest of the tool reaches the user programs through it: loading and exporting them for the
// application program file, and sending them to the controller.
#pragma once

#include "core/application/LineRecord.h"
#include "core/editor/DescriptionTable.h"
#include "core/editor/ProgramSlot.h"
#include "core/machine/ProgramsDownload.h"

#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

class CUserProgramEditCtrl;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabBar;

class CUserProgramDlg : public QWidget {
    Q_OBJECT
public:
    explicit CUserProgramDlg(QWidget* parent = nullptr);

    CUserProgramEditCtrl& grid() { return *grid_; }
    int programCount() const { return programCount_; }

    // `n` program tabs (held to 1..10; below 1 gives one empty program) and the two command
    // tabs; the last program is shown with its tab selected. The undo history of every
    // program ends.
    void SetProgramTabs(int n);
    // A program read from a file into `slot` (0..9), which is shown with its tab selected; the
    // help texts are read again.
    void LoadProgram(int slot, const kelvane::ProgramImage& program);
    // Commits the grid and hands out the current program; the catalogue is read again.
    void ExportCurrentProgram(kelvane::ProgramImage& program);
    // Shows program `slot` with its tab selected and hands it out, as the file writer gathers
    // the programs one after the other.
    void ExportProgram(int slot, kelvane::ProgramImage& program);
    // Commits the grid and copies the programs in use, for a download.
    std::vector<kelvane::ProgramSlot> ProgramsForDownload();
    // The records of `programs` as the download reads them.
    static std::vector<kelvane::ProgramRecords> RecordsOf(const std::vector<kelvane::ProgramSlot>& programs);
    // Tells the user where a programs download stopped.
    void ShowDownloadFailure(const std::string& message);
    // The help text of `code` in the help line; empty when there is none.
    void ShowHelp(std::int32_t code);

signals:
    // The user confirmed "新建": the main window loads the empty application program.
    void newApplicationProgramRequested();

private:
    void createControls();
    void connectControls();
    QPushButton* addButton(const char* objectName, const char* text);

    void commitGrid();
    void selectTab(int index);
    void onTabChanged(int tab);
    // Each returns false when the tab change stops there.
    bool addProgram();
    bool deleteLastProgram();
    void switchToProgram(int slot);

    void newApplicationProgram();
    void find();
    void focusFindBox();

    CUserProgramEditCtrl* grid_ = nullptr;
    QTabBar* tabs_ = nullptr;
    QLabel* helpLine_ = nullptr;
    QLineEdit* findBox_ = nullptr;

    kelvane::DescriptionTable descriptions_;
    std::int32_t findValue_ = 0;
    int programCount_ = 1;
};
