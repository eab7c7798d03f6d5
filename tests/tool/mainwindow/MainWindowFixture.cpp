#include "MainWindowFixture.h"

#include "common/LinkWorker.h"
#include "core/application/ApplicationProgramFile.h"
#include "shell/CUserTempleteInfo.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <filesystem>

void MainWindowTest::addCom3(bool paced) {
    com3 = std::make_unique<ravo_sim::Simulator>(ravo_sim::Simulator::Options{com1.comDir(), 3, paced});
}

void MainWindowTest::removeCom3() { com3.reset(); }

std::string MainWindowTest::dataFolder() const { return (exeDirectory.path() + "/KelvaneRavoTools/").toStdString(); }

std::string MainWindowTest::programFile(const std::string& utf8Name) const {
    return dataFolder() + "ApplicationProgram/" + utf8Name + ".kelvane";
}

void MainWindowTest::copyDemoFiles(std::initializer_list<const char*> files) {
    namespace fs = std::filesystem;
    for (const char* file : files) {
        const fs::path target = fs::path(dataFolder()) / file;
        fs::create_directories(target.parent_path());
        fs::copy_file(fs::path(RAVO_DEMO_DATA_FOLDER) / file, target, fs::copy_options::overwrite_existing);
    }
}

void MainWindowTest::writeLibraryList(std::uint8_t portIndex, const kelvane::LibraryNames& names, int active) {
    std::filesystem::create_directories(dataFolder() + "ApplicationProgram");
    ASSERT_TRUE(kelvane::WriteLibraryListFile(dataFolder() + kelvane::kLibraryListFile, portIndex, names, active).ok);
}

void MainWindowTest::writeApplicationProgram(const std::string& utf8Name,
                                             const kelvane::ApplicationProgramBuffer& buffer,
                                             const std::vector<kelvane::ProgramImage>& programs) {
    std::filesystem::create_directories(dataFolder() + "ApplicationProgram");
    kelvane::ApplicationProgramBuffer staged = buffer;
    ASSERT_TRUE(kelvane::WriteApplicationProgramFile(
                    programFile(utf8Name), staged, static_cast<int>(programs.size()),
                    [&](int index, kelvane::ProgramImage& program) { program = programs[index]; })
                    .ok);
}

void MainWindowTest::answerNameDialog(std::optional<QString> name, QString* offered) {
    QTimer::singleShot(0, [name, offered] {
        auto* dialog = qobject_cast<CUserTempleteInfo*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* box = dialog->findChild<QLineEdit*>(QStringLiteral("name"));
        if (offered) *offered = box->text();
        if (name) box->setText(*name);
        dialog->findChild<QPushButton*>(name ? QStringLiteral("ok") : QStringLiteral("cancel"))->click();
    });
}

bool MainWindowTest::waitForControllerJob(int timeoutMs) {
    auto* worker = window->findChild<LinkWorker*>();
    return worker && QTest::qWaitFor([worker] { return !worker->busy(); }, timeoutMs);
}

CKelvaneRavoToolsDlg& MainWindowTest::startWindow() {
    window = std::make_unique<CKelvaneRavoToolsDlg>(exeDirectory.path());
    window->show();
    EXPECT_TRUE(waitForControllerJob()) << "the start-up's connection";
    return *window;
}

QComboBox& MainWindowTest::comPortList() { return *window->findChild<QComboBox*>(QStringLiteral("comPortList")); }

QPushButton& MainWindowTest::button(const char* objectName) {
    return *window->findChild<QPushButton*>(QString::fromLatin1(objectName));
}

QString MainWindowTest::statusText() { return window->findChild<QLabel*>(QStringLiteral("statusText"))->text(); }

QStringList MainWindowTest::comPortEntries() {
    QStringList entries;
    for (int i = 0; i < comPortList().count(); ++i) entries << comPortList().itemText(i);
    return entries;
}

void MainWindowTest::chooseComPort(int position) {
    QComboBox& list = comPortList();
    list.showPopup();
    ASSERT_TRUE(waitForControllerJob()) << "the probe";
    QAbstractItemView* popup = list.view();
    popup->setCurrentIndex(popup->model()->index(position, 0));
    QTest::keyClick(popup, Qt::Key_Return);
    ASSERT_TRUE(waitForControllerJob()) << "the connection";
}
