// The program library's rules on a data folder: which entry a read selects and an added name
// makes active, what a save or an import would replace, the texts of a refused name or import.
#include "ApplicationTestSupport.h"

#include "core/application/ProgramLibrary.h"
#include "core/application/WholeFile.h"

#include <filesystem>

namespace kelvane {
namespace {

using testing::gbk;
using Names = std::vector<std::string>;

class ProgramLibraryRules : public ::testing::Test {
protected:
    ProgramLibraryRules() : library(folder.path() + "/") {
        std::filesystem::create_directory(folder.file(kProgramsFolder));
    }
    std::string listFile() const { return ReadWholeFile(folder.file(kLibraryListFile)).value_or("(none)"); }
    void writeList(const std::string& utf8Text) {
        ASSERT_TRUE(WriteFileAtomically(folder.file(kLibraryListFile), gbk(utf8Text)).ok);
    }

    TemporaryFolder folder;
    ProgramLibrary library;
};

TEST_F(ProgramLibraryRules, ReadSelectsThePreferredOrActiveEntryAndAnAddedNameBecomesActive) {
    library.setPortIndex(7);
    EXPECT_EQ(library.Read(""), -1) << "no list file: an empty library";
    EXPECT_EQ(library.portIndex(), 1);

    writeList("串口编号:2\n应用程序个数:2\n激活程序编号:1\na1\n搬运\n");
    EXPECT_EQ(library.Read(""), 1);
    EXPECT_EQ(library.Read("a1"), 0);
    EXPECT_EQ(library.Names(), (Names{"a1", "搬运"}));
    EXPECT_EQ(library.portIndex(), 2);

    library.Add("a2");
    EXPECT_EQ(listFile(), gbk("串口编号:2\n应用程序个数:3\n激活程序编号:1\na1\na2\n搬运\n"));
    library.Add("搬运");  // a listed name is not added twice
    EXPECT_EQ(listFile(), gbk("串口编号:2\n应用程序个数:3\n激活程序编号:2\na1\na2\n搬运\n"));
}

TEST_F(ProgramLibraryRules, AListedNameOrAnUnlistedFileOfThatNameWouldBeReplaced) {
    writeList("串口编号:0\n应用程序个数:1\n激活程序编号:0\na1\n");
    library.Read("");
    ASSERT_TRUE(WriteFileAtomically(library.FilePath("orphan"), "x").ok);

    EXPECT_TRUE(library.WouldReplace("a1"));
    EXPECT_TRUE(library.WouldReplace("a1", false));
    EXPECT_TRUE(library.WouldReplace("orphan"));
    EXPECT_FALSE(library.WouldReplace("orphan", false)) << "an import of the file itself replaces nothing";
    EXPECT_FALSE(library.WouldReplace("new"));
    EXPECT_EQ(library.FilePath("搬运"), folder.path() + "/ApplicationProgram/搬运.kelvane");

    const std::string listBefore = listFile();
    library.Remove("orphan");
    EXPECT_FALSE(std::filesystem::exists(library.FilePath("orphan")));
    library.Remove("a1");
    EXPECT_TRUE(library.Names().empty());
    EXPECT_EQ(listFile(), listBefore) << "the caller writes the list";
}

TEST(ProgramLibraryTexts, ARefusedNameIsToldWithItsReason) {
    const struct {
        const char* name;
        const char* reason;
    } cases[] = {
        {"", "名称为空"},
        {"a b", "名称含有空白字符"},
        {"../a", "名称含有“/”或“\\”"},
        {"..", "名称不能是“.”或“..”"},
        {"a😀", "名称含有GBK编码以外的字符"},
        {"a\x01", "名称含有控制字符"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NameRefusal(c.name), "“" + std::string(c.name) + "”不能作为应用程序名称:" + c.reason) << c.reason;
    EXPECT_EQ(NameRefusal(std::string(128, 'n')),
              "“" + std::string(128, 'n') + "”不能作为应用程序名称:名称超过127字节");
    EXPECT_FALSE(NameRefusal("搬运.v2"));
}

TEST(ProgramLibraryTexts, AnImportIsOfferedUnderTheFileNameAndRefusedUnlessItReadsAsAProgram) {
    EXPECT_EQ(ImportedName("/home/u/搬运.v2.kelvane"), "搬运.v2");
    EXPECT_EQ(ImportedName("C:\\Users\\u\\a.kelvane"), "a");
    EXPECT_EQ(ImportedName("plain"), "plain");

    TemporaryFolder folder;
    const std::string notes = folder.file("notes.txt");
    ASSERT_TRUE(WriteFileAtomically(notes, "a text file\n").ok);
    EXPECT_EQ(ReadImportSource(notes).refusal, notes + "不是应用程序文件");
    EXPECT_FALSE(ReadImportSource(notes).contents);
    EXPECT_EQ(ReadImportSource(folder.path()).refusal, "cannot read " + folder.path());

    ApplicationProgramBuffer buffer;
    ResetApplicationBuffer(buffer);
    const std::string program = testing::formatPrograms(buffer, {ProgramImage{}});
    ASSERT_TRUE(WriteFileAtomically(folder.file("p.kelvane"), program).ok);
    EXPECT_EQ(ReadImportSource(folder.file("p.kelvane")).contents, program);
}

}  // namespace
}  // namespace kelvane
