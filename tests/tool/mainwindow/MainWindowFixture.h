// A main window started in a temporary executable folder against simulated controllers: COM1
// always, COM3 on request, both in one port folder (RAVO_COM_DIR).
#pragma once

#include "shell/CKelvaneRavoToolsDlg.h"
#include "support/RecordingPrompter.h"
#include "support/SimulatedController.h"

#include <QComboBox>
#include <QPushButton>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <vector>

// A command frame as a controller received it: command code and first parameter.
struct Command {
    int code;
    std::uint32_t p1;
    bool operator==(const Command& other) const { return code == other.code && p1 == other.p1; }
};
void PrintTo(const Command& command, std::ostream* out);

constexpr int kVersionQuery = 2;
constexpr int kSetWorkMode = 6;

// The command frames `controller` received, in order.
std::vector<Command> CommandsReceived(const ravo_sim::Simulator& controller);

class MainWindowTest : public ::testing::Test {
protected:
    void addCom3();
    void removeCom3();
    // Constructs and shows the main window: the whole start-up runs.
    CKelvaneRavoToolsDlg& startWindow();

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
