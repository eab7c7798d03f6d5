// The main window: the left-hand column (COM port and connection, program library, view choice,
// auxiliary functions) and the view panel on the right, in which exactly one of the five child
// views is shown at a time. It owns the views, the serial connection and the staging buffer of
// the application program.
#pragma once

#include "core/application/ApplicationProgramBuffer.h"
#include "core/application/LibraryListFile.h"

#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>

namespace Ui {
class CKelvaneRavoToolsDlg;
}

class CManualOptDlg;
class CMotorParSettingDlg;
class CPeripheralDlg;
class CUserProgramDlg;
class CVideoTeachOptDlg;

class CKelvaneRavoToolsDlg : public QWidget {
    Q_OBJECT
public:
    // Runs the whole start-up: creates the views, reads the program library, initialises the
    // library, lists the COM ports, connects to the remembered one, loads the active
    // application program and shows the program editor view. `exeDirectory` is the folder
    // that holds the data folder: the running executable's, or the user's data folder for an
    // installed tool (tests pass a folder of their own).
    explicit CKelvaneRavoToolsDlg(const QString& exeDirectory, QWidget* parent = nullptr);
    ~CKelvaneRavoToolsDlg() override;

    const QString& exeDirectory() const { return exeDirectory_; }
    // exeDirectory + "/KelvaneRavoTools/": the program library and the catalogue live there.
    QString dataFolder() const;

    // Rebuilds the program list and the library names from the list file and takes the
    // remembered COM port position from it; selects `preferred` when it is listed.
    void ReadLibraryList(const QString& preferred);
    // Reads the application program `name` of the library into the buffer, puts its user
    // programs into the program editor and shows its motor and peripheral parameters. A missing
    // file changes nothing in the buffer or the editor; the views are refilled from the buffer
    // all the same.
    void LoadApplicationProgram(const QString& name);
    // Replaces every program and setting with the empty template "default_null_temp".
    void NewApplicationProgram();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void addAboutEntry();
    void createViews();
    std::array<QWidget*, 5> views() const;  // in the order they are created
    void connectControls();
    void fixWindowSize();

    // Connection handling.
    void EnumeratePorts();
    void Connect();
    void ToggleConnection();
    int positionOfCom(int comNumber) const;  // -1 when the port is not listed
    void selectPortPosition(int position);
    void reopenConnection();
    void showNotConnected();

    // View panel.
    void ShowView(QWidget* target);

    void openAboutDialog();

    std::unique_ptr<Ui::CKelvaneRavoToolsDlg> ui_;
    QString exeDirectory_;

    // The child views, created once in this order and owned by the view panel.
    CVideoTeachOptDlg* teachView_ = nullptr;
    CUserProgramDlg* editorView_ = nullptr;
    CMotorParSettingDlg* motorView_ = nullptr;
    CPeripheralDlg* peripheralView_ = nullptr;
    CManualOptDlg* manualView_ = nullptr;

    std::uint8_t portIndex_ = 1;     // position of the port to use in the COM port list
    kelvane::LibraryNames libraryNames_;
    std::map<int, int> portTable_;   // COM port list position -> COM number
    std::optional<int> connectedCom_;
    kelvane::ApplicationProgramBuffer buffer_;
};
