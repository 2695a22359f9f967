#include <gtest/gtest.h>

#include "app/KelViewSession.h"
#include "kinetics/KineticsLibrary.h"
#include "reporting/ResultLog.h"
#include "support/SessionTestSupport.h"
#include "synth/KineticsGenerator.h"
#include "synth/ProfileGenerator.h"

namespace kel {
namespace {

// A profile's batch lines reuse what every line computes alike; they must be
// exactly the lines BatchLine composes one by one.
TEST(BatchLines, AreTheLinesComposedOneByOne) {
    test::ScratchDir dir;
    test::RecordedMessages boxes;
    test::UseKinetics(synth::KineticsText(20));
    synth::ProfileOptions options = synth::DefaultOptions(7);
    options.cycles = 450;  // the ring has wrapped
    TKelViewSession session{test::TestServices()};
    session.ShowProfile(test::SaveProfile(dir, synth::MakeProfile(options), "batch.kel"));
    session.PressPpb();
    TLogContext context = session.LogContext();
    std::string expected;
    for (int i = 1; i < session.Profile().njm; ++i) expected += BatchLine(context, i);
    std::exception_ptr failure;
    EXPECT_EQ(BatchLines(context, failure), expected);
    EXPECT_FALSE(failure);
    EXPECT_NE(expected.find(",\"methanol 2\","), std::string::npos);
    EXPECT_TRUE(boxes.shown.empty());
    KineticsLibrary().Clear();
}

}  // namespace
}  // namespace kel
