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

TEST_F(CliSummary, PlotDrawsTheMeansBesideAnUnchangedTable) {
    test::TCliResult plain = test::RunCli({"summary", folder.Path()}, "/");
    test::TCliResult drawn = test::RunCli({"summary", folder.Path(), "--plot", folder.File("means.svg")}, "/");
    ASSERT_EQ(drawn.status, 0) << drawn.err;
    EXPECT_EQ(drawn.out, plain.out);
    const std::string svg = test::ReadFile(folder.File("means.svg"));
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("window means across profiles"), std::string::npos);

    test::WriteFileForTest(folder.File("a.csv"), plain.out);
    ASSERT_EQ(test::RunCli({"summary", "--merge", folder.File("a.csv"), "--plot", folder.File("m.png")}, "/").status, 0);
    EXPECT_EQ(test::ReadFile(folder.File("m.png")).substr(1, 3), "PNG");

    // A picture that cannot be drawn is refused before any work.
    test::TCliResult refused = test::RunCli({"summary", folder.Path(), "--plot", folder.File("means.gif")}, "/");
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_NE(refused.err.find("--plot: \"" + folder.File("means.gif") + "\" does not end in .png, .svg or .pdf"),
              std::string::npos)
        << refused.err;
}

}  // namespace
}  // namespace kel
