// The main window following its profile's file with "Follow file" from the
// Plot menu: the instrument's ways of rewriting it, a file caught
// half-written, one that stays broken, and the toggle.
#include <gtest/gtest.h>

// Before Qt: the profile generator names a field "slots", a word Qt's headers
// take for themselves.
#include "synth/KineticsGenerator.h"
#include "synth/LegacyWriter.h"
#include "synth/ProfileGenerator.h"

#include <QAction>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>

#include "app/qt/KelViewWindow.h"
#include "app/qt/MainCommands.h"
#include "app/qt/ProfileFollower.h"
#include "app/qt/SessionBinding.h"
#include "kinetics/KineticsLibrary.h"
#include "support/SessionTestSupport.h"

namespace kel {
namespace {

constexpr int kPatienceMs = 5000;

class FollowInWindow : public ::testing::Test {
protected:
    FollowInWindow() : window(session, store) {
        test::UseKinetics(synth::DemoKineticsText());
        window.Binding().ShowError = [this](const QString& message) { errors << message; };
        for (std::uint64_t seed = 1; seed <= 3; ++seed) profiles.push_back(synth::MakeProfile(synth::DefaultOptions(seed)));
        synth::WriteLegacyFile(path, profiles[0]);
        EXPECT_TRUE(window.ShowProfile(QString::fromStdString(path)));
        window.Binding().Run([](TKelViewSession& s) {
            s.BtnPpbClick();
            s.SelectTimes(20, 60);
        });
        follower = window.findChild<TProfileFollower*>();
    }
    ~FollowInWindow() override { KineticsLibrary().Clear(); }

    void FollowFileFromMenu() {
        QAction* action = window.Commands().Action("FollowFile1");
        ASSERT_NE(action, nullptr);
        action->trigger();
        ASSERT_TRUE(action->isChecked());
        ASSERT_TRUE(session.FollowFileOn());
    }
    // Waits until the window shows the counts of profile.
    bool Shows(const TKel& profile, int ms = kPatienceMs) {
        return QTest::qWaitFor([&] { return session.Profile().Counts == profile.Counts; }, ms);
    }
    void ReplaceByRename(std::size_t i) {
        synth::WriteLegacyFile(dir.File("live.tmp"), profiles[i]);
        std::filesystem::rename(dir.File("live.tmp"), path);
    }

    test::ScratchDir dir;
    test::RecordedMessages boxes;
    std::string path = dir.File("live.kel");
    std::vector<TKel> profiles;
    MemorySettings store;
    TKelViewSession session{test::TestServices()};
    TFKelView window;
    TProfileFollower* follower = nullptr;
    QStringList errors;
};

TEST_F(FollowInWindow, RewritesInPlaceAndByRenameAreFollowedWithTheAnalysisKept) {
    ASSERT_NE(follower, nullptr);
    FollowFileFromMenu();
    QSignalSpy followed(follower, &TProfileFollower::Followed);

    synth::WriteLegacyFile(path, profiles[1]);
    EXPECT_TRUE(Shows(profiles[1]));
    // A rename replaces the watched file: every later one must be seen too.
    ReplaceByRename(2);
    EXPECT_TRUE(Shows(profiles[2]));
    ReplaceByRename(0);
    EXPECT_TRUE(Shows(profiles[0]));
    // Caught half-written before it is whole.
    synth::WriteLegacyFile(path, profiles[1], 9000);
    QTest::qWait(TProfileFollower::kRetryMs);
    synth::WriteLegacyFile(path, profiles[1]);
    EXPECT_TRUE(Shows(profiles[1]));

    EXPECT_GE(followed.count(), 4);
    EXPECT_TRUE(session.PpbDown());
    EXPECT_EQ(session.Selection(), (std::array<double, 2>{20, 60}));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_TRUE(boxes.Texts().empty()) << boxes.Texts().front();
}

TEST_F(FollowInWindow, AFileThatStaysBrokenIsReportedOnceAndOffMeansNotFollowed) {
    FollowFileFromMenu();
    // The zipped profile as the window reads it.
    ASSERT_TRUE(profiles[2].SaveZipped(dir.File("whole.zip")));
    const std::string bytes = test::ReadFile(dir.File("whole.zip"));
    TKel whole;
    ASSERT_FALSE(whole.LoadFromFile(dir.File("whole.zip")).Failed());

    test::WriteFileForTest(path, bytes.substr(0, bytes.size() / 2));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !errors.isEmpty(); }, kPatienceMs));
    test::WriteFileForTest(path, bytes.substr(0, bytes.size() / 3));
    // Longer than all the attempts take: still the one report.
    QTest::qWait(3 * TProfileFollower::kRetries * TProfileFollower::kRetryMs);
    ASSERT_EQ(errors.size(), 1) << errors.join('\n').toStdString();
    EXPECT_TRUE(errors[0].contains(QStringLiteral("live.kel"))) << errors[0].toStdString();
    EXPECT_EQ(session.Profile().Counts, profiles[0].Counts);

    // Whole again: shown; a later break is a new story, told again.
    test::WriteFileForTest(path, bytes);
    EXPECT_TRUE(Shows(whole));
    test::WriteFileForTest(path, bytes.substr(0, 100));
    EXPECT_TRUE(QTest::qWaitFor([&] { return errors.size() == 2; }, kPatienceMs));

    // Switched off: a whole new file is left alone.
    window.Commands().Action("FollowFile1")->trigger();
    EXPECT_FALSE(session.FollowFileOn());
    EXPECT_TRUE(follower->FollowedPath().isEmpty());
    synth::WriteLegacyFile(path, profiles[2]);
    EXPECT_FALSE(Shows(profiles[2], 4 * TProfileFollower::kRetryMs));
}

}  // namespace
}  // namespace kel
