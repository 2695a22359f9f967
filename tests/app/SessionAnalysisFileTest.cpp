// Saving an analysis and opening it again: the same view and the same
// numbers, a changed or missing file told by name, a hostile file refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/AnalysisFile.h"
#include "kinetics/KineticsLibrary.h"
#include "support/SessionTestSupport.h"
#include "synth/KineticsGenerator.h"
#include "synth/ProfileGenerator.h"

namespace kel {
namespace {

// What the window shows: the graph's lines where they stand, the
// intermediate results and the analysis.
struct Shown {
    std::vector<std::string> lines;
    std::vector<std::string> intermediate;
    TAnalysisState state;
    std::string title;
    bool operator==(const Shown&) const = default;
};

Shown ShownBy(const TKelViewSession& s) {
    Shown shown;
    for (const TComment& c : s.Graph1().Comments)
        shown.lines.push_back(c.Text + " @" + std::to_string(c.PosX) + "," + std::to_string(c.PosY));
    shown.intermediate = s.IntermediateResults();
    shown.state = s.AnalysisState();
    shown.title = s.Graph1().TitleTop();
    return shown;
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

class AnalysisFile : public ::testing::Test {
protected:
    AnalysisFile() {
        kinetics = dir.File("kbase.txt");
        Write(kinetics, synth::DemoKineticsText());
        SetKineticsFileName(kinetics);
        ReloadKineticsLibrary();
        profile = test::SaveProfile(dir, synth::MakeProfile(synth::DefaultOptions(3)), "breath.kel");
        analysis = dir.File("breath.kelview.json");
    }
    ~AnalysisFile() override {
        KineticsLibrary().Clear();
        SetKineticsFileName("");
    }

    // An analysis with a field of every kind, toggles, a selection and axes
    // of the user's, saved; what it showed is returned.
    Shown AnalyseAndSave() {
        EXPECT_FALSE(session.ShowProfile(profile).Failed());
        session.BtnPpbClick();
        EXPECT_TRUE(session.EditField(TFieldId::feDeadT, "0.000123"));
        EXPECT_TRUE(session.EditField(TFieldId::feTg, "305.5"));
        session.btnApplyDeMrClick();
        session.SelectTimes(120.25, 175.5);
        session.ZoomTime(333, 0.7);
        session.ToggleCurve(1);  // a compound hidden
        EXPECT_TRUE(session.SaveAnalysis(analysis).ok());
        return ShownBy(session);
    }

    test::ScratchDir dir;
    test::RecordedMessages boxes;
    std::string kinetics, profile, analysis;
    TKelViewSession session{test::TestServices()};
};

TEST_F(AnalysisFile, ReopenedInAFreshSessionItShowsTheSameViewAndNumbers) {
#ifdef _WIN32
    // Known defect: on Windows the analysis file keeps the profile's path in
    // the system's separators, which the reopened analysis does not match.
    GTEST_SKIP() << "profile paths in analysis files are not yet portable on Windows";
#endif
    const Shown saved = AnalyseAndSave();
    TKelViewSession reopened{test::TestServices()};
    const TAnalysisOpenResult opened = reopened.OpenAnalysis(analysis);
    ASSERT_TRUE(opened.shown) << opened.error;
    EXPECT_TRUE(opened.notices.empty());
    EXPECT_EQ(ShownBy(reopened), saved);
    EXPECT_EQ(reopened.HiddenCurves(), session.HiddenCurves());
    EXPECT_EQ(reopened.HiddenCurves().Ppb.size(), 1u);
    EXPECT_EQ(reopened.ProfilePath(), session.ProfilePath());
    // The reopened analysis is where its undo history starts.
    EXPECT_FALSE(reopened.CanUndo());
    // Written again, the file is the same byte for byte.
    const std::string again = dir.File("again.kelview.json");
    ASSERT_TRUE(reopened.SaveAnalysis(again).ok());
    EXPECT_EQ(Read(again), Read(analysis));
}

TEST_F(AnalysisFile, TheProfileIsNamedBesideTheAnalysisAndFromTheRootElsewhere) {
#ifdef _WIN32
    // Known defect: on Windows the analysis file keeps the profile's path in
    // the system's separators, which the reopened analysis does not match.
    GTEST_SKIP() << "profile paths in analysis files are not yet portable on Windows";
#endif
    AnalyseAndSave();
    EXPECT_NE(Read(analysis).find("\"path\":\"breath.kel\""), std::string::npos) << Read(analysis);
    std::filesystem::create_directory(dir.File("elsewhere"));
    const std::string away = dir.File("elsewhere/away.kelview.json");
    ASSERT_TRUE(session.SaveAnalysis(away).ok());
    EXPECT_NE(Read(away).find("\"path\":\"" + session.ProfilePath() + "\""), std::string::npos) << Read(away);
    TKelViewSession reopened{test::TestServices()};
    EXPECT_TRUE(reopened.OpenAnalysis(away).shown);
}

TEST_F(AnalysisFile, AMissingOrChangedFileIsToldByName) {
    const Shown saved = AnalyseAndSave();
    // A kinetics file changed since: shown, with its name in the notice.
    Write(kinetics, synth::DemoKineticsText() + "\n");
    TKelViewSession changedKinetics{test::TestServices()};
    TAnalysisOpenResult opened = changedKinetics.OpenAnalysis(analysis);
    ASSERT_TRUE(opened.shown) << opened.error;
    ASSERT_EQ(opened.notices.size(), 1u);
    EXPECT_NE(opened.notices[0].find(kinetics), std::string::npos) << opened.notices[0];

    // A profile changed since: told by name.
    Write(profile, Read(profile) + "x");
    TKelViewSession changedProfile{test::TestServices()};
    opened = changedProfile.OpenAnalysis(analysis);
    ASSERT_FALSE(opened.notices.empty());
    EXPECT_NE(opened.notices[0].find(profile), std::string::npos) << opened.notices[0];

    // A missing profile: nothing shown, the session as it was.
    std::filesystem::remove(profile);
    const Shown before = ShownBy(session);
    opened = session.OpenAnalysis(analysis);
    EXPECT_FALSE(opened.shown);
    EXPECT_NE(opened.error.find(profile), std::string::npos) << opened.error;
    EXPECT_EQ(ShownBy(session), before);
    EXPECT_EQ(before, saved);
}

TEST_F(AnalysisFile, HostileFilesAreRefusedWithTheirReasonAndChangeNothing) {
    AnalyseAndSave();
    const std::string good = Read(analysis);
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    };
    const std::string field = "\"feTg\":305.5";
    const struct {
        std::string text, reason;
    } hostile[] = {
        {"", "a value is missing"},
        {"not json", "no value of JSON"},
        {good.substr(0, good.size() / 2), "no JSON"},
        {std::string(100, '[') + std::string(100, ']'), "nested too deeply"},
        {"[1,2]", "no JSON object"},
        {replaced("\"version\":1", "\"version\":2"), "version"},
        {replaced(field, "\"feTg\":1e999"), "beyond the range"},
        {replaced(field, "\"feTg\":6000"), "feTg lies outside its range"},
        {replaced(field, "\"feTg\":\"305\""), "\"feTg\" is not a number"},
        {replaced(field, "\"feTg\":305.5,\"feTg\":305.5"), "appears twice"},
        {replaced(field, "\"feTx\":305.5"), "\"feTg\" is missing"},
        {replaced("\"mode\":\"ppb\"", "\"mode\":\"all\""), "\"mode\""},
        {replaced("\"selection\":[", "\"selection\":[1,"), "\"selection\""},
        {replaced("\"path\":\"breath.kel\"", "\"path\":\"bre\\u0000ath.kel\""), "NUL"},
        {replaced("\"path\":\"breath.kel\"", "\"path\":\"\xff\xfe\""), "not UTF-8"},
        {replaced("\"dh\":[]", "\"dh\":[7]"), "hiddenCurves"},
        {good + std::string(1 << 20, ' '), "holds more than"},
    };
    const Shown before = ShownBy(session);
    for (const auto& h : hostile) {
        Write(analysis, h.text);
        const TAnalysisOpenResult opened = session.OpenAnalysis(analysis);
        EXPECT_FALSE(opened.shown) << h.reason;
        EXPECT_NE(opened.error.find(analysis), std::string::npos) << opened.error;
        EXPECT_NE(opened.error.find(h.reason), std::string::npos) << opened.error;
        EXPECT_EQ(ShownBy(session), before) << h.reason;
    }
}

}  // namespace
}  // namespace kel
