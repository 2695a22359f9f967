// A study's summary against the window calculation profile by profile, its
// table forms, damaged profiles, and the same table and messages whatever
// the number of threads.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "app/KelViewSession.h"
#include "browser/StudySummary.h"
#include "common/CsvField.h"
#include "common/Errors.h"
#include "kinetics/FlowTube.h"
#include "kinetics/KineticsLibrary.h"
#include "kinetics/WindowMeans.h"
#include "support/SessionTestSupport.h"
#include "synth/DamagedFiles.h"
#include "synth/KineticsGenerator.h"
#include "synth/LegacyWriter.h"
#include "synth/ProfileGenerator.h"

namespace kel {

void PrintTo(const TSummaryRow& row, std::ostream* out) { *out << SummaryCsv({row}); }

namespace {

double Number(const std::string& text) {
    EXPECT_FALSE(text.empty());
    return std::strtod(text.c_str(), nullptr);
}

class Summary : public ::testing::Test {
protected:
    Summary() { test::UseKinetics(synth::DemoKineticsText()); }
    ~Summary() override { KineticsLibrary().Clear(); }

    // Profiles with dates out of name order, one with headspace sections.
    void WriteStudy(int profiles) {
        for (int i = 0; i < profiles; ++i) {
            synth::ProfileOptions options = synth::DefaultOptions(static_cast<std::uint64_t>(i + 1));
            options.dateOrigin = 46000.25 + ((i * 7) % profiles);
            options.headspaceDips = i % 2 == 0;
            options.cycles = 330;  // a full ring: no unrecorded zeros under the pressure's level
            options.comment = "vial " + std::to_string(i) + ", \"rinsed\"";
            synth::WriteLegacyFile(dir.File("p" + std::to_string(i) + ".kel"), synth::MakeProfile(options));
        }
    }

    TSummarySetup Setup(bool ppb, TSummaryWindowKind windows = TSummaryWindowKind::Selection) {
        TSummarySetup setup;
        setup.windows = windows;
        setup.newSession = [] {
            auto session = std::make_unique<TKelViewSession>(test::TestServices());
            session->UseOwnLibrary(KineticsLibrary());
            return session;
        };
        setup.open = [ppb](TKelViewSession& session, const std::string& path) {
            TProfileLoadResult loaded = session.ShowProfile(path);
            if (loaded.ended) return static_cast<TIoResult>(loaded);
            if (ppb != session.PpbDown()) session.BtnPpbClick();
            session.SelectAllClick();
            return TIoResult::Success();
        };
        return setup;
    }

    TSummary Run(bool ppb, int jobs, TSummaryWindowKind windows = TSummaryWindowKind::Selection) {
        std::vector<TIoResult> unlisted;
        TSummary summary = SummariseStudy(StudyProfiles({dir.Path()}, unlisted), Setup(ppb, windows), jobs);
        EXPECT_TRUE(unlisted.empty());
        return summary;
    }

