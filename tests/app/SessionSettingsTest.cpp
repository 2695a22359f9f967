#include <gtest/gtest.h>

#include <cmath>

#include "support/SessionTestSupport.h"
#include "common/NumberText.h"
#include "common/Settings.h"
#include "kinetics/KineticsLibrary.h"
#include "synth/KineticsGenerator.h"

namespace kel {
namespace {

TEST(SessionSettings, FirstStartKeepsTheInitialValuesAndSavesAllEleven) {
    MemorySettings store;
    TKelViewSession session{test::TestServices()};
    session.LoadSettings(store);
    EXPECT_EQ(session.FieldValue(TFieldId::feR2), 0.000379);
    EXPECT_EQ(session.FieldValue(TFieldId::feR3), 0.00198);
    EXPECT_EQ(session.FieldValue(TFieldId::feliq), 0.935);
    EXPECT_EQ(session.FieldValue(TFieldId::feMr200), 5);
    EXPECT_EQ(session.FieldValue(TFieldId::feD), 4.1);
    EXPECT_EQ(session.SensitMode(), 0);
    session.SaveSettings(store);
    struct Expected {
        const char* section;
        const char* name;
        int value;
    };
    for (Expected e : {Expected{"IRDefaults", "R2", 3790}, {"IRDefaults", "R3", 19800}, {"IRDefaults", "b74", 0},
                       {"IRDefaults", "b75", 0}, {"IRDefaults", "liq", 935}, {"VANTOR", "De200", 0},
                       {"VANTOR", "Mr200", 5000}, {"VANTOR", "Df73", 1000}, {"VANTOR", "lr", 34000},
                       {"VANTOR", "D", 4100}, {"VANTOR", "SensitMode", 0}}) {
        auto stored = store.FindInteger(e.section, e.name);
        ASSERT_TRUE(stored) << e.name;
        EXPECT_EQ(*stored, e.value) << e.name;
    }
}

TEST(SessionSettings, StoredValuesAreScaledAndOutOfRangeOnesIgnored) {
    MemorySettings store;
    store.WriteInteger("IRDefaults", "liq", 940);
    store.WriteInteger("IRDefaults", "R3", 20000);
    store.WriteInteger("IRDefaults", "R2", 6000);  // 0.0006 lies outside 0.0003..0.0005
    store.WriteInteger("VANTOR", "D", 4080);
    store.WriteInteger("VANTOR", "SensitMode", 3);
    store.WriteInteger("VANTOR", "Df73", 0);  // below the 0.05 minimum
    TKelViewSession session{test::TestServices()};
    session.LoadSettings(store);
    EXPECT_DOUBLE_EQ(session.FieldValue(TFieldId::feliq), 0.94);
    EXPECT_DOUBLE_EQ(session.FieldValue(TFieldId::feR3), 0.002);
    EXPECT_EQ(session.FieldValue(TFieldId::feR2), 0.000379);
    EXPECT_DOUBLE_EQ(session.FieldValue(TFieldId::feD), 4.08);
    EXPECT_EQ(session.FieldValue(TFieldId::feDf73), 1.0);
    EXPECT_EQ(session.SensitMode(), 3);
}

TEST(SessionSettings, SavingRoundsHalvesToEven) {
    MemorySettings store;
    TKelViewSession session{test::TestServices()};
    session.SetFieldValue(TFieldId::feb74, 2.5);
    session.SetFieldValue(TFieldId::feb75, 3.5);
    session.SaveSettings(store);
    EXPECT_EQ(store.FindInteger("IRDefaults", "b74"), 2);
    EXPECT_EQ(store.FindInteger("IRDefaults", "b75"), 4);
}

TEST(SessionFields, EditsAreValidatedLikeTheWindowsFields) {
    test::RecordedMessages boxes;
    TKelViewSession session{test::TestServices()};
    EXPECT_FALSE(session.EditField(TFieldId::fefr, "150"));
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"150 is not in the range from 0.01 to 100"});
    EXPECT_EQ(session.FieldValue(TFieldId::fefr), 2.0);
    EXPECT_TRUE(session.EditField(TFieldId::fefr, " 3.5 "));
    EXPECT_EQ(session.FieldValue(TFieldId::fefr), 3.5);
    EXPECT_EQ(session.Field(TFieldId::fefr).Text(), "3.5");
    EXPECT_EQ(TKelViewSession::FieldOfName("feTg"), TFieldId::feTg);
    EXPECT_FALSE(TKelViewSession::FieldOfName("feNope"));
}

