// Runs the ravo program in a temporary folder and collects its exit status and output.
#pragma once

#include "core/application/WholeFile.h"

#include "TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using kelvane::ReadWholeFile;

struct Outcome {
    int status;
    std::string out, err;
};

inline std::string quoted(const std::string& argument) {
    std::string text = "'";
    for (char c : argument) text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return text + "'";
}

inline std::string demo(const std::string& name) { return DEMO_DATA_FOLDER "/ApplicationProgram/" + name; }

class RavoCommand : public ::testing::Test {
protected:
    Outcome ravo(const std::vector<std::string>& arguments) const {
        std::string command = quoted(RAVO_EXECUTABLE);
        for (const std::string& argument : arguments) command += " " + quoted(argument);
        const int status =
            std::system((command + " >" + quoted(folder_ + "/out") + " 2>" + quoted(folder_ + "/err")).c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadWholeFile(folder_ + "/out").value_or(""),
                ReadWholeFile(folder_ + "/err").value_or("")};
    }
    std::string file(const std::string& name, const std::string& contents = "") const {
        std::ofstream(folder_ + "/" + name, std::ios::binary) << contents;
        return folder_ + "/" + name;
    }
    // A failure: status 1, nothing on standard output, one line on standard error.
    static void expectOneLineError(const Outcome& run, const std::string& fragment) {
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
        EXPECT_EQ(run.err.rfind("ravo: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(fragment), std::string::npos) << run.err;
    }
    TemporaryFolder temporary_{"ravo-cli"};
    const std::string folder_ = temporary_.path();
};
