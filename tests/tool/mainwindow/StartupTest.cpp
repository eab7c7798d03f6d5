// Start-up: which ports are listed, which one is connected, what the controller receives and
// what the window shows.
#include "MainWindowFixture.h"

#include "editor/CUserProgramDlg.h"
#include "views/CMotorParSettingDlg.h"
#include "views/CPeripheralDlg.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QApplication>

#include <cstdlib>
#include <map>
#include <string>

namespace {

class MainWindowStartupTest : public MainWindowTest {
protected:
    kelvane::MotorParameterRecord shownMotorParameters() {
        kelvane::MotorParameterRecord shown;
        window->findChild<CMotorParSettingDlg*>()->CopyToRecord(shown);
        return shown;
    }
};

// Without a list file the remembered position is 1: the second listed port.
TEST_F(MainWindowStartupTest, ConnectsToRememberedPositionAndEndsInProgramEditorView) {
    addCom3();
    com3->setVersion(0x0203);

    startWindow();

    EXPECT_EQ(comPortEntries(), QStringList({"COM1", "COM3"}));
    EXPECT_EQ(comPortList().currentIndex(), 1);
    EXPECT_EQ(button("connectButton").text(), QStringLiteral("断开连接"));
    EXPECT_EQ(statusText(), QStringLiteral("控制器:2.3版本"));
    // Work mode 2 from connecting, the version query, work mode 1 from the program editor view.
    EXPECT_EQ(CommandWords(*com3), (std::vector<std::string>{"c6:2", "c2:0", "c6:1"}));
    EXPECT_TRUE(CommandWords(*com1).empty()) << "probing a port sends nothing";
    EXPECT_TRUE(prompter.shown.empty());

    auto* editor = window->findChild<CUserProgramDlg*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isVisible());
}

TEST_F(MainWindowStartupTest, ConnectsToThePortTheListFileRemembersAndLoadsTheActiveProgram) {
    addCom3();
    kelvane::ApplicationProgramBuffer saved;
    kelvane::ResetApplicationBuffer(saved);
    saved.motor.axes[2].subdivision = 3200;
    saved.peripherals.limitTriggerLevel = 1;
    writeLibraryList(0, {"a", "b"}, 1);
    writeApplicationProgram("b", saved, {kelvane::ProgramImage{}});

    startWindow();

    EXPECT_EQ(comPortList().currentText(), QStringLiteral("COM1"));
    EXPECT_EQ(CommandWords(*com1), (std::vector<std::string>{"c6:2", "c2:0", "c6:1"}));
    EXPECT_TRUE(CommandWords(*com3).empty());
    EXPECT_EQ(window->findChild<QComboBox*>(QStringLiteral("programList"))->currentText(), QStringLiteral("b"));
    EXPECT_EQ(shownMotorParameters().axes[2].subdivision, 3200);
    kelvane::PeripheralParameterRecord peripherals;
    window->findChild<CPeripheralDlg*>()->CopyToRecord(peripherals);
    EXPECT_EQ(peripherals.limitTriggerLevel, 1);
}

TEST_F(MainWindowStartupTest, AVersionQueryWithoutReplyShowsNoReplyAndAMissingProgramFileTheStartUpValues) {
    addCom3();
    com3->inject({ravo_sim::Fault::Action::Silent, ravo_sim::RequestKind::Command, cmd::Version});
    writeLibraryList(1, {"missing"}, 0);

    startWindow();

    EXPECT_EQ(button("connectButton").text(), QStringLiteral("断开连接"));
    EXPECT_EQ(statusText(), QStringLiteral("控制器无应答")) << "no version of 0.0";
    const kelvane::MotorParameterRecord shown = shownMotorParameters();
    EXPECT_EQ(shown.axes[0].subdivision, 1600);
    EXPECT_EQ(shown.axes[5].pitch, 5.0f);
    EXPECT_EQ(shown.axes[6].subdivision, 0);
}

