// The program library through the main window's buttons and program list: what the list file
// holds byte for byte afterwards, which files are written, copied or removed, which application
// program the views show, and what the user was asked or told.
#include "MainWindowFixture.h"

#include "core/application/ApplicationProgramFile.h"
#include "core/application/GbkText.h"
#include "core/application/WholeFile.h"
#include "editor/CUserProgramDlg.h"
#include "editor/CUserProgramEditCtrl.h"
#include "support/ProgramImages.h"
#include "views/CMotorParSettingDlg.h"

#include <QLineEdit>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include <filesystem>

namespace {

constexpr std::uint8_t kDelay = 50;
constexpr int kParameter1Column = 3;
const QString kOverwriteCaption = QStringLiteral("提示信息");

// Application program `name` is told apart by axis 1's pulses per revolution.
kelvane::ApplicationProgramBuffer Tagged(std::int32_t subdivision) {
    kelvane::ApplicationProgramBuffer buffer;
    kelvane::ResetApplicationBuffer(buffer);
    buffer.motor.axes[0].subdivision = subdivision;
    return buffer;
}

std::string ListFile(int portIndex, const std::vector<std::string>& utf8Names, int active) {
    std::string text =
        "串口编号:" + std::to_string(portIndex) + "\n应用程序个数:" + std::to_string(utf8Names.size()) + "\n";
    if (!utf8Names.empty()) text += "激活程序编号:" + std::to_string(active) + "\n";
    for (const std::string& name : utf8Names) text += name + "\n";
    return kelvane::utf8ToGbk(text);
}

class ProgramLibraryTest : public MainWindowTest {
protected:
    // The library a1 (1111), a3 (3333) with a1 active, on COM1 (position 0).
    void SetUp() override {
        copyDemoFiles({"CommandParType.ini", "CommandFormat.ini", "JumpCommandInfo.ini", "CommandDescription.ini"});
        writeLibraryList(0, {"a1", "a3"}, 0);
        writeApplicationProgram("a1", Tagged(1111), {Program({Line(kDelay, 1)})});
        writeApplicationProgram("a3", Tagged(3333), {Program({Line(kDelay, 3)}), Program({Line(kDelay, 33)})});
    }

    std::string listFile() const { return *kelvane::ReadWholeFile(dataFolder() + kelvane::kLibraryListFile); }
    std::optional<std::string> fileOf(const std::string& name) const {
        return kelvane::ReadWholeFile(programFile(name));
    }

    QComboBox& programList() { return *window->findChild<QComboBox*>(QStringLiteral("programList")); }
    QStringList programEntries() {
        QStringList entries;
        for (int i = 0; i < programList().count(); ++i) entries << programList().itemText(i);
        return entries;
    }
    void chooseProgram(int position) {
        programList().setCurrentIndex(position);
        emit programList().activated(position);
    }
    QLineEdit& motorBox(const char* name) { return *window->findChild<QLineEdit*>(QString::fromLatin1(name)); }
    QString shownSubdivision() { return motorBox("subdivision1").text(); }
    CUserProgramDlg& editor() { return *window->findChild<CUserProgramDlg*>(); }

