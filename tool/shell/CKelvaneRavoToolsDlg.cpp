#include "CKelvaneRavoToolsDlg.h"
#include "CorePath.h"

#include "common/Prompter.h"
#include "core/machine/ControllerAxes.h"
#include "core/workflow/ControllerConnection.h"
#include "editor/CUserProgramDlg.h"
#include "editor/CUserProgramEditCtrl.h"
#include "monitor/CTrafficMonitorDlg.h"
#include "shell/CAboutDlg.h"
#include "shell/LinkProgressDialog.h"
#include "ui_CKelvaneRavoToolsDlg.h"
#include "views/CManualOptDlg.h"
#include "views/CMotorParSettingDlg.h"
#include "views/CPeripheralDlg.h"
#include "views/CVideoTeachOptDlg.h"

#include <Kelvane_Ravo_Q9T2.h>

#include <QAction>
#include <QCloseEvent>
#include <QIcon>

#include <algorithm>

using kelvane::kControllerAddress;

namespace {

constexpr int kLinkWatchMs = 1000;

// The view panel is at least as large as the original's 480 x 258 dialog units.
constexpr QSize kMinimumPanelSize(840, 548);

const QString kDisconnectCaption = QStringLiteral("断开连接");
const QString kConnectCaption = QStringLiteral("连接控制器");

}  // namespace