TEST_F(MainWindowStartupTest, RememberedPositionBeyondTheListConnectsNothingUntilAPortIsChosen) {
    startWindow();  // only COM1: position 1 is not there

    EXPECT_EQ(comPortEntries(), QStringList({"COM1"}));
    EXPECT_EQ(comPortList().currentIndex(), -1);
    EXPECT_EQ(button("connectButton").text(), QStringLiteral("连接控制器"));
    EXPECT_EQ(statusText(), QString());
    EXPECT_TRUE(CommandWords(*com1).empty());
    EXPECT_TRUE(prompter.shown.empty());

    chooseComPort(0);
    EXPECT_EQ(CommandWords(*com1), (std::vector<std::string>{"c6:2", "c2:0"}));
    EXPECT_EQ(button("connectButton").text(), QStringLiteral("断开连接"));
}

TEST_F(MainWindowStartupTest, NoOpenablePortLeavesAnEmptyListAndNoMessage) {
    setenv("RAVO_COM_DIR", qPrintable(exeDirectory.path()), 1);  // a folder without COM links
    startWindow();
    EXPECT_EQ(comPortList().count(), 0);
    EXPECT_EQ(statusText(), QString());
    EXPECT_EQ(button("connectButton").text(), QStringLiteral("连接控制器"));
    EXPECT_TRUE(prompter.shown.empty());
}

// Linux speaks a combo box's current text as its name and gets its label through a relation;
// other systems take the name or the buddy label.
QString AccessibleName(QWidget* control) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
    if (qobject_cast<QComboBox*>(control)) {
        if (!control->accessibleName().isEmpty()) return control->accessibleName();
        for (const auto& [label, relation] : accessible->relations(QAccessible::Label))
            return label->text(QAccessible::Name);
        return {};
    }
    return accessible->text(QAccessible::Name);
}

// Screen readers and GUI automation find every control by a name that no other control of its
// view (or of the window around the views) shares.
TEST_F(MainWindowStartupTest, EveryControlHasAnAccessibleNameOfItsOwn) {
    startWindow();
    std::map<std::pair<QWidget*, QString>, int> controlsNamed;
    for (QWidget* control : window->findChildren<QWidget*>()) {
        QWidget* parent = control->parentWidget();
        if (control->focusPolicy() == Qt::NoFocus || control->isHidden() ||
            qobject_cast<QAbstractScrollArea*>(parent) || qobject_cast<QComboBox*>(parent))
            continue;  // hidden, or a part of a list or a combo box that speaks for it
        const QString name = AccessibleName(control);
        EXPECT_FALSE(name.trimmed().isEmpty())
            << control->metaObject()->className() << " " << control->objectName().toStdString();
        QWidget* view = control;
        while (view->parentWidget() && view->parentWidget()->objectName() != "viewPanel") view = view->parentWidget();
        ++controlsNamed[{view, name}];
    }
    for (const auto& [viewAndName, count] : controlsNamed) EXPECT_EQ(count, 1) << viewAndName.second.toStdString();
}

// Every control of every view has a place of its own in its grid: none lies over another.
TEST_F(MainWindowStartupTest, NoControlOfAnyViewLiesOverAnother) {
    startWindow();
    for (QWidget* view : window->findChild<QWidget*>("viewPanel")->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        view->show();
        QApplication::processEvents();
        for (QWidget* parent : view->findChildren<QWidget*>()) {
            if (!parent->layout()) continue;
            const QList<QWidget*> placed = parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
            for (int a = 0; a < placed.size(); ++a)
                for (int b = a + 1; b < placed.size(); ++b)
                    if (placed[a]->isVisible() && placed[b]->isVisible())
                        EXPECT_FALSE(placed[a]->geometry().intersects(placed[b]->geometry()))
                            << placed[a]->objectName().toStdString() << " " << placed[b]->objectName().toStdString()
                            << " in " << parent->metaObject()->className();
        }
        view->hide();
    }
}

}  // namespace