    void save(std::optional<QString> name, QString* offered = nullptr) {
        answerNameDialog(std::move(name), offered);
        button("saveButton").click();
    }
    void import(const QString& path, std::optional<QString> name, QString* offered = nullptr) {
        prompter.fileNames.push_back(path);
        answerNameDialog(std::move(name), offered);
        button("importButton").click();
    }
};

TEST_F(ProgramLibraryTest, SavingANewNameAddsItAsTheActiveEntryThatTheNextStartLoads) {
    startWindow();
    motorBox("subdivision1").setText("2222");

    QString offered;
    save(QStringLiteral("a2"), &offered);

    EXPECT_EQ(offered, QStringLiteral("a1")) << "the name starts as the selected entry";
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(programEntries(), QStringList({"a1", "a2", "a3"}));
    EXPECT_EQ(programList().currentText(), QStringLiteral("a2"));
    EXPECT_EQ(listFile(), ListFile(0, {"a1", "a2", "a3"}, 1));

    window.reset();
    startWindow();
    EXPECT_EQ(programList().currentText(), QStringLiteral("a2"));
    EXPECT_EQ(shownSubdivision(), QStringLiteral("2222"));
}

TEST_F(ProgramLibraryTest, SavingOverANameAsksAndOnlyOkReplacesTheFile) {
    startWindow();
    motorBox("subdivision1").setText("2222");
    const std::optional<std::string> before = fileOf("a3");
    const std::string listBefore = listFile();

    prompter.answers = {Prompter::Answer::Cancel};
    save(QStringLiteral("a3"));
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, QStringLiteral("\"a3\"模板应用程序已经存在，是否进行覆写!"));
    EXPECT_EQ(prompter.shown[0].caption, kOverwriteCaption);
    EXPECT_EQ(prompter.shown[0].buttons, Prompter::Buttons::OkCancel);
    EXPECT_EQ(fileOf("a3"), before);
    EXPECT_EQ(listFile(), listBefore);
    EXPECT_EQ(programList().currentText(), QStringLiteral("a1"));

    save(QStringLiteral("a3"));  // answered OK
    EXPECT_EQ(prompter.shown.size(), 2u);
    EXPECT_NE(fileOf("a3"), before);
    EXPECT_EQ(listFile(), ListFile(0, {"a1", "a3"}, 1));
    EXPECT_EQ(programList().currentText(), QStringLiteral("a3"));

    // A file of that name that is no library entry is asked about as well.
    writeApplicationProgram("orphan", Tagged(4444), {Program({})});
    const std::optional<std::string> orphan = fileOf("orphan");
    prompter.answers = {Prompter::Answer::Cancel};
    save(QStringLiteral("orphan"));
    EXPECT_EQ(prompter.texts().mid(2), QStringList({"\"orphan\"模板应用程序已经存在，是否进行覆写!"}));
    EXPECT_EQ(fileOf("orphan"), orphan);
    EXPECT_EQ(programEntries(), QStringList({"a1", "a3"}));
}

// The grid's unfinished edit and every program reach the file; the editor ends on the last one.
TEST_F(ProgramLibraryTest, SavingGathersTheViewsAndEveryProgramAndEndsOnTheLastProgram) {
    writeLibraryList(0, {"a1", "a3"}, 1);
    startWindow();
    auto* tabs = editor().findChild<QTabBar*>(QStringLiteral("programTabs"));
    tabs->setCurrentIndex(0);
    editor().grid().SetItemText(0, kParameter1Column, QStringLiteral("7"));  // not committed yet

    save(QStringLiteral("b"));

    std::vector<kelvane::ProgramImage> written;
    kelvane::ApplicationProgramBuffer buffer;
    ASSERT_TRUE(kelvane::LoadApplicationProgramFile(
        programFile("b"), buffer, [&](int, const kelvane::ProgramImage& p) { written.push_back(p); }));
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[0].records[0], Line(kDelay, 7));
    EXPECT_EQ(written[1].records[0], Line(kDelay, 33));
    EXPECT_EQ(buffer.motor.axes[0].subdivision, 3333);
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_EQ(editor().grid().currentProgram(), 1);
}

// Which names and files are refused, and why, is the library's rule; the window tells it under
// "错误信息" and writes nothing.
TEST_F(ProgramLibraryTest, ARefusedNameOrFileIsToldAndNothingIsWrittenOrAdded) {
    startWindow();
    const std::string listBefore = listFile();
    save(QStringLiteral("a b"));
    const QString notes = exeDirectory.path() + "/notes.txt";
    ASSERT_TRUE(kelvane::WriteFileAtomically(notes.toStdString(), "a text file\n").ok);
    import(notes, QStringLiteral("notes"));
    std::filesystem::remove_all(dataFolder() + "ApplicationProgram");  // the tool creates no folder
    save(QStringLiteral("b"));
    save(std::nullopt);  // 取消

    ASSERT_EQ(prompter.shown.size(), 3u);
    EXPECT_EQ(prompter.shown[0].text, QStringLiteral("“a b”不能作为应用程序名称:名称含有空白字符"));
    EXPECT_EQ(prompter.shown[1].text, QStringLiteral("应用程序“notes”导入失败:\n%1不是应用程序文件").arg(notes));
    EXPECT_TRUE(prompter.shown[2].text.startsWith(QStringLiteral("应用程序“b”保存失败:\n")));
    for (const auto& shown : prompter.shown) EXPECT_EQ(shown.caption, QStringLiteral("错误信息"));
    EXPECT_EQ(listFile(), listBefore);
    EXPECT_EQ(programEntries(), QStringList({"a1", "a3"}));
}

