// kelvane-ravo-screenshots OUTPUT_FOLDER: starts the tool's main window as the program does,
// shows each view in turn and writes a PNG of the window for each, plus the About dialog and
// 通讯监视 during a 程序下载.
// Prints how long the start-up took until the window was shown. Used by scripts/screenshot.
#include "CAboutDlg.h"
#include "CKelvaneRavoToolsApp.h"
#include "CKelvaneRavoToolsDlg.h"
#include "common/LinkWorker.h"
#include "common/Prompter.h"
#include "editor/CUserProgramDlg.h"
#include "editor/CUserProgramEditCtrl.h"
#include "monitor/CTrafficMonitorDlg.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTabBar>
#include <QTextStream>

#include <cstdio>
#include <utility>

namespace {

// Lets the link worker show what it read (status text, the views' values) before a picture.
void settle(QWidget& window) {
    const LinkWorker* worker = window.findChild<LinkWorker*>();
    QDeadlineTimer deadline(10000);
    while (worker && worker->busy() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

bool save(QWidget& widget, const QString& file) {
    QCoreApplication::processEvents();
    if (widget.grab().save(file)) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    return false;
}

// The editor on the first program of the active application program, with a line current
// and its help text shown, as after a click on it.
void showEditorExample(CKelvaneRavoToolsDlg& window) {
    auto* editor = window.findChild<CUserProgramDlg*>();
    auto* tabs = editor->findChild<QTabBar*>(QStringLiteral("programTabs"));
    tabs->setCurrentIndex(0);
    constexpr int kRow = 4;
    CUserProgramEditCtrl& grid = editor->grid();
    grid.programs().setCurrentRow(kRow);
    grid.selectRow(kRow);
    grid.RefreshHighlight();
    editor->ShowHelp(grid.programs().currentSlot().records[kRow].bytes[2]);
}

// Answers the download's closing message, which would otherwise wait for a click.
class AnsweringPrompter final : public Prompter {
public:
    Answer message(QWidget*, const QString&, const QString&, Buttons, Icon) override { return Answer::Ok; }
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
};

int recordRows(const TrafficListModel& rows) {
    int count = 0;
    for (int row = 0; row < rows.rowCount(); ++row)
        count += rows.index(row, 0).data(TrafficListModel::KindRole).toInt() ==
                 static_cast<int>(kelvane::TrafficKind::Record);
    return count;
}

// 通讯监视 opened from its button, pictured while 程序下载 sends the first program's records.
bool saveMonitorDuringDownload(CKelvaneRavoToolsDlg& window, const QString& file) {
    AnsweringPrompter answers;
    Prompter::install(&answers);
    window.findChild<QPushButton*>(QStringLiteral("trafficMonitorButton"))->click();
    auto* monitor = window.findChild<CTrafficMonitorDlg*>();
    window.findChild<QPushButton*>(QStringLiteral("downloadButton"))->click();
    QDeadlineTimer deadline(30000);
    while (recordRows(monitor->rows()) < 16 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    const bool ok = save(*monitor, file);
    settle(window);
    Prompter::install(nullptr);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    CKelvaneRavoToolsApp app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));

    CKelvaneRavoToolsDlg window(QCoreApplication::applicationDirPath());
    window.show();
    QCoreApplication::processEvents();
    settle(window);
    std::printf("start-up to shown window: %lld ms\n", static_cast<long long>(sinceStart.elapsed()));

    const std::pair<const char*, const char*> views[] = {
        {"editorViewButton", "editor"}, {"motorViewButton", "motor"}, {"peripheralViewButton", "peripheral"},
        {"manualViewButton", "manual"}, {"teachViewButton", "teach"},
    };
    bool ok = true;
    for (const auto& [button, name] : views) {
        window.findChild<QPushButton*>(QString::fromLatin1(button))->click();
        settle(window);
        if (QLatin1String(name) == QLatin1String("editor")) showEditorExample(window);
        ok = save(window, out.filePath(QStringLiteral("%1.png").arg(QLatin1String(name)))) && ok;
    }
    CAboutDlg about(&window);
    about.show();
    ok = save(about, out.filePath(QStringLiteral("about.png"))) && ok;
    about.hide();
    ok = saveMonitorDuringDownload(window, out.filePath(QStringLiteral("monitor.png"))) && ok;
    return ok ? 0 : 1;
}
