// Profiles compared side by side against each profile's own window results,
// the main window's settings carried over, the table's CSV, the clock-time
// axis, and the summary's picture of means across profiles.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/KelViewSession.h"
#include "browser/CompareModel.h"
#include "browser/SessionTemplate.h"
#include "browser/StudySummary.h"
#include "browser/SummaryGraph.h"
#include "common/NumberText.h"
#include "kinetics/KineticsLibrary.h"
#include "support/SessionTestSupport.h"
#include "synth/KineticsGenerator.h"
#include "synth/LegacyWriter.h"
#include "synth/ProfileGenerator.h"

namespace kel {
namespace {

class Compare : public ::testing::Test {
protected:
    Compare() { test::UseKinetics(synth::DemoKineticsText()); }
    ~Compare() override { KineticsLibrary().Clear(); }

    // Three profiles a day apart, the newest first by name.
    std::vector<std::string> WriteProfiles() {
        std::vector<std::string> paths;
        for (int i = 0; i < 3; ++i) {
            synth::ProfileOptions options = synth::DefaultOptions(static_cast<std::uint64_t>(i + 7));
            options.dateOrigin = 46002.5 - i;
            options.cycles = 150 + 60 * i;
            paths.push_back(dir.File("c" + std::to_string(i) + ".kel"));
            synth::WriteLegacyFile(paths.back(), synth::MakeProfile(options));
        }
        return paths;
    }

    // The rows of name that a session of the program's library, opened on
    // the profile alone as the main window opens it, gives.
    static TSummaryRow OwnRow(const std::string& path, const std::string& name, bool ppb,
                              std::optional<std::pair<double, double>> window = std::nullopt) {
        TKelViewSession own{test::TestServices()};
        EXPECT_TRUE(own.ShowProfile(path));
        if (ppb != own.PpbDown()) own.BtnPpbClick();
        if (window) own.SelectTimes(window->first, window->second);
        else own.SelectAllClick();
        for (const TSummaryRow& row : WindowRows(own, path))
            if (row.name == name) return row;
        ADD_FAILURE() << name << " not in " << path;
        return {};
    }

