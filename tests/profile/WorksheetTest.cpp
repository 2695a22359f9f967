#include <gtest/gtest.h>

#include <filesystem>

#include "profile/Kel.h"
#include "support/TestSupport.h"
#include "synth/ProfileGenerator.h"

namespace kel {
namespace {

using test::RecordedMessages;
using test::ScratchDir;

TKel SmallProfile() {
    TKel kel;
    kel.nim = 29;
    kel.njm = 2;
    kel.p = 0.5;
    kel.fc = 150;
    kel.f1 = 2;
    kel.Tg = 300;
    kel.Aft = 13.074051987176063;
    kel.lr = 70;
    kel.f4 = -1.5;
    kel.DateOrigin = 39000.5;
    kel.SystemId = "KV-7";
    kel.Name[1] = "19";
    kel.Name[3] = "37,x";
    kel.Dam[1] = 65535;
    kel.Cntm[1] = 100;
    kel.Counts[1][0] = 12;
    kel.Counts[1][1] = -15;
    kel.Counts[28][1] = 7;
    kel.Times[0] = 0;
    kel.Times[1] = -3;
    return kel;
}

std::string Repeat(const std::string& cell, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += cell;
    return out;
}

TEST(WriteCsv, WritesTheWorksheetByteForByte) {
    ScratchDir dir;
    RecordedMessages boxes;
    ASSERT_TRUE(SmallProfile().WriteCsv(dir.File("a.csv")));
    EXPECT_TRUE(boxes.shown.empty());
    const std::string zero = " 0.00000000000000E+0000";
    std::string expected =
        "M2,29,2, 5.00000000000000E-0001, 1.50000000000000E+0002, 2.00000000000000E+0000,"
        " 3.00000000000000E+0002, 1.30740519871761E+0001, 7.00000000000000E+0001,"
        "-1.50000000000000E+0000," + zero + "," + zero + "," + zero + "," + zero +
        ", 3.90005000000000E+0004,KV-7\r\n"
        "\"Names\",,19,,\"37,x\"," + Repeat(",", 25) + "\r\n"  // the comma stays inside its name
        "\"DAm\",0,65535," + Repeat("0,", 27) + "\r\n"
        "\"Cntm\",0,100," + Repeat("0,", 27) + "\r\n"
        "0,0,12," + Repeat("0,", 27) + "\r\n"
        "-3,0,-15," + Repeat("0,", 26) + "7,\r\n";
    EXPECT_EQ(test::ReadFile(dir.File("a.csv")), expected);
}

TEST(WriteCsv, NoSlotsWritesTheFourHeaderLinesOnly) {
    ScratchDir dir;
    TKel kel = SmallProfile();
    kel.njm = 0;
    ASSERT_TRUE(kel.WriteCsv(dir.File("b.csv")));
    std::string text = test::ReadFile(dir.File("b.csv"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);
    EXPECT_EQ(text.rfind("\"Cntm\",", 0) == std::string::npos, true);
    EXPECT_NE(text.find("\r\n\"Cntm\",0,100,"), std::string::npos);
}

TEST(WriteCsv, AlwaysWritesAll29RowsOfEverySlot) {
    ScratchDir dir;
    TKel kel = synth::MakeProfile(synth::DefaultOptions(3));
    kel.nim = 10;
    ASSERT_TRUE(kel.WriteCsv(dir.File("c.csv")));
    std::string text = test::ReadFile(dir.File("c.csv"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4 + 201);
    std::string last = text.substr(text.rfind("\r\n", text.size() - 3) + 2);
    EXPECT_EQ(std::count(last.begin(), last.end(), ','), 30);
}

TEST(WriteCsv, FailureIsReturnedAndKeepsTheOldFile) {
    ScratchDir dir;
    RecordedMessages boxes;
    TIoResult failed = SmallProfile().WriteCsv(dir.File("no/such/folder.csv"));
    EXPECT_EQ(failed.status, TIoStatus::WriteFailed);
    EXPECT_EQ(failed.file, dir.File("no/such/folder.csv"));
    EXPECT_EQ(failed.reason, "No such file or directory");
    EXPECT_TRUE(boxes.shown.empty()) << "the caller shows the box";

    std::string path = dir.File("keep.csv");
    test::WriteFileForTest(path, "old worksheet");
    using std::filesystem::perms;
    std::filesystem::permissions(dir.Path(), perms::owner_read | perms::owner_exec);
    bool written = SmallProfile().WriteCsv(path).ok();
    std::filesystem::permissions(dir.Path(), perms::owner_all);
    if (test::PermissionsBind()) {
        EXPECT_FALSE(written);
        EXPECT_EQ(test::ReadFile(path), "old worksheet");
    }
    EXPECT_EQ(test::ListFolder(dir.Path()).size(), 1u);
}

}  // namespace
}  // namespace kel
