#include "MainWindowFixture.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QTest>

void PrintTo(const Command& command, std::ostream* out) {
    *out << "{code " << command.code << ", p1 " << command.p1 << "}";
}

std::vector<Command> CommandsReceived(const ravo_sim::Simulator& controller) {
    std::vector<Command> commands;
    for (const auto& request : controller.traffic())
        if (request.kind == ravo_sim::RequestKind::Command)
            commands.push_back({request.code(), request.param(1)});
    return commands;
}

void MainWindowTest::addCom3() {
    com3 = std::make_unique<ravo_sim::Simulator>(ravo_sim::Simulator::Options{com1.comDir(), 3});
}

void MainWindowTest::removeCom3() { com3.reset(); }

CKelvaneRavoToolsDlg& MainWindowTest::startWindow() {
    window = std::make_unique<CKelvaneRavoToolsDlg>(exeDirectory.path());
    window->show();
    return *window;
}

QComboBox& MainWindowTest::comPortList() {
    return *window->findChild<QComboBox*>(QStringLiteral("comPortList"));
}

QPushButton& MainWindowTest::button(const char* objectName) {
    return *window->findChild<QPushButton*>(QString::fromLatin1(objectName));
}

QString MainWindowTest::statusText() {
    return window->findChild<QLabel*>(QStringLiteral("statusText"))->text();
}

QStringList MainWindowTest::comPortEntries() {
    QStringList entries;
    for (int i = 0; i < comPortList().count(); ++i) entries << comPortList().itemText(i);
    return entries;
}

void MainWindowTest::chooseComPort(int position) {
    QComboBox& list = comPortList();
    list.showPopup();
    QAbstractItemView* popup = list.view();
    popup->setCurrentIndex(popup->model()->index(position, 0));
    QTest::keyClick(popup, Qt::Key_Return);
}