CKelvaneRavoToolsDlg::CKelvaneRavoToolsDlg(const QString& exeDirectory, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      ui_(std::make_unique<Ui::CKelvaneRavoToolsDlg>()),
      exeDirectory_(exeDirectory),
      library_(CorePath(dataFolder())) {
    ui_->setupUi(this);
    addAboutEntry();
    setWindowIcon(QIcon(QStringLiteral(":/kelvane/kelvane-ravo-tools.png")));
    createViews();
    editorView_->grid().setBaseFolder(exeDirectory_);
    connectControls();
    fixWindowSize();
    linkWatch_.setInterval(kLinkWatchMs);
    connect(&linkWatch_, &QTimer::timeout, this, &CKelvaneRavoToolsDlg::watchLink);

    kelvane::ResetApplicationBuffer(buffer_);
    ReadLibraryList(QString());
    Ravo_GlobalInit();
    connectAtStart();
    editorView_->grid().InitGrid();
    // 1000 empty rows to write in, also when no application program loads.
    editorView_->grid().ShowProgram(0, 0);
    LoadApplicationProgram(ui_->programList->itemText(ui_->programList->currentIndex()));
    ShowView(editorView_);
}

CKelvaneRavoToolsDlg::~CKelvaneRavoToolsDlg() = default;

QString CKelvaneRavoToolsDlg::dataFolder() const { return exeDirectory_ + QStringLiteral("/KelvaneRavoTools/"); }

// Linux windows have no system menu: the About entry lives in the window's context menu and
// on F1.
void CKelvaneRavoToolsDlg::addAboutEntry() {
    auto* about = new QAction(QStringLiteral("关于 KelvaneRavoTools(&A)..."), this);
    about->setShortcut(QKeySequence(Qt::Key_F1));
    connect(about, &QAction::triggered, this, &CKelvaneRavoToolsDlg::openAboutDialog);
    addAction(about);
    auto* monitor = new QAction(QStringLiteral("通讯监视"), this);
    connect(monitor, &QAction::triggered, this, &CKelvaneRavoToolsDlg::openTrafficMonitor);
    addAction(monitor);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

void CKelvaneRavoToolsDlg::createViews() {
    QWidget* panel = ui_->viewPanel;
    teachView_ = new CVideoTeachOptDlg(worker_, panel);
    editorView_ = new CUserProgramDlg(panel);
    motorView_ = new CMotorParSettingDlg(panel);
    peripheralView_ = new CPeripheralDlg(worker_, panel);
    manualView_ = new CManualOptDlg(worker_, panel);
    // All views share the panel's one cell; only the shown one takes part in the layout.
    for (QWidget* view : views()) {
        view->hide();
        ui_->viewPanelLayout->addWidget(view, 0, 0);
    }
}

std::array<QWidget*, 5> CKelvaneRavoToolsDlg::views() const {
    return {teachView_, editorView_, motorView_, peripheralView_, manualView_};
}

void CKelvaneRavoToolsDlg::connectControls() {
    connect(ui_->comPortList, &CDropDownComboBox::dropDownRequested, this, &CKelvaneRavoToolsDlg::EnumeratePorts);
    // activated: only a choice of the user; filling the list never connects.
    connect(ui_->comPortList, &QComboBox::activated, this, &CKelvaneRavoToolsDlg::Connect);
    connect(ui_->connectButton, &QPushButton::clicked, this, &CKelvaneRavoToolsDlg::ToggleConnection);

    connect(ui_->motorViewButton, &QPushButton::clicked, this, [this] { ShowView(motorView_); });
    connect(ui_->editorViewButton, &QPushButton::clicked, this, [this] { ShowView(editorView_); });
    connect(ui_->peripheralViewButton, &QPushButton::clicked, this, [this] { ShowView(peripheralView_); });
    connect(ui_->manualViewButton, &QPushButton::clicked, this, [this] { ShowView(manualView_); });
    connect(ui_->teachViewButton, &QPushButton::clicked, this, [this] { ShowView(teachView_); });

    // activated: only a choice of the user; rebuilding the list never loads.
    connect(ui_->programList, &QComboBox::activated, this, &CKelvaneRavoToolsDlg::SelectApplicationProgram);
    connect(ui_->saveButton, &QPushButton::clicked, this, &CKelvaneRavoToolsDlg::saveToLibraryClicked);
    connect(ui_->importButton, &QPushButton::clicked, this, &CKelvaneRavoToolsDlg::ImportApplicationProgram);
    connect(ui_->deleteButton, &QPushButton::clicked, this, &CKelvaneRavoToolsDlg::deleteClicked);
    connect(ui_->downloadButton, &QPushButton::clicked, this, &CKelvaneRavoToolsDlg::DownloadApplication);
    connect(ui_->factoryButton, &QPushButton::clicked, this, &CKelvaneRavoToolsDlg::CheckFactoryData);
    connect(ui_->trafficMonitorButton, &QPushButton::clicked, this, &CKelvaneRavoToolsDlg::openTrafficMonitor);
    connect(editorView_, &CUserProgramDlg::newApplicationProgramRequested, this,
            &CKelvaneRavoToolsDlg::NewApplicationProgram);
}

// A fixed window that holds the texts of the left column and the largest view.
void CKelvaneRavoToolsDlg::fixWindowSize() {
    QSize panel = kMinimumPanelSize;
    for (const QWidget* view : views())
        panel = panel.expandedTo(view->sizeHint() + QSize(24, 32));  // room for the panel frame
    ui_->viewPanel->setMinimumSize(panel);
    setFixedSize(sizeHint());
}

// Lists the COM ports that open now, with no entry selected until the user chooses one, and
// only then drops the list down, so no port is chosen from an older list. An open connection
// that the probe could not reopen is shown as lost; a lost one is reopened by its own attempts.
void CKelvaneRavoToolsDlg::EnumeratePorts() {
    const std::optional<int> keep = linkLost_ ? std::nullopt : connectedCom_;
    worker_.post<kelvane::PortProbe>(
        this, [keep] { return kelvane::ProbePorts(keep); },
        [this](kelvane::PortProbe probe) {
            showPorts(probe);
            ui_->comPortList->dropDown();
        });
}

void CKelvaneRavoToolsDlg::showPorts(const kelvane::PortProbe& probe) {
    portTable_.clear();
    ui_->comPortList->clear();
    for (int com : probe.coms) {
        const int position = static_cast<int>(portTable_.size());
        portTable_[position] = com;
        ui_->comPortList->insertItem(position, QString::asprintf("COM%d", com));
    }
    ui_->comPortList->setCurrentIndex(-1);  // a filled list selects nothing by itself
    if (!connectedCom_ || linkLost_) return;
    const int position = positionOfCom(*connectedCom_);
    if (probe.reopened && position >= 0) {
        selectPortPosition(position);
        library_.setPortIndex(static_cast<std::uint8_t>(position));
        return;
    }
    dropConnection();
    showNotConnected();
}

// The start-up's probe and connection to the remembered port position, in one job so that
// what the start-up posts after it reaches the controller after the connect sequence.
void CKelvaneRavoToolsDlg::connectAtStart() {
    struct Start {
        kelvane::PortProbe probe;
        std::optional<int> com;
        kelvane::ConnectResult result;
    };
    const std::size_t position = library_.portIndex();
    starting_ = true;
    worker_.post<Start>(
        this,
        [position] {
            Start start;
            start.probe = kelvane::ProbePorts(std::nullopt);
            if (position < start.probe.coms.size()) {
                start.com = start.probe.coms[position];
                start.result = kelvane::ConnectController(*start.com);
            }
            return start;
        },
        [this, position](Start start) {
            starting_ = false;
            showPorts(start.probe);
            selectPortPosition(static_cast<int>(position));
            if (start.com)
                connectFinished(*start.com, start.result);
            else
                library_.setPortIndex(255);  // no port there: none is remembered
        });
}

int CKelvaneRavoToolsDlg::positionOfCom(int comNumber) const {
    for (const auto& [position, com] : portTable_)
        if (com == comNumber) return position;
    return -1;
}

// Selects `position` in the COM port list; a position beyond the list leaves no selection.
void CKelvaneRavoToolsDlg::selectPortPosition(int position) {
    ui_->comPortList->setCurrentIndex(position < ui_->comPortList->count() ? position : -1);
}

// Connects to the port selected in the COM port list: opens it, switches the controller to
// work mode 2 and shows its version. No selection, or no port there, does nothing. While the
// start-up's probe runs the list is not filled yet: the start-up connects the remembered
// position, which stays remembered.
void CKelvaneRavoToolsDlg::Connect() {
    if (starting_) return;
    const int selection = ui_->comPortList->currentIndex();
    library_.setPortIndex(static_cast<std::uint8_t>(selection < 0 ? 255 : selection));
    const auto entry = portTable_.find(library_.portIndex());
    if (entry == portTable_.end()) return;

    const int com = entry->second;
    dropConnection();
    worker_.post<kelvane::ConnectResult>(
        this, [com] { return kelvane::ConnectController(com); },
        [this, com](kelvane::ConnectResult result) { connectFinished(com, result); });
}

void CKelvaneRavoToolsDlg::connectFinished(int com, const kelvane::ConnectResult& result) {
    if (!result.opened) {
        Prompter::current().message(this, QString::fromStdString(result.failureMessage), QStringLiteral("错误信息"));
        showNotConnected();
        return;
    }
    connectedCom_ = com;
    showConnected(result);
}

void CKelvaneRavoToolsDlg::showConnected(const kelvane::ConnectResult& result) {
    versionText_ = QString::fromStdString(result.answered ? result.statusText : "控制器:未知版本");
    ui_->connectButton->setText(kDisconnectCaption);
    ui_->statusText->setText(QString::fromStdString(result.statusText));
    linkWatch_.start();
}

void CKelvaneRavoToolsDlg::ToggleConnection() {
    if (!connectedCom_) {
        Connect();
        return;
    }
    dropConnection();
    worker_.post(
        this, [] { Ravo_CloseSericalPort(); }, [] {});
    showNotConnected();
}

void CKelvaneRavoToolsDlg::dropConnection() {
    connectedCom_.reset();
    linkLost_ = false;
    linkWatch_.stop();
}

void CKelvaneRavoToolsDlg::showNotConnected() {
    ui_->statusText->setText(QString::fromUtf8(kelvane::kNotConnectedText));
    ui_->connectButton->setText(kConnectCaption);
}

// Shows `target` alone in the view panel. The manual operation and teach views poll the
// controller only while they are shown.
void CKelvaneRavoToolsDlg::ShowView(QWidget* target) {
    for (QWidget* view : views())
        if (view != target) view->hide();
    if (target != teachView_) teachView_->StopPolling();
    if (target != manualView_) manualView_->Deactivate();
    target->show();
    activate(target);
}

void CKelvaneRavoToolsDlg::activate(QWidget* view) {
    if (view == editorView_)
        worker_.post(
            this, [] { Ravo_SetWorkMode(kControllerAddress, RAVO_WORK_MODE_PROGRAMS, 0); }, [] {});
    else if (view == manualView_)
        manualView_->Activate();
    else if (view == teachView_)
        teachView_->Activate();
}

QWidget* CKelvaneRavoToolsDlg::shownView() const {
    for (QWidget* view : views())
        if (!view->isHidden()) return view;
    return nullptr;
}

void CKelvaneRavoToolsDlg::closeEvent(QCloseEvent* event) {
    const auto answer = Prompter::current().message(this, QStringLiteral("请确认是否需要退出!"),
                                                    QStringLiteral("提示信息"), Prompter::Buttons::OkCancel);
    if (answer == Prompter::Answer::Ok)
        event->accept();
    else
        event->ignore();
}

void CKelvaneRavoToolsDlg::openTrafficMonitor() {
    if (!trafficMonitor_) trafficMonitor_ = new CTrafficMonitorDlg(dataFolder(), this);
    trafficMonitor_->show();
    trafficMonitor_->raise();
    trafficMonitor_->activateWindow();
}

void CKelvaneRavoToolsDlg::openAboutDialog() {
    CAboutDlg about(this);
    about.exec();
}
