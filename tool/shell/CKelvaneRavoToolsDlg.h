// The main window: the left-hand column (COM port and connection, program library, view choice,
// auxiliary functions) and the view panel on the right, in which exactly one of the five child
// views is shown at a time. It owns the views, the serial connection and the staging buffer of
// the application program.
#pragma once

#include "common/LinkWorker.h"
#include "core/application/ApplicationProgramBuffer.h"
#include "core/application/ProgramLibrary.h"

#include <QString>
#include <QTimer>
#include <QWidget>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace Ui {
class CKelvaneRavoToolsDlg;
}

class CManualOptDlg;
class CMotorParSettingDlg;
class CPeripheralDlg;
class CTrafficMonitorDlg;
class CUserProgramDlg;
class CVideoTeachOptDlg;
class LinkProgressDialog;

namespace kelvane {
struct ApplicationDownloadResult;
struct CalendarDate;
struct ConnectResult;
struct PortProbe;
enum class FactoryCheckOutcome;
}  // namespace kelvane

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

    // The program library (CKelvaneRavoToolsDlgLibrary.cpp): the program list shows the names
    // of `library_`, which keeps the list file.

    // Rebuilds the program list and the library names from the list file and takes the
    // remembered COM port position from it; selects `preferred` when it is listed.
    void ReadLibraryList(const QString& preferred);
    // Writes the list file: port position, the names and the selected position as active.
    void WriteLibraryList();
    // The user chose an entry of the program list: it becomes the active one and is loaded.
    void SelectApplicationProgram();
    // Writes the application program as the views hold it under `name` (asking first when the
    // name is in the library) and makes it the active entry.
    void SaveToLibrary(const QString& name);
    // Copies an application program file the user picks into the library under a name the
    // user confirms, makes it the active entry and loads it.
    void ImportApplicationProgram();
    // Removes `name` and its file after the user's OK, then loads the first remaining one.
    void DeleteApplicationProgram(const QString& name);
    // The program list from the library names; selects and loads the first one.
    void RefillProgramList();
    // Replaces every program and setting with the empty template "default_null_temp".
    void NewApplicationProgram();

    // Reads the application program `name` of the library into the buffer, puts its user
    // programs into the program editor and shows its motor and peripheral parameters. A missing
    // file changes nothing in the buffer or the editor; the views are refilled from the buffer
    // all the same.
    void LoadApplicationProgram(const QString& name);
    // Gathers the motor and peripheral parameters and every user program from the views and
    // writes them to the file of `name`; the editor ends on the last program.
    kelvane::WriteStatus WriteApplicationProgram(const QString& name);

    // The controller as a whole (CKelvaneRavoToolsDlgWorkflow.cpp). Each reads what it needs
    // here, runs its sequence on the link worker behind a modal progress dialog while the
    // polling views pause, and reports by message box when it has ended.

    // 程序下载: the motor parameters, the peripherals, then every user program and work mode 1;
    // the first failure stops it with the step's message and the download's.
    void DownloadApplication();
    // 出厂设置: checks the controller's factory date and storage, storing today's date and the
    // factory motor defaults when there is no factory date or the check fails.
    void CheckFactoryData();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void addAboutEntry();
    void createViews();
    std::array<QWidget*, 5> views() const;  // in the order they are created
    void connectControls();
    void fixWindowSize();

    // Connection handling. The probe, the connect sequence and the close run on the link worker.
    void EnumeratePorts();
    void showPorts(const kelvane::PortProbe& probe);
    void connectAtStart();
    void Connect();
    void connectFinished(int com, const kelvane::ConnectResult& result);
    void ToggleConnection();
    int positionOfCom(int comNumber) const;  // -1 when the port is not listed
    void selectPortPosition(int position);
    void showConnected(const kelvane::ConnectResult& result);
    void showNotConnected();
    // Forgets the connection: no reconnect attempts, no watching of the line.
    void dropConnection();

    // The line while connected (CKelvaneRavoToolsDlgLink.cpp): every second the status shows
    // what the last exchange met; a lost port pauses the polling views and is reopened every
    // second until it opens, the user disconnects or chooses another port.
    void watchLink();
    void linkLost();
    void tryReconnect();
    void reconnected(int com, const kelvane::ConnectResult& result);
    // Runs the whole activation of the view that is shown.
    void reactivateShownView();

    // View panel.
    void ShowView(QWidget* target);
    // The last step of showing `view`: work mode 1 for the program editor, the manual and teach
    // views' Activate.
    void activate(QWidget* view);
    QWidget* shownView() const;  // none before the start-up shows the first

    // Program library.
    void saveToLibraryClicked();
    void deleteClicked();
    // The name the user enters in the name dialog, starting from `initial`; none on Cancel.
    std::optional<QString> askName(const QString& initial);
    // False, after telling the user why, when `name` cannot be a library name.
    bool acceptableName(const QString& name);
    // True when `name` is not in the library and, if `replacesFile`, has no file yet, or when
    // the user agrees to replace it.
    bool mayWrite(const QString& name, bool replacesFile = true);
    // Adds `name` to the library as its active entry and selects it in the program list.
    void addToLibrary(const QString& name);
    // The program list holds the library's names, nothing selected yet.
    void showLibraryNames();

    // Controller jobs.
    // Shows the progress dialog and pauses the polling views.
    void beginLinkJob(const QString& title, const QString& text);
    // Removes the progress dialog and restarts the poll of the view that is shown.
    void endLinkJob();
    void reportDownload(const kelvane::ApplicationDownloadResult& result);
    // The store of 出厂设置 after its check found `check` (no factory date, or a failed check).
    void storeFactoryData(const kelvane::CalendarDate& today, kelvane::FactoryCheckOutcome check);

    void openAboutDialog();
    // 通讯监视, made on first use and kept (hidden when closed) with the window.
    void openTrafficMonitor();

    std::unique_ptr<Ui::CKelvaneRavoToolsDlg> ui_;
    QString exeDirectory_;

    // The child views, created once in this order and owned by the view panel.
    CVideoTeachOptDlg* teachView_ = nullptr;
    CUserProgramDlg* editorView_ = nullptr;
    CMotorParSettingDlg* motorView_ = nullptr;
    CPeripheralDlg* peripheralView_ = nullptr;
    CManualOptDlg* manualView_ = nullptr;

    // The program library; its list file also remembers the position of the port to use in the
    // COM port list.
    kelvane::ProgramLibrary library_;
    std::map<int, int> portTable_;  // COM port list position -> COM number
    std::optional<int> connectedCom_;
    QString versionText_;        // what the status shows while the controller answers
    bool linkLost_ = false;      // connectedCom_ is lost and being reopened
    bool reconnecting_ = false;  // a reopen attempt is on the worker
    bool starting_ = false;      // the start-up's probe and connection are on the worker
    QTimer linkWatch_;           // every second while connected
    kelvane::ApplicationProgramBuffer buffer_;

    std::unique_ptr<LinkProgressDialog> progress_;
    CTrafficMonitorDlg* trafficMonitor_ = nullptr;
    // Last member: its thread has ended before anything a running job reads goes away.
    LinkWorker worker_{this};
};
