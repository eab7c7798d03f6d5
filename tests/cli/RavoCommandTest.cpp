// The ravo program itself: exit status, output and the one-line reasons of its errors.
#include "RavoCommandFixture.h"

#include "ApplicationDocument.h"
#include "ApplicationSource.h"
#include "CliError.h"

namespace {

TEST_F(RavoCommand, ShowAndListPrintTheDocumentAndTheLibrary) {
    Outcome run = ravo({"--data", DEMO_DATA_FOLDER, "show", demo("搬运演示.kelvane")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    for (const char* expected :
         {"应用程序版本: 5", "  X   1600  10", "1轴:  X1      X2", "采集模拟量", "X轴速度跟随", "用户程序 2 (4 行)",
          "运动控制  回原点    X轴    正向     20.000  回原点 X", "流程控制  循环      10     3"})
        EXPECT_NE(run.out.find(expected), std::string::npos) << expected << "\n" << run.out;
    run = ravo({"--data", folder_, "show", demo("点胶示例.kelvane")});  // no catalogue: lines still shown
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("用户程序 0 (7 行)"), std::string::npos) << run.out;
    run = ravo({"--data", DEMO_DATA_FOLDER, "list"});
    EXPECT_EQ(run.out, "串口编号: 1\n* 搬运演示\n  点胶示例\n");
}

TEST_F(RavoCommand, ExportThenImportGivesTheSameBytesForEveryDemoFile) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(DEMO_DATA_FOLDER "/ApplicationProgram")) {
        const std::string original = entry.path().string(), copy = folder_ + "/copy.kelvane";
        const Outcome exported = ravo({"export", original});
        ASSERT_EQ(exported.status, 0) << exported.err;
        EXPECT_EQ(exported.err, "") << original;
        const Outcome imported = ravo({"import", file("demo.json", exported.out), copy});
        EXPECT_EQ(imported.status, 0) << imported.err;
        EXPECT_EQ(imported.out + imported.err, "");
        EXPECT_EQ(ReadWholeFile(copy), ReadWholeFile(original)) << original;
        ++files;
    }
    EXPECT_GE(files, 3);
}

TEST_F(RavoCommand, ErrorsExitWithOneLineAndLeaveFilesAlone) {
    expectOneLineError(ravo({"show", folder_ + "/missing.kelvane"}), "missing.kelvane: No such file");
    expectOneLineError(ravo({"show", folder_}), "cannot open " + folder_);  // a file that cannot be read
    expectOneLineError(ravo({"export", file("bad.kelvane", "not a program\n")}), "not an application program file");
    expectOneLineError(ravo({"import", folder_ + "/missing.json", folder_ + "/o.kelvane"}), "cannot open");
    expectOneLineError(ravo({"import", file("bad.json", "{\"version\": 5,\n"), folder_ + "/o.kelvane"}), "JSON line 2");
    expectOneLineError(ravo({}), "no command");
    expectOneLineError(ravo({"frobnicate"}), "unknown command");
    expectOneLineError(ravo({"show"}), "usage: ravo show");
    expectOneLineError(ravo({"--bogus", "show", "x"}), "unknown option --bogus");
    expectOneLineError(ravo({"--data", folder_, "list"}), "ApplicationProgramMgr.ini");
    EXPECT_FALSE(std::filesystem::exists(folder_ + "/o.kelvane"));

    const std::string json = ravo({"export", demo("点胶示例.kelvane")}).out;
    expectOneLineError(ravo({"import", file("demo.json", json), folder_ + "/no-such-folder/o.kelvane"}),
                       "no-such-folder/o.kelvane");
    const std::string target = file("keep.kelvane", "old contents");
    expectOneLineError(ravo({"import", file("broken.json", json.substr(0, 200)), target}), "JSON");
    EXPECT_EQ(ReadWholeFile(target), "old contents");
}

// A line record of the demo catalogue's instructions: code and parameter values.
kelvane::LineRecord Line(std::uint8_t code, std::uint32_t p1 = 0, std::uint32_t p2 = 0) {
    kelvane::LineRecord record;
    record.bytes = {0xAA, 0xFF, code};
    for (int b = 0; b < 4; ++b) {
        record.bytes[3 + b] = static_cast<std::uint8_t>(p1 >> (24 - 8 * b));
        record.bytes[7 + b] = static_cast<std::uint8_t>(p2 >> (24 - 8 * b));
    }
    return record;
}

TEST_F(RavoCommand, CheckFindsEachKindOfProblemOnItsLine) {
    ravo::ApplicationDocument document;
    document.programs.resize(2);
    // 51 jumps to the line in parameter 1; 30 takes an output OUT1..OUT12 (1..12) first.
    const kelvane::LineRecord lines[] = {Line(30, 1, 1), Line(51, 4), Line(99, 1), Line(30, 13, 1)};
    std::copy(std::begin(lines), std::end(lines), document.programs[1].records.begin());
    document.programs[1].lineCount = 4;
    const std::string crafted = folder_ + "/crafted.kelvane";
    ravo::SaveApplicationDocument(crafted, document);

    Outcome run = ravo({"--data", DEMO_DATA_FOLDER, "check", crafted});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out,
              "program 1 line 1: jump target 4 is beyond the last line (3)\n"
              "program 1 line 2: instruction code 99 is not in the catalogue\n"
              "program 1 line 3: parameter 1 holds 13, which is not a value of its enumeration (type 4)\n");
    EXPECT_EQ(run.err, "");

    run = ravo({"--data", DEMO_DATA_FOLDER, "check", "搬运演示"});  // a library name
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_EQ(run.out + run.err, "");
    expectOneLineError(ravo({"--data", folder_, "check", crafted}), "no instruction catalogue in " + folder_);
}

TEST_F(RavoCommand, DamagedFileShowsAndExportsWithAWarning) {
    const std::string full = ReadWholeFile(demo("点胶示例.kelvane")).value_or("");
    const std::string cut = file("cut.kelvane", full.substr(0, full.size() / 2));
    for (const char* command : {"show", "export"}) {
        const Outcome run = ravo({command, cut});
        EXPECT_EQ(run.status, 0) << command;
        EXPECT_NE(run.out.find(command == std::string("show") ? "用户程序 0" : "\"programs\""), std::string::npos)
            << run.out;
        EXPECT_NE(run.err.find("warning: " + cut + " is incomplete"), std::string::npos) << command << run.err;
    }
}

// A path has a '/' or the extension; anything else names a program of the library.
TEST(ApplicationSource, PathsStayAndNamesBecomeTheirLibraryFile) {
    EXPECT_EQ(ravo::ApplicationProgramPath("dir/program", "/data"), "dir/program");
    EXPECT_EQ(ravo::ApplicationProgramPath("program.kelvane", "/data"), "program.kelvane");
    EXPECT_EQ(ravo::ApplicationProgramPath("搬运", "/data"), "/data/ApplicationProgram/搬运.kelvane");
    EXPECT_THROW(ravo::ApplicationProgramPath("a b", "/data"), ravo::CliError);
}

}  // namespace