    test::ScratchDir dir;
    test::RecordedMessages boxes;
};

TEST_F(Summary, PpbRowsAreTheWindowResultsOfEachProfileOpenedOnItsOwn) {
    WriteStudy(4);
    TSummary summary = Run(true, 3);
    ASSERT_TRUE(summary.skipped.empty());
    std::size_t at = 0;
    std::string previousDate;
    while (at < summary.rows.size()) {
        const std::string file = summary.rows[at].file;
        // The window's own numbers, from a session of the program's library.
        TKelViewSession window{test::TestServices()};
        ASSERT_TRUE(window.ShowProfile(file));
        window.BtnPpbClick();
        window.SelectAllClick();
        ASSERT_FALSE(window.CompoundResults().empty());
        EXPECT_GE(summary.rows[at].date, previousDate) << "profiles in date order";
        previousDate = summary.rows[at].date;
        for (const TCompoundResult& c : window.CompoundResults()) {
            ASSERT_LT(at, summary.rows.size());
            const TSummaryRow& row = summary.rows[at++];
            EXPECT_EQ(row.file, file);
            EXPECT_EQ(row.name, c.Name);
            EXPECT_EQ(row.unit, "ppb");
            EXPECT_EQ(row.comment, window.Texts().Comment);
            EXPECT_EQ(row.sample, window.Texts().Sample);
            if (c.MeanDensity > 0) {
                EXPECT_EQ(Number(row.mean), c.Ppb) << c.Name;
                EXPECT_EQ(Number(row.relativeError), c.RelStdDev) << c.Name;
                EXPECT_EQ(Number(row.detectionLimit), c.Ppb / c.ProductCountSum) << c.Name;
            } else {
                EXPECT_EQ(row.mean, "") << "a compound the window shows as n.a. has no number";
            }
        }
    }
}

TEST_F(Summary, RateRowsAreTheChannelMeansOfTheWholeProfile) {
    WriteStudy(2);
    TSummary summary = Run(false, 2);
    ASSERT_FALSE(summary.rows.empty());
    TKelViewSession window{test::TestServices()};
    ASSERT_TRUE(window.ShowProfile(summary.rows[0].file));
    window.SelectAllClick();
    const TKel& kel = window.Profile();
    auto [start, end] = window.SelectionToWindow(CycleTime(kel));
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, kel.njm - 1);
    TCorrectionState state{window.CorrectDown(), window.DeadTime(), kel.OutlierFilter};
    for (int k = 0; k < IonChannelCount(kel); ++k) {
        const TSummaryRow& row = summary.rows[static_cast<std::size_t>(k)];
        EXPECT_EQ(row.name, kel.Name[static_cast<std::size_t>(2 * k + 1)]);
        EXPECT_EQ(row.unit, "c/s");
        EXPECT_EQ(Number(row.mean), ChannelWindowMean(kel, state, k, start, end)) << row.name;
        EXPECT_GT(Number(row.detectionLimit), 0);
    }
    EXPECT_EQ(summary.rows[0].date, "2025-12-09T06:00:00");
}

TEST_F(Summary, HeadspaceGivesOneWindowPerSectionTheLogFinds) {
    WriteStudy(1);  // p0 has pressure dips
    TSummary summary = Run(true, 1, TSummaryWindowKind::Headspace);
    TKelViewSession window{test::TestServices()};
    ASSERT_TRUE(window.ShowProfile(dir.File("p0.kel")));
    window.BtnPpbClick();
    auto sections = window.HeadspaceSelections();
    ASSERT_GE(sections.size(), 2u);
    std::vector<std::string> windows;
    for (const TSummaryRow& row : summary.rows)
        if (windows.empty() || windows.back() != row.window) windows.push_back(row.window);
    ASSERT_EQ(windows.size(), sections.size());
    // The last section's numbers are the window's for that selection.
    window.SelectTimes(sections.back().first, sections.back().second);
    const TSummaryRow& last = summary.rows.back();
    EXPECT_EQ(last.window, windows.back());
    EXPECT_EQ(last.name, window.CompoundResults().back().Name);
    EXPECT_EQ(Number(last.mean), window.CompoundResults().back().Ppb);
}

TEST_F(Summary, DamagedProfilesAreSkippedWithTheirReasonAndTheRestSummarised) {
    WriteStudy(2);
    synth::WriteDamagedProfile(dir.File("a-broken.kel"), synth::TDamage::ZipWithoutMember);
    test::WriteFileForTest(dir.File("b-rows.kel"), "<kel><DateOrigin>46001</DateOrigin></kel>");
    TSummary summary = Run(true, 2);
    ASSERT_EQ(summary.skipped.size(), 2u);
    EXPECT_EQ(summary.skipped[0].file, dir.File("a-broken.kel"));
    EXPECT_EQ(summary.skipped[1].file, dir.File("b-rows.kel"));
    EXPECT_FALSE(summary.skipped[0].reason.empty());
    for (const TSummaryRow& row : summary.rows) EXPECT_TRUE(row.file.ends_with("p0.kel") || row.file.ends_with("p1.kel"));
    EXPECT_FALSE(summary.rows.empty());
}

TEST_F(Summary, TablesAndMessagesAreTheSameOnEveryNumberOfThreads) {
    WriteStudy(7);
    // A truncated legacy file reads on with a message; its place among the
    // messages must not depend on the threads.
    synth::ProfileOptions options = synth::DefaultOptions(9);
    synth::WriteLegacyFile(dir.File("p3.kel"), synth::MakeProfile(options), 24620);
    TSummary one = Run(true, 1);
    auto shownByOne = boxes.shown;
    ASSERT_FALSE(shownByOne.empty());
    for (int jobs : {2, 5}) {
        boxes.shown.clear();
        TSummary many = Run(true, jobs);
        EXPECT_EQ(SummaryCsv(many.rows), SummaryCsv(one.rows)) << jobs;
        EXPECT_EQ(boxes.shown, shownByOne) << jobs;
    }
    EXPECT_EQ(SummaryCsv(Run(false, 3, TSummaryWindowKind::Headspace).rows),
              SummaryCsv(Run(false, 1, TSummaryWindowKind::Headspace).rows));
}

TEST_F(Summary, WideAndMergedTablesHoldTheLongTablesCells) {
    WriteStudy(3);
    TSummary summary = Run(true, 2);
    std::string wide = WideSummaryCsv(summary.rows);
    // One heading and one line per profile; each compound's mean sits in its column.
    std::vector<std::string> lines;
    for (std::size_t from = 0, to; (to = wide.find('\n', from)) != std::string::npos; from = to + 1)
        lines.push_back(wide.substr(from, to - from));
    ASSERT_EQ(lines.size(), 4u);
    const TSummaryRow& first = summary.rows[0];
    EXPECT_NE(lines[0].find(first.name + " mean (ppb)," + first.name + " relative error (%)," + first.name +
                            " detection limit (ppb)"),
              std::string::npos);
    std::string cells;
    AppendCsvField(cells, first.comment);
    EXPECT_NE(lines[1].find(cells + "," + first.window + "," + first.mean + "," + first.relativeError + "," +
                            first.detectionLimit),
              std::string::npos)
        << lines[1];

    // Per-folder tables merged: the rows read back and fall into date order.
    std::size_t half = 0;  // the first profile's rows
    while (summary.rows[half].file == summary.rows[0].file) ++half;
    std::vector<TSummaryRow> later(summary.rows.begin() + static_cast<std::ptrdiff_t>(half), summary.rows.end());
    std::vector<TSummaryRow> earlier(summary.rows.begin(), summary.rows.begin() + static_cast<std::ptrdiff_t>(half));
    std::vector<TSummaryRow> merged = ParseSummaryCsv(SummaryCsv(later));
    std::vector<TSummaryRow> more = ParseSummaryCsv(SummaryCsv(earlier));
    merged.insert(merged.end(), more.begin(), more.end());
    SortSummaryRows(merged);
    EXPECT_EQ(merged, summary.rows);
    EXPECT_THROW(ParseSummaryCsv("file,date\nx,y\n"), EConvertError);
    EXPECT_THROW(ParseSummaryCsv(SummaryCsv(earlier) + "a,b\n"), EConvertError);
}

}  // namespace
}  // namespace kel
