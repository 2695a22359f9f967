// Undo and redo of the user's analysis: every step comes back exactly, with
// the results it had, and another profile starts a history of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "kinetics/KineticsLibrary.h"
#include "support/SessionTestSupport.h"
#include "synth/KineticsGenerator.h"
#include "synth/ProfileGenerator.h"

namespace kel {
namespace {

// Everything the window shows of an analysis: the graph's lines where they
// stand, the intermediate results, the fields' texts, buttons and axes.
struct Shown {
    std::vector<std::string> lines;
    std::vector<std::string> intermediate;
    std::vector<std::string> fieldTexts;
    TAnalysisState state;
    bool logTicked = false;
    bool operator==(const Shown&) const = default;
};

Shown ShownBy(const TKelViewSession& s) {
    Shown shown;
    for (const TComment& c : s.Graph1().Comments)
        shown.lines.push_back(c.Text + " @" + std::to_string(c.PosX) + "," + std::to_string(c.PosY) + " " +
                              std::to_string(c.FontColor));
    shown.intermediate = s.IntermediateResults();
    for (int i = 0; i < kFieldCount; ++i) shown.fieldTexts.push_back(s.Field(static_cast<TFieldId>(i)).Text());
    shown.state = s.AnalysisState();
    shown.logTicked = s.LogPlotTicked();
    return shown;
}

// Names the parts that differ, so that a failure says what came back wrong.
std::string Difference(const Shown& a, const Shown& b) {
    std::string parts;
    if (a.lines != b.lines) {
        parts += " lines:";
        for (std::size_t i = 0; i < std::max(a.lines.size(), b.lines.size()); ++i) {
            const std::string x = i < a.lines.size() ? a.lines[i] : "-", y = i < b.lines.size() ? b.lines[i] : "-";
            if (x != y) parts += " [" + x + "] vs [" + y + "]";
        }
    }
    if (a.intermediate != b.intermediate) parts += " intermediate";
    if (a.fieldTexts != b.fieldTexts) parts += " fieldTexts";
    if (!(a.state.axes == b.state.axes)) parts += " axes";
    if (a.state.fields != b.state.fields) parts += " fields";
    if (!(a.state.profile == b.state.profile)) parts += " profile";
    if (a.state.selection != b.state.selection) parts += " selection";
    if (!(a.state.hiddenCurves == b.state.hiddenCurves)) parts += " hiddenCurves";
    if (a.state.mode != b.state.mode || a.state.correct != b.state.correct || a.state.normId != b.state.normId ||
        a.state.t0AtStart != b.state.t0AtStart || a.state.expand != b.state.expand || a.logTicked != b.logTicked)
        parts += " buttons";
    return parts;
}

#define EXPECT_SHOWN(actual, expected) EXPECT_EQ(Difference(actual, expected), "")

class SessionUndo : public ::testing::Test {
protected:
    SessionUndo() {
        test::UseKinetics(synth::DemoKineticsText());
        path = test::SaveProfile(dir, synth::MakeProfile(synth::DefaultOptions(3)), "first.kel");
        session.SetLogFileName(dir.File("multilog.csv"));
    }
    ~SessionUndo() override { KineticsLibrary().Clear(); }

    void OpenInPpbMode() {
        ASSERT_FALSE(session.ShowProfile(path).Failed());
        session.BtnPpbClick();
        session.SelectTimes(100, 200);
    }

