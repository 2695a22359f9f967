#include <gtest/gtest.h>

#include "kinetics/KineticsLibrary.h"
#include "support/SessionTestSupport.h"
#include "synth/KineticsGenerator.h"

namespace kel {
namespace {

// One session's library, boxes and settings, none of them shared.
struct OwnServices {
    explicit OwnServices(const std::string& kinetics) { library.LoadText(kinetics); }
    TKbase library;
    TRecordedMessages messages;
    MemorySettings settings;
    TSessionServices Services() { return {library, messages, settings}; }
};

std::vector<std::string> ResultNames(const TKelViewSession& session) {
    std::vector<std::string> names;
    for (const TCompoundResult& result : session.CompoundResults()) names.push_back(result.Name);
    return names;
}

std::string DemoProfile() { return std::string(KELVIEW_SOURCE_DIR) + "/demo/breath-01.kel"; }

TEST(SessionServices, TwoSessionsComputeAndReportWithTheirOwnServicesSideBySide) {
    test::RecordedMessages processBoxes;  // the process's sink: must stay silent
    test::ScratchDir dir;
    OwnServices demo(synth::DemoKineticsText());
    OwnServices single("acetone (C3H6O)\n1\n19 3.9e-9 1\n1\n59 1\n");
    TKelViewSession first(demo.Services());
    TKelViewSession second(single.Services());
    for (TKelViewSession* session : {&first, &second}) {
        ASSERT_TRUE(session->ShowProfile(DemoProfile()));
        session->BtnPpbClick();
        session->SelectAllClick();
    }
    // Each selected and computed the compounds of its own library; the
    // program's library was not asked.
    EXPECT_EQ(ResultNames(second), std::vector<std::string>{"acetone"});
    EXPECT_GT(first.CompoundResults().size(), 1u);
    EXPECT_GT(demo.library.Compound(0).SelectCount, 0);
    EXPECT_GT(single.library.Compound(0).SelectCount, 0);
    EXPECT_EQ(KineticsLibrary().Count(), 0);

    // A failed save reports on the sink of the session that failed.
    EXPECT_EQ(first.SaveProfileAs(dir.File("no-such-folder/first.kel")), TSaveOutcome::Failed);
    ASSERT_EQ(demo.messages.Recorded().size(), 1u);
    EXPECT_NE(demo.messages.Recorded()[0].text.find("first.kel"), std::string::npos);
    EXPECT_TRUE(single.messages.Recorded().empty());
    EXPECT_EQ(second.SaveProfileAs(dir.File("no-such-folder/second.kel")), TSaveOutcome::Failed);
    ASSERT_EQ(single.messages.Recorded().size(), 1u);
    EXPECT_NE(single.messages.Recorded()[0].text.find("second.kel"), std::string::npos);
    EXPECT_EQ(demo.messages.Recorded().size(), 1u);
    EXPECT_TRUE(processBoxes.shown.empty());
}

}  // namespace
}  // namespace kel
