// "summary": the window's numbers of every profile, in the JSON and CSV
// forms, merged tables, and the same outputs whatever --jobs says.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "app/KelViewSession.h"
#include "cli/CliTestSupport.h"
#include "support/SessionTestSupport.h"
#include "kinetics/KineticsLibrary.h"

namespace kel {
namespace {

class CliSummary : public ::testing::Test {
protected:
    CliSummary() {
        test::UseDefaultKinetics();
        test::WriteBreathProfile(folder, "older.kel", 1, 46000.25);
        test::WriteBreathProfile(folder, "newer.kel", 2, 46000.75);
        test::WriteHeadspaceProfile(folder, "middle.kel");
        test::WriteFileForTest(folder.File("broken.kel"), "<kel>");
    }
    ~CliSummary() override { ReleaseKineticsLibrary(); }
    test::ScratchDir folder;
    test::RecordedMessages boxes;
};

TEST_F(CliSummary, JsonRowsHoldTheWindowsCompoundResults) {
    test::TCliResult r = test::RunCli({"summary", folder.Path(), "--mode", "ppb", "--format", "json", "--jobs", "2"}, "/");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("skipped \"" + folder.File("broken.kel") + "\""), std::string::npos) << r.err;
    QJsonObject table = test::ParseJson(r.out).object();
    QJsonArray rows = table["rows"].toArray();
    ASSERT_EQ(table["skipped"].toArray().size(), 1);
    int checked = 0;
    for (const std::string name : {"older.kel", "middle.kel", "newer.kel"}) {
        TKelViewSession window{test::TestServices()};
        ASSERT_TRUE(window.ShowProfile(folder.File(name)));
        if (!window.PpbDown()) window.BtnPpbClick();
        window.SelectAllClick();
        for (const TCompoundResult& c : window.CompoundResults()) {
            QJsonObject row = rows[checked++].toObject();
            EXPECT_EQ(row["file"].toString().toStdString(), folder.File(name));
            EXPECT_EQ(row["name"].toString().toStdString(), c.Name);
            if (c.MeanDensity > 0)
                EXPECT_EQ(row["mean"].toDouble(), c.Ppb) << c.Name;
            else
                EXPECT_TRUE(row["mean"].isNull()) << c.Name;
        }
    }
    EXPECT_EQ(checked, rows.size()) << "one row per compound of each profile, oldest first";
}

TEST_F(CliSummary, TablesAreTheSameForEveryJobCountAndMergeBack) {
    test::TCliResult one = test::RunCli({"summary", folder.Path(), "--jobs", "1", "--window", "headspace"}, "/");
    test::TCliResult two = test::RunCli({"summary", folder.Path(), "--jobs", "2", "--window", "headspace"}, "/");
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(two.out, one.out);
    EXPECT_EQ(two.err, one.err);
    EXPECT_NE(one.out.find(",c/s\n"), std::string::npos);

    test::TCliResult whole = test::RunCli({"summary", folder.Path()}, "/");
    ASSERT_EQ(whole.status, 0);
    test::WriteFileForTest(folder.File("a.csv"), whole.out);
    test::WriteFileForTest(folder.File("b.csv"), one.out);
    test::TCliResult merged = test::RunCli({"summary", "--merge", folder.File("b.csv"), folder.File("a.csv")}, "/");
    ASSERT_EQ(merged.status, 0) << merged.err;
    // Every row of both, once each, under one heading.
    auto lines = [](const std::string& t) { return std::count(t.begin(), t.end(), '\n'); };
    EXPECT_EQ(lines(merged.out), lines(whole.out) + lines(one.out) - 1);
    EXPECT_EQ(test::RunCli({"summary", "--merge", folder.File("older.kel")}, "/").status, 1);
    EXPECT_EQ(test::RunCli({"summary", folder.Path(), "--jobs", "0"}, "/").status, 2);
}

}  // namespace
}  // namespace kel
