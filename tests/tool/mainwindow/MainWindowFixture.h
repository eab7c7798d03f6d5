// A main window started in a temporary executable folder against simulated controllers: COM1
// always, COM3 on request, both in one port folder (RAVO_COM_DIR).
#pragma once

#include "TrafficText.h"
#include "WireVocabulary.h"
#include "core/application/ApplicationProgramBuffer.h"
#include "core/application/LibraryListFile.h"
#include "shell/CKelvaneRavoToolsDlg.h"
#include "support/RecordingPrompter.h"
#include "support/SimulatedController.h"

#include <QComboBox>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class MainWindowTest : public ::testing::Test {
protected:
    // A second controller on COM3, answering at once or at wire speed.
    void addCom3(bool paced = false);
    void removeCom3();
    // Constructs and shows the main window: the whole start-up runs.
    CKelvaneRavoToolsDlg& startWindow();

    // exeDirectory + "/KelvaneRavoTools/".
    std::string dataFolder() const;
    std::string programFile(const std::string& utf8Name) const;
    // Copies files of the demo data folder (paths inside it) into the data folder.
    void copyDemoFiles(std::initializer_list<const char*> files);
    // Creates the data and programs folders and a list file of `names` that remembers COM
    // port position `portIndex` and has `active` selected.
    void writeLibraryList(std::uint8_t portIndex, const kelvane::LibraryNames& names, int active);
    // An application program file of `buffer`'s motor and peripheral records and `programs`.
    void writeApplicationProgram(const std::string& utf8Name, const kelvane::ApplicationProgramBuffer& buffer,
                                 const std::vector<kelvane::ProgramImage>& programs);
    // Answers the next name dialog: `name` with "确认", or "取消" when there is none. The
    // name the dialog offered goes to `offered`.
    void answerNameDialog(std::optional<QString> name, QString* offered = nullptr);

    // Waits until every job the window posted to the link worker (download, factory data, a
    // view's reads) has ended and reported; false when it has not within `timeoutMs`.
    bool waitForControllerJob(int timeoutMs = 60000);

    QComboBox& comPortList();
    QPushButton& button(const char* objectName);
    QString statusText();
    QStringList comPortEntries();
    // Drops the COM port list down and chooses the entry at `position` with the keyboard.
    void chooseComPort(int position);

    SimulatedController com1;
    std::unique_ptr<ravo_sim::Simulator> com3;
    QTemporaryDir exeDirectory;
    RecordingPrompter prompter;
    std::unique_ptr<CKelvaneRavoToolsDlg> window;
};