    test::ScratchDir dir;
    test::RecordedMessages boxes;
};

TEST_F(Compare, ThreeProfilesGiveThreeCurvesAndTheirOwnWindowResults) {
    const std::vector<std::string> paths = WriteProfiles();
    TKelViewSession main{test::TestServices()};
    for (bool ppb : {false, true}) {
        if (main.PpbDown() != ppb) main.BtnPpbClick();
        TCompareModel model;
        model.Load(paths, TSessionTemplate::Of(main, KineticsLibrary()));
        ASSERT_TRUE(model.Failures().empty());
        EXPECT_EQ(model.Unit(), ppb ? "ppb" : "c/s");
        const std::vector<std::string> names = model.Names();
        ASSERT_GE(names.size(), 2u);
        const std::string name = names[1];
        TXYGraph graph;
        model.BuildGraph(graph, name, TCompareTime::FromStart);
        ASSERT_EQ(graph.Curves.Count(), 3);
        std::vector<std::string> legend;
        for (const TComment& c : graph.Comments) legend.push_back(c.Text);
        EXPECT_EQ(legend, (std::vector<std::string>{"c0.kel", "c1.kel", "c2.kel"}));
        EXPECT_NE(graph.Curves[0]->Pen.Color(), graph.Curves[1]->Pen.Color());
        EXPECT_EQ(graph.TitleLeft(), model.Unit());

        const std::vector<TSummaryRow> rows = model.TableRows(name);
        ASSERT_EQ(rows.size(), 3u);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(rows[i], OwnRow(paths[i], name, ppb)) << paths[i];
            // The curve is the main graph's curve of that profile.
            TKelViewSession own{test::TestServices()};
            ASSERT_TRUE(own.ShowProfile(paths[i]));
            if (ppb != own.PpbDown()) own.BtnPpbClick();
            const TCurve* curve = own.Graph1().Curves[1];
            EXPECT_EQ(graph.Curves[static_cast<int>(i)]->Y,
                      std::vector<double>(curve->Y.begin(), curve->Y.begin() + curve->Count));
        }
    }
}

TEST_F(Compare, ATypedWindowGivesTheResultsOfThatWindowAsTheSummaryComputesThem) {
    const std::vector<std::string> paths = WriteProfiles();
    TKelViewSession main{test::TestServices()};
    const std::pair<double, double> window{20, 45};
    TCompareModel model;
    const TSessionTemplate setup = TSessionTemplate::Of(main, KineticsLibrary());
    model.Load(paths, setup, window);
    const std::string name = model.Names()[3];

    TSummarySetup summary;
    summary.newSession = [&setup] { return setup.NewSession(); };
    summary.open = [&](TKelViewSession& session, const std::string& path) { return setup.Open(session, path, window); };
    TSummary expected = SummariseStudy(paths, summary, 2);
    std::vector<TSummaryRow> ofName;
    for (const TSummaryRow& row : expected.rows)
        if (row.name == name) ofName.push_back(row);
    std::vector<TSummaryRow> rows = model.TableRows(name);
    SortSummaryRows(rows);
    EXPECT_EQ(rows, ofName);
    EXPECT_EQ(rows[0].window, "20:45");
    EXPECT_NE(rows[0].mean, OwnRow(rows[0].file, name, false).mean) << "not the whole profile's mean";
}

TEST_F(Compare, TheMainWindowsCorrectionsAndDeadTimeApply) {
    const std::vector<std::string> paths = WriteProfiles();
    TKelViewSession main{test::TestServices()};
    main.btnApplyDeMrClick();  // correct off
    main.SetFieldValue(TFieldId::feDeadT, 0.5);
    TCompareModel model;
    const TSessionTemplate setup = TSessionTemplate::Of(main, KineticsLibrary());
    model.Load(paths, setup);
    const std::string name = model.Names()[4];

    TKelViewSession own{test::TestServices()};
    own.btnApplyDeMrClick();
    own.SetFieldValue(TFieldId::feDeadT, 0.5);
    ASSERT_TRUE(own.ShowProfile(paths[0]));
    own.SelectAllClick();
    const std::vector<TSummaryRow> expected = WindowRows(own, paths[0]);
    const TSummaryRow row = model.TableRows(name)[0];
    EXPECT_EQ(row, *std::find_if(expected.begin(), expected.end(), [&](auto& r) { return r.name == name; }));
    EXPECT_NE(row.mean, OwnRow(paths[0], name, false).mean) << "the default settings' mean";
    EXPECT_NE(setup.Description().find("correct off"), std::string::npos);
    EXPECT_NE(setup.Description().find("dead time 0.5"), std::string::npos);
}

TEST_F(Compare, TheTableCsvReadsBackAndAnUnreadableProfileIsNamedNotShown) {
    std::vector<std::string> paths = WriteProfiles();
    paths.insert(paths.begin() + 1, dir.File("missing.kel"));
    TKelViewSession main{test::TestServices()};
    TCompareModel model;
    model.Load(paths, TSessionTemplate::Of(main, KineticsLibrary()));
    ASSERT_EQ(model.Failures().size(), 1u);
    EXPECT_EQ(model.Failures()[0].file, paths[1]);
    EXPECT_NE(model.Failures()[0].description().find("missing.kel"), std::string::npos);
    const std::string name = model.Names()[0];
    EXPECT_EQ(ParseSummaryCsv(model.TableCsv(name)), model.TableRows(name));
    EXPECT_EQ(model.TableRows(name).size(), 3u);
    TXYGraph graph;
    model.BuildGraph(graph, name, TCompareTime::FromStart);
    EXPECT_EQ(graph.Curves.Count(), 3);
}

TEST_F(Compare, ClockTimePlacesEachProfileAtItsOwnHours) {
    const std::vector<std::string> paths = WriteProfiles();
    TKelViewSession main{test::TestServices()};
    TCompareModel model;
    model.Load(paths, TSessionTemplate::Of(main, KineticsLibrary()));
    const std::string name = model.Names()[0];
    TXYGraph fromStart, clock;
    model.BuildGraph(fromStart, name, TCompareTime::FromStart);
    model.BuildGraph(clock, name, TCompareTime::Clock);
    // c2 is the oldest, recorded at noon of the first day; c0 two days later.
    for (int i = 0; i < 3; ++i) {
        const TCurve& start = *fromStart.Curves[i];
        const TCurve& hours = *clock.Curves[i];
        ASSERT_EQ(start.Count, hours.Count);
        const TComparedProfile& p = model.Profiles()[static_cast<std::size_t>(i)];
        const double cycle = start.X[1] - start.X[0];
        // The oldest point kept is cycle jm - njm of the recording.
        const double first = 12 + 24 * (2 - i) + p.clock[0] / 3600;
        EXPECT_DOUBLE_EQ(hours.X[0], first) << p.path;
        EXPECT_NEAR(hours.X[5] - hours.X[0], 5 * cycle / 3600, 1e-9);
    }
    EXPECT_EQ(clock.TitleBottom(), "clock time [h] from 2025-12-09 00:00");
}

TEST(SummaryGraph, OnePointPerProfileAndNameInTheSummarysOrder) {
    auto row = [](std::string file, std::string name, std::string mean) {
        TSummaryRow r;
        r.file = std::move(file);
        r.name = std::move(name);
        r.mean = std::move(mean);
        r.unit = "c/s";
        return r;
    };
    const std::vector<TSummaryRow> rows = {row("b.kel", "19", "5"), row("b.kel", "37", "1.5"),
                                           row("a.kel", "19", "7"), row("a.kel", "37", ""),
                                           row("c.kel", "19", "2.25"), row("c.kel", "37", "3")};
    TXYGraph graph;
    BuildSummaryGraph(graph, rows);
    ASSERT_EQ(graph.Curves.Count(), 2);
    const TCurve& first = *graph.Curves[0];
    EXPECT_EQ(first.X, (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(first.Y, (std::vector<double>{5, 7, 2.25}));
    EXPECT_EQ(first.Count, 3);
    const TCurve& second = *graph.Curves[1];
    EXPECT_EQ(second.X, (std::vector<double>{1, 3})) << "a row without a mean gives no point";
    EXPECT_EQ(second.Y, (std::vector<double>{1.5, 3}));
    EXPECT_EQ(graph.TitleLeft(), "c/s");
    EXPECT_LE(graph.xmin(), 1);
    EXPECT_GE(graph.xmax(), 3);
    EXPECT_EQ(graph.Xdiv(), 1) << "ticks at whole profiles";
    EXPECT_LE(graph.Ymin(), 1.5);
    EXPECT_GE(graph.Ymax(), 7);
}

}  // namespace
}  // namespace kel
