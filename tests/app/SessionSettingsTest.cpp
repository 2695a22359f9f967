#include <gtest/gtest.h>

#include "support/SessionTestSupport.h"
#include "common/Settings.h"

namespace kel {
namespace {

TEST(SessionSettings, FirstStartKeepsTheInitialValuesAndSavesAllEleven) {
    MemorySettings store;
    TKelViewSession session;
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
    TKelViewSession session;
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
    TKelViewSession session;
    session.SetFieldValue(TFieldId::feb74, 2.5);
    session.SetFieldValue(TFieldId::feb75, 3.5);
    session.SaveSettings(store);
    EXPECT_EQ(store.FindInteger("IRDefaults", "b74"), 2);
    EXPECT_EQ(store.FindInteger("IRDefaults", "b75"), 4);
}

TEST(SessionFields, EditsAreValidatedLikeTheWindowsFields) {
    test::RecordedMessages boxes;
    TKelViewSession session;
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
    TKelViewSession session;
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

TEST(SessionFields, CorrectionFieldsTravelWithTheProfile) {
    test::ScratchDir dir;
    TKelViewSession session;
    session.SetFieldValue(TFieldId::feDe200, 2.5);
    session.ShowProfile(test::SaveProfile(dir, test::ConstantProfile(2)));
    // A legacy profile carries no corrections: it takes the window's.
    EXPECT_EQ(session.Profile().De200, 2.5);
    session.SetFieldValue(TFieldId::feMr200, 7);
    EXPECT_EQ(session.Profile().Mr200, 7);
}

TEST(SessionProfile, FailedLoadRestoresReadyAndStatus) {
    test::ScratchDir dir;
    TKelViewSession session;
    session.ShowProfile(test::SaveProfile(dir, test::ConstantProfile(2), "good.kel"));
    EXPECT_EQ(session.StatusText(), "good.kel");
    test::WriteFileForTest(dir.File("bad.kel"), "<kel><nim>x");
    TProfileLoadResult failed = session.ShowProfile(dir.File("bad.kel"));
    EXPECT_TRUE(failed.ended);
    EXPECT_EQ(failed.status, TIoStatus::Damaged);
    EXPECT_TRUE(session.Ready());
    EXPECT_EQ(session.StatusText(), "good.kel");
    EXPECT_TRUE(session.LogHeaderPending());
}

}  // namespace
}  // namespace kel