    test::ScratchDir dir;
    test::RecordedMessages boxes;
    std::string path;
    TKelViewSession session{test::TestServices()};
};

TEST_F(SessionUndo, UndoOfAFieldEditGivesBackTheExactResultsAndRedoTheEdited) {
    OpenInPpbMode();
    const Shown before = ShownBy(session);
    ASSERT_FALSE(before.intermediate.empty());
    ASSERT_TRUE(session.EditField(TFieldId::feDeadT, "0.0002"));
    const Shown edited = ShownBy(session);
    ASSERT_NE(edited.lines, before.lines);  // the dead time moved the results

    ASSERT_TRUE(session.CanUndo());
    session.Undo();
    EXPECT_SHOWN(ShownBy(session), before);
    EXPECT_TRUE(session.CanRedo());
    session.Redo();
    EXPECT_SHOWN(ShownBy(session), edited);
    EXPECT_FALSE(session.CanRedo());
}

TEST_F(SessionUndo, EachCommandIsOneStepAndUndoWalksBackThroughThemAll) {
    ASSERT_FALSE(session.ShowProfile(path).Failed());
    std::vector<Shown> steps{ShownBy(session)};
    const auto step = [&](const auto& command) {
        command();
        steps.push_back(ShownBy(session));
    };
    step([&] { session.BtnPpbClick(); });
    step([&] { session.SelectTimes(100, 200); });
    step([&] { session.ToggleCurve(0); });  // a compound's curve hidden, its line dimmed
    step([&] { session.SpinField(TFieldId::feDe200, true); });
    step([&] { session.btnApplyDeMrClick(); });
    step([&] { session.cbT0StartClick(); });
    step([&] { session.SelectTimes(150, 190); });
    step([&] { session.btnNormIdClick(); });
    step([&] { session.btnIRClick(); });  // "D/H" releases "ppb"
    step([&] { session.ApplyMainAxes({60, 140, 1, 5000, false, false}); });
    step([&] { session.ZoomTime(300, 0.5); });
    step([&] { session.EditField(TFieldId::feTg, "310"); });
    // Leaving a field whose text was not changed is no step.
    session.LeaveField(TFieldId::feTg, session.Field(TFieldId::feTg).Text());

    for (std::size_t i = steps.size() - 1; i-- > 0;) {
        ASSERT_TRUE(session.CanUndo()) << i;
        session.Undo();
        EXPECT_SHOWN(ShownBy(session), steps[i]) << "undone to step " << i;
    }
    EXPECT_FALSE(session.CanUndo());
    session.Undo();  // nothing before the profile was shown
    EXPECT_SHOWN(ShownBy(session), steps.front());
    for (std::size_t i = 1; i < steps.size(); ++i) {
        session.Redo();
        EXPECT_SHOWN(ShownBy(session), steps[i]) << "redone to step " << i;
    }
}

TEST_F(SessionUndo, ANewCommandAfterUndoDropsTheStepsThatWereUndone) {
    OpenInPpbMode();
    session.EditField(TFieldId::feDeadT, "0.0002");
    session.Undo();
    session.btnApplyDeMrClick();
    EXPECT_FALSE(session.CanRedo());
    session.Undo();
    EXPECT_TRUE(session.CorrectDown());
    EXPECT_EQ(session.FieldValue(TFieldId::feDeadT), 0);
}

TEST_F(SessionUndo, AnotherProfileStartsANewHistoryAndAFailedOpenKeepsTheOld) {
    OpenInPpbMode();
    session.EditField(TFieldId::feDeadT, "0.0002");
    ASSERT_TRUE(session.ShowProfile(dir.File("missing.kel")).Failed());
    EXPECT_TRUE(session.CanUndo());

    const std::string second = test::SaveProfile(dir, synth::MakeProfile(synth::DefaultOptions(4)), "second.kel");
    ASSERT_FALSE(session.ShowProfile(second).Failed());
    const Shown opened = ShownBy(session);
    EXPECT_FALSE(session.CanUndo());
    EXPECT_FALSE(session.CanRedo());
    session.Undo();
    EXPECT_SHOWN(ShownBy(session), opened);
}

TEST_F(SessionUndo, UndoWithKeepLogDownLogsNothing) {
    OpenInPpbMode();
    session.sbKeepLogClick();
    session.EditField(TFieldId::feDeadT, "0.0002");  // logs its results
    const auto logged = [&] {
        std::ifstream log(dir.File("multilog.csv"), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(log), {});
    };
    const std::string afterEdit = logged();
    ASSERT_FALSE(afterEdit.empty());
    session.Undo();
    session.Redo();
    EXPECT_EQ(logged(), afterEdit);
}

}  // namespace
}  // namespace kel