TEST_F(ProgramLibraryTest, ImportingTheLibraryFileItselfCopiesNothingAndAddsAndLoadsIt) {
    writeApplicationProgram("plant", Tagged(4444), {Program({})});
    struct stat before {};
    ASSERT_EQ(stat(programFile("plant").c_str(), &before), 0);
    startWindow();

    QString offered;
    import(QString::fromStdString(programFile("plant")), QStringLiteral("plant"), &offered);

    EXPECT_EQ(prompter.fileDialogFilters, QStringList({QStringLiteral("Morlit应用程序 (*.kelvane);;所有文件(*)")}));
    EXPECT_EQ(offered, QStringLiteral("plant"));
    struct stat after {};
    ASSERT_EQ(stat(programFile("plant").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "the file was not rewritten";
    EXPECT_EQ(listFile(), ListFile(0, {"a1", "a3", "plant"}, 2));
    EXPECT_EQ(programList().currentText(), QStringLiteral("plant"));
    EXPECT_EQ(shownSubdivision(), QStringLiteral("4444"));
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(ProgramLibraryTest, ImportingUnderAnExistingNameAsksThenReplacesItsFileWithTheChosenOne) {
    QTemporaryDir elsewhere;
    const std::string chosen = (elsewhere.path() + "/搬运.v2.kelvane").toStdString();
    writeApplicationProgram("a1", Tagged(1111), {Program({Line(kDelay, 1)})});
    std::filesystem::copy_file(programFile("a3"), chosen);
    startWindow();

    QString offered;
    prompter.answers = {Prompter::Answer::Cancel};
    import(QString::fromStdString(chosen), QStringLiteral("a1"), &offered);
    EXPECT_EQ(offered, QStringLiteral("搬运.v2"));
    ASSERT_EQ(prompter.texts(), QStringList({"\"a1\"模板应用程序已经存在，是否进行覆写!"}));
    EXPECT_NE(fileOf("a1"), kelvane::ReadWholeFile(chosen));

    import(QString::fromStdString(chosen), QStringLiteral("a1"));  // answered OK
    EXPECT_EQ(fileOf("a1"), kelvane::ReadWholeFile(chosen));
    EXPECT_EQ(listFile(), ListFile(0, {"a1", "a3"}, 0));
    EXPECT_EQ(shownSubdivision(), QStringLiteral("3333"));
    EXPECT_EQ(editor().programCount(), 2);
}

TEST_F(ProgramLibraryTest, DeletingTheSelectedProgramAsksThenLoadsTheFirstRemainingOne) {
    writeApplicationProgram("a2", Tagged(2222), {Program({})});
    writeLibraryList(0, {"a1", "a2", "a3"}, 1);
    startWindow();
    ASSERT_EQ(shownSubdivision(), QStringLiteral("2222"));

    prompter.answers = {Prompter::Answer::Cancel};
    button("deleteButton").click();
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(prompter.shown[0].text, QStringLiteral("确认是否需要删除\"a2\"的应用程序"));
    EXPECT_EQ(prompter.shown[0].caption, QStringLiteral("提示信息"));
    EXPECT_EQ(prompter.shown[0].buttons, Prompter::Buttons::OkCancel);
    EXPECT_TRUE(fileOf("a2").has_value());
    EXPECT_EQ(listFile(), ListFile(0, {"a1", "a2", "a3"}, 1));

    button("deleteButton").click();  // answered OK
    EXPECT_FALSE(fileOf("a2").has_value());
    EXPECT_EQ(programEntries(), QStringList({"a1", "a3"}));
    EXPECT_EQ(programList().currentText(), QStringLiteral("a1"));
    EXPECT_EQ(shownSubdivision(), QStringLiteral("1111"));
    EXPECT_EQ(listFile(), ListFile(0, {"a1", "a3"}, 0));
}

TEST_F(ProgramLibraryTest, DeletingTheLastEntryLeavesAnEmptyListAndTheProgramsAsTheyWere) {
    writeLibraryList(0, {"a3"}, 0);
    startWindow();

    button("deleteButton").click();

    EXPECT_EQ(programList().count(), 0);
    EXPECT_EQ(listFile(), ListFile(0, {}, 0));
    EXPECT_EQ(editor().programCount(), 2);
    EXPECT_EQ(shownSubdivision(), QStringLiteral("3333"));

    button("deleteButton").click();  // nothing left: no question
    EXPECT_EQ(prompter.shown.size(), 1u);
}

TEST_F(ProgramLibraryTest, ChoosingAnEntryMakesItActiveAndLoadsItsFileIfItReads) {
    writeLibraryList(0, {"a1", "a3", "gone"}, 0);
    std::filesystem::create_directory(programFile("gone"));  // cannot be read: as a missing file
    startWindow();
    chooseProgram(1);
    EXPECT_EQ(shownSubdivision(), QStringLiteral("3333"));
    EXPECT_EQ(editor().programCount(), 2);
    EXPECT_EQ(listFile(), ListFile(0, {"a1", "a3", "gone"}, 1));

    motorBox("subdivision1").setText("9999");
    chooseProgram(2);
    EXPECT_EQ(listFile(), ListFile(0, {"a1", "a3", "gone"}, 2));
    EXPECT_EQ(editor().programCount(), 2);
    EXPECT_EQ(editor().grid().programs().slot(1).records[0], Line(kDelay, 33));
    EXPECT_EQ(shownSubdivision(), QStringLiteral("3333")) << "the views show the buffer, not the box";
    EXPECT_TRUE(prompter.shown.empty());
}

// Values the grid's texts cannot express: an axis mask outside its type, reals with more
// decimals than shown, unused parameters that are not 0.
TEST_F(ProgramLibraryTest, AnUneditedApplicationProgramIsSavedAndDownloadedWithItsStoredBytes) {
    constexpr std::uint8_t kAbsoluteMove = 10;
    const std::vector<kelvane::ProgramImage> programs = {
        Program({Line(kAbsoluteMove, 99, 0x3F9E0419 /* 1.2345 */, 0x3D800000 /* 0.0625 */), Line(kDelay, 100, 7, 8)},
                {{1, "odd@values"}}),
        Program({Line(kDelay, 5, 0, 1)})};
    writeApplicationProgram("a1", Tagged(1111), programs);
    const std::optional<std::string> before = fileOf("a1");
    startWindow();
    auto* tabs = editor().findChild<QTabBar*>(QStringLiteral("programTabs"));
    tabs->setCurrentIndex(0);
    tabs->setCurrentIndex(1);

    save(QStringLiteral("a1"));  // answered OK
    EXPECT_EQ(fileOf("a1"), before);

    button("downloadButton").click();
    ASSERT_TRUE(waitForControllerJob());
    for (int p = 0; p < 2; ++p) {
        auto held = com1->program(p);
        ASSERT_EQ(held.size(), programs[p].lineCount) << p;
        for (std::size_t i = 0; i < held.size(); ++i) {
            held[i][15] = 0;  // the record index the wire carries
            EXPECT_EQ(held[i], programs[p].records[i].bytes) << p << ":" << i;
        }
    }
}

TEST_F(ProgramLibraryTest, NewWithoutTheEmptyTemplateKeepsTheProgramsAsTheyWere) {
    writeLibraryList(0, {"a1", "a3"}, 1);
    startWindow();
    QTest::mouseClick(editor().findChild<QPushButton*>(QStringLiteral("newButton")), Qt::LeftButton);
    EXPECT_EQ(editor().programCount(), 2);
    EXPECT_EQ(editor().grid().programs().slot(1).records[0], Line(kDelay, 33));
    EXPECT_EQ(programList().currentText(), QStringLiteral("a3"));
}

}  // namespace