TEST(SessionFields, FlowTubeFieldsWriteBackOnlyOnceReady) {
    test::ScratchDir dir;
    TKelViewSession session{test::TestServices()};
    TKel profile = test::ConstantProfile(2);
    session.ShowProfile(test::SaveProfile(dir, profile));
    // Opening showed the profile's values without writing them back.
    EXPECT_DOUBLE_EQ(session.FieldValue(TFieldId::feTg), 300);
    EXPECT_NEAR(session.FieldValue(TFieldId::feD), 4.08, 1e-9);
    EXPECT_DOUBLE_EQ(session.FieldValue(TFieldId::fefr), 12.5);
    ASSERT_TRUE(session.EditField(TFieldId::feD, "4.08"));
    EXPECT_NEAR(static_cast<double>(session.Profile().Aft), 13.074051987176063, 1e-9);
    ASSERT_TRUE(session.EditField(TFieldId::feTg, "310"));
    EXPECT_EQ(static_cast<double>(session.Profile().Tg), 310);
    session.ShowProfile(test::SaveProfile(dir, profile, "again.kel"));
    EXPECT_NEAR(session.FieldValue(TFieldId::feD), 4.08, 1e-9);
}

TEST(SessionFields, LeavingEveryFieldWithoutTypingKeepsEveryDigit) {
    test::ScratchDir dir;
    test::RecordedMessages boxes;
    test::UseKinetics(synth::DemoKineticsText());
    TKelViewSession session{test::TestServices()};
    TKel profile = test::ConstantProfile(4);
    profile.Aft = 13;  // a tube of 4.0684... cm, shown as 4.07
    session.ShowProfile(test::SaveProfile(dir, profile));
    session.BtnPpbClick();
    // Every other field gets a value of more digits than it shows.
    for (int i = 0; i < kFieldCount; ++i) {
        const auto id = static_cast<TFieldId>(i);
        if (id == TFieldId::feD) continue;
        const double value = session.FieldValue(id) == 0 ? std::sqrt(2) / 1000 : session.FieldValue(id) * (1 + std::sqrt(2) / 1000);
        ASSERT_TRUE(session.SetFieldValue(id, value)) << TKelViewSession::NameOfField(id);
    }
    const TKel before = session.Profile();
    const auto results = [&session] {
        std::vector<std::string> lines;
        for (const TComment& line : test::CommentsWithTag(session.Graph1(), 0)) lines.push_back(line.Text);
        return lines;
    };
    const std::vector<std::string> shownResults = results();
    ASSERT_GT(shownResults.size(), 1u);

    for (int i = 0; i < kFieldCount; ++i) {
        const auto id = static_cast<TFieldId>(i);
        SCOPED_TRACE(TKelViewSession::NameOfField(id));
        const TFloatField& field = session.Field(id);
        const double exact = field.Value();
        const std::string shown = field.Text();
        ASSERT_NE(TextToFloat(shown), exact) << shown;
        ASSERT_TRUE(session.LeaveField(id, shown));
        EXPECT_EQ(field.Value(), exact);
        EXPECT_EQ(field.Text(), shown);
    }
    // The flow-tube fields wrote the same numbers back, so the results stand.
    EXPECT_EQ(session.Profile().Aft.ToBytes(), before.Aft.ToBytes());
    EXPECT_EQ(session.Profile().Tg.ToBytes(), before.Tg.ToBytes());
    EXPECT_EQ(session.Profile().lr.ToBytes(), before.lr.ToBytes());
    EXPECT_EQ(session.Profile().f1.ToBytes(), before.f1.ToBytes());
    EXPECT_EQ(results(), shownResults);
    EXPECT_TRUE(boxes.shown.empty());
    KineticsLibrary().Clear();
}

TEST(SessionFields, CorrectionFieldsTravelWithTheProfile) {
    test::ScratchDir dir;
    TKelViewSession session{test::TestServices()};
    session.SetFieldValue(TFieldId::feDe200, 2.5);
    session.ShowProfile(test::SaveProfile(dir, test::ConstantProfile(2)));
    // A legacy profile carries no corrections: it takes the window's.
    EXPECT_EQ(session.Profile().De200, 2.5);
    session.SetFieldValue(TFieldId::feMr200, 7);
    EXPECT_EQ(session.Profile().Mr200, 7);
}

TEST(SessionProfile, FailedLoadRestoresReadyAndStatus) {
    test::ScratchDir dir;
    TKelViewSession session{test::TestServices()};
    session.ShowProfile(test::SaveProfile(dir, test::ConstantProfile(2), "good.kel"));
    EXPECT_EQ(session.StatusText(), "good.kel");
    test::WriteFileForTest(dir.File("bad.kel"), "<kel><nim>x");
    TProfileLoadResult failed = session.ShowProfile(dir.File("bad.kel"));
    EXPECT_TRUE(failed.ended);
    EXPECT_EQ(failed.io.status, TIoStatus::Damaged);
    EXPECT_TRUE(session.Ready());
    EXPECT_EQ(session.StatusText(), "good.kel");
    EXPECT_TRUE(session.LogHeaderPending());
}

}  // namespace
}  // namespace kel
