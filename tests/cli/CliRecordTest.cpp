// "info" and "convert": the record read back exactly, and conversions that
// keep every field at the precision the profile format writes.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

#include "cli/CliTestSupport.h"
#include "profile/Kel.h"
#include "synth/LegacyWriter.h"

namespace kel {
namespace {

using test::RunCli;

class CliRecord : public ::testing::Test {
protected:
    QJsonObject Info(const std::string& path, const std::string& option = "--counts") {
        test::TCliResult r = RunCli({"info", path, option}, dir.Path());
        EXPECT_EQ(r.status, 0) << r.err;
        return test::ParseJson(r.out).object();
    }
    test::ScratchDir dir;
};

TEST_F(CliRecord, InfoNumbersReadBackExactly) {
    std::string path = test::WriteBreathProfile(dir, "a.kel", 3, 46000.43750000123);
    TKel loaded;
    loaded.LoadFromFile(path);
    QJsonObject info = Info(path);
    EXPECT_EQ(info["FileName"].toString(), "a.kel");
    EXPECT_EQ(info["DateOrigin"].toDouble(), loaded.DateOrigin);
    EXPECT_EQ(info["ProfileDate"].toDouble(), loaded.ProfileDate);
    EXPECT_EQ(info["Aft"].toDouble(), static_cast<double>(loaded.Aft));
    EXPECT_EQ(info["p"].toDouble(), static_cast<double>(loaded.p));
    QJsonArray counts = info["Counts"].toArray();
    ASSERT_EQ(counts.size(), static_cast<qsizetype>(loaded.Counts.size()));
    EXPECT_EQ(counts[3].toArray()[17].toInt(), loaded.Counts[3][17]);
    EXPECT_EQ(info["IonMass"].toArray().size(), loaded.nim / 2);
}

TEST_F(CliRecord, HeaderOnlyLeavesTheCountsOut) {
    std::string path = test::WriteBreathProfile(dir, "a.kel", 3);
    QJsonObject info = Info(path, "--header-only");
    EXPECT_TRUE(info["HeaderOnly"].toBool());
    EXPECT_FALSE(info.contains("Counts"));
    EXPECT_EQ(info["ion"].toString(), "H3O+");
}

TEST_F(CliRecord, ConvertToProfileKeepsEveryFieldAtWrittenPrecision) {
    std::string legacy = test::WriteBreathProfile(dir, "a.kel", 5);
    test::TCliResult r = RunCli({"convert", legacy, "b.kel"}, dir.Path());
    ASSERT_EQ(r.status, 0) << r.err;
    QJsonObject before = Info(legacy), after = Info(dir.File("b.kel"));
    // Decimals the XML profile writes each value with.
    const std::pair<const char*, int> decimals[] = {
        {"p", 3},     {"fc", 5},    {"f1", 5},    {"FScan", 5}, {"De200", 5}, {"Mr200", 5},
        {"Df73", 5},  {"ts", 5},    {"Tg", 2},    {"Aft", 3},   {"lr", 3},    {"f4", 3},
        {"f5", 3},    {"f6", 3},    {"f7", 3},    {"f8", 3},    {"DateOrigin", 13}};
    for (auto [name, places] : decimals) {
        double tolerance = 0.5 * std::pow(10.0, -places) + 1e-9 * std::fabs(before[name].toDouble());
        EXPECT_NEAR(after[name].toDouble(), before[name].toDouble(), tolerance) << name;
    }
    for (const char* name : {"nim", "njm", "im", "jm", "ion", "reactant", "comment", "SystemId", "IonMass"})
        EXPECT_TRUE(after[name] == before[name]) << name;
    // Arrays may be longer after reading XML; the rows and slots in use match.
    auto head = [](const QJsonValue& array, int n) { return array.toArray().toVariantList().mid(0, n); };
    const int rows = 29, slotsInUse = before["njm"].toInt();
    for (const char* name : {"Name", "Dam", "Cntm"}) EXPECT_EQ(head(after[name], rows), head(before[name], rows)) << name;
    EXPECT_EQ(head(after["Times"], slotsInUse), head(before["Times"], slotsInUse));
    for (int row = 0; row < rows; ++row)
        EXPECT_EQ(head(after["Counts"].toArray()[row], slotsInUse), head(before["Counts"].toArray()[row], slotsInUse))
            << row;
}

TEST_F(CliRecord, ConvertToWorksheetWritesWhatTheRecordWrites) {
    std::string legacy = test::WriteBreathProfile(dir, "a.kel", 5);
    ASSERT_EQ(RunCli({"convert", legacy, "A.CSV"}, dir.Path()).status, 0);
    TKel record;
    record.LoadFromFile(legacy);
    ASSERT_TRUE(record.WriteCsv(dir.File("expected.csv")));
    EXPECT_EQ(test::ReadFile(dir.File("A.CSV")), test::ReadFile(dir.File("expected.csv")));
}

TEST_F(CliRecord, TextsOfAnOldProfileReachTheJsonAsUtf8) {
    TKel legacy;
    ASSERT_TRUE(legacy.LoadFromFile(test::WriteBreathProfile(dir, "breath.kel", 5)));
    legacy.reactant = "exhaled \xB5g \xE9t\xE9";  // Windows-1252, as the instrument wrote it
    legacy.comment = "25\xB0" "C\tsample";
    synth::WriteLegacyFile(dir.File("old.kel"), legacy);
    ASSERT_EQ(RunCli({"convert", "old.kel", "new.kel"}, dir.Path()).status, 0);
    test::TCliResult r = RunCli({"info", "new.kel"}, dir.Path());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"exhaled \xC2\xB5g \xC3\xA9t\xC3\xA9\""), std::string::npos) << r.out.substr(0, 600);
    QJsonObject info = test::ParseJson(r.out).object();
    EXPECT_EQ(info["reactant"].toString(), QString::fromUtf8("exhaled \xC2\xB5g \xC3\xA9t\xC3\xA9"));
    EXPECT_EQ(info["comment"].toString(), QString::fromUtf8("25\xC2\xB0" "Csample"));  // the tab does not survive XML
    // Read from the legacy file itself, the tab is kept and escaped.
    EXPECT_NE(RunCli({"info", "old.kel"}, dir.Path()).out.find("\"25\xC2\xB0" "C\\u0009sample\""), std::string::npos);
}

TEST_F(CliRecord, AnOutputThatCannotBeWrittenIsAFailure) {
    std::string legacy = test::WriteBreathProfile(dir, "a.kel", 5);
    for (const char* out : {"no/such/folder/b.kel", "no/such/folder/b.csv"}) {
        test::TCliResult r = RunCli({"convert", legacy, out}, dir.Path());
        EXPECT_EQ(r.status, 1) << out;
        EXPECT_NE(r.err.find("Save Error!"), std::string::npos) << r.err;
    }
}

}  // namespace
}  // namespace kel
