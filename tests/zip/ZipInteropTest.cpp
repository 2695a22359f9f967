// Archives checked by, and made with, zip tools nobody here wrote.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "support/TestSupport.h"
#include "zip/SciZipFile.h"

namespace kel {
namespace {

using test::HaveTool;
using test::RunTool;

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string SampleText() {
    std::string text = "<?xml version=\"1.0\"?><kel>\r\n";
    for (int i = 0; i < 3000; ++i) text += "<c>" + std::to_string(i * 37 % 1000) + "</c>";
    return text + "\r\n</kel>";
}

#define REQUIRE_TOOL(tool) \
    if (!HaveTool(tool)) GTEST_SKIP() << tool " is not installed (tools/setup.sh installs it)"

class ZipInterop : public ::testing::Test {
protected:
    void SetUp() override {
        zip.AddFile("a.txt.kel", 0);
        zip.SetUncompressed(0, text);
        zip.SaveToFile(ours);
    }
    test::ScratchDir dir;
    std::string text = SampleText();
    std::string ours = dir.File("ours.kel");
    TZipFile zip;
};

TEST_F(ZipInterop, UnzipTestsListsAndExtractsOurArchive) {
    REQUIRE_TOOL("unzip");
    EXPECT_EQ(RunTool("unzip -t '" + ours + "' 2>&1"), 0);
    std::string listing;
    EXPECT_EQ(RunTool("unzip -l '" + ours + "'", &listing), 0);
    EXPECT_NE(listing.find("a.txt.kel"), std::string::npos) << listing;
    EXPECT_NE(listing.find(std::to_string(text.size())), std::string::npos) << listing;
    std::string extracted;
    EXPECT_EQ(RunTool("unzip -p '" + ours + "' a.txt.kel", &extracted), 0);
    EXPECT_EQ(extracted, text);
}

TEST_F(ZipInterop, PythonReadsOurArchive) {
    REQUIRE_TOOL("python3");
    std::string extracted;
    std::string script = "import sys,zipfile; z=zipfile.ZipFile(sys.argv[1]); assert z.testzip() is None; "
                         "assert z.namelist()==['a.txt.kel']; sys.stdout.buffer.write(z.read('a.txt.kel'))";
    EXPECT_EQ(RunTool("python3 -c \"" + script + "\" '" + ours + "'", &extracted), 0);
    EXPECT_EQ(extracted, text);
}

TEST_F(ZipInterop, ReadsArchivesOfInfoZip) {
    REQUIRE_TOOL("zip");
    WriteText(dir.File("profile.txt.kel"), text);
    for (const char* level : {"-6", "-9", "-0"}) {
        std::string archive = dir.File(std::string("info") + level + ".zip");
        ASSERT_EQ(RunTool("cd '" + dir.Path() + "' && zip -q " + level + " '" + archive + "' profile.txt.kel"), 0);
        TZipFile theirs;
        theirs.LoadFromFile(archive);
        ASSERT_EQ(theirs.Count(), 1) << level;
        EXPECT_EQ(theirs.Files[0].FileName, "profile.txt.kel");
        EXPECT_EQ(theirs.Files[0].Method, level[1] == '0' ? 0 : 8);
        EXPECT_EQ(theirs.Uncompressed(0), text) << level;
    }
}

TEST_F(ZipInterop, ReadsArchivesOfPythonZipfile) {
    REQUIRE_TOOL("python3");
    for (const char* method : {"ZIP_DEFLATED", "ZIP_STORED"}) {
        std::string archive = dir.File(std::string(method) + ".zip");
        std::string script = std::string("import sys,zipfile; z=zipfile.ZipFile(sys.argv[1],'w',zipfile.") + method +
                             "); z.writestr('first.txt.kel', open(sys.argv[2],'rb').read()); "
                             "z.writestr('second', b'more'); z.close()";
        WriteText(dir.File("text"), text);
        ASSERT_EQ(RunTool("python3 -c \"" + script + "\" '" + archive + "' '" + dir.File("text") + "'"), 0);
        TZipFile theirs;
        theirs.LoadFromFile(archive);
        ASSERT_EQ(theirs.Count(), 2) << method;
        EXPECT_EQ(theirs.Uncompressed(0), text) << method;
        EXPECT_EQ(theirs.Uncompressed(1), "more") << method;
        EXPECT_EQ(theirs.CentralDirectory[1].FileName, "second");
    }
}

}  // namespace
}  // namespace kel
