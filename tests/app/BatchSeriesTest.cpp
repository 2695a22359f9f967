#include <gtest/gtest.h>

#include <cstdio>
#include <exception>
#include <string>

#include "app/KelViewSession.h"
#include "common/DateTime.h"
#include "common/Errors.h"
#include "kinetics/Concentration.h"
#include "kinetics/FlowTube.h"
#include "kinetics/KineticsLibrary.h"
#include "reporting/ResultLog.h"
#include "support/SessionTestSupport.h"
#include "synth/KineticsGenerator.h"
#include "synth/ProfileGenerator.h"

namespace kel {
namespace {

// The batch lines composed one point at a time up to the first point that
// fails, and that point's error.
struct TPerPointLines {
    std::string lines, error;
    int failingPoint = 0;  // 0 when every point composed
};

TPerPointLines PerPointLines(const TLogContext& context) {
    TPerPointLines result;
    for (int i = 1; i < context.profile->njm; ++i) {
        try {
            result.lines += BatchLine(context, i);
        } catch (const EKelError& e) {
            result.error = e.what();
            result.failingPoint = i;
            break;
        }
    }
    return result;
}

// BatchLines gives the per-point lines and the per-point error after them.
void ExpectSameAsPerPoint(const TLogContext& context) {
    TPerPointLines expected = PerPointLines(context);
    std::exception_ptr failure;
    EXPECT_EQ(BatchLines(context, failure), expected.lines);
    EXPECT_EQ(static_cast<bool>(failure), expected.failingPoint != 0);
    std::string raised;
    try {
        if (failure) std::rethrow_exception(failure);
    } catch (const EKelError& e) {
        raised = e.what();
    }
    EXPECT_EQ(raised, expected.error);
}

// A breath profile whose ring has not wrapped: points 1 .. 50 are slots never
// written and read 0, so a compound computes only from point 51 on.
class UnwrappedProfile : public ::testing::Test {
protected:
    UnwrappedProfile() {
        test::UseKinetics(synth::KineticsText(20));
        synth::ProfileOptions options = synth::DefaultOptions(5);
        options.cycles = 150;
        session.ShowProfile(test::SaveProfile(dir, synth::MakeProfile(options), "unwrapped.kel"));
        session.PressPpb();
        profile = session.Profile();
        context = session.LogContext();
        context.profile = &profile;
    }
    ~UnwrappedProfile() override { KineticsLibrary().Clear(); }

    test::ScratchDir dir;
    test::RecordedMessages boxes;
    TKelViewSession session{test::TestServices()};
    TKel profile;
    TLogContext context;
};

TEST_F(UnwrappedProfile, LinesBeforeAFailingPointAreKeptAndItsErrorRaised) {
    // A k[0] of 0 divides 0 by 0 wherever the precursor reads something.
    TKbase library;
    library.LoadText(synth::KineticsText(20) + "zero k\n2\n19 0 1\n37 2e-9 1\n1\n33 1\n");
    SelectCompoundsForPpb(library, profile);
    ASSERT_GT(library.Compound(20).SelectCount, 0);
    context.library = &library;
    TPerPointLines perPoint = PerPointLines(context);
    EXPECT_EQ(perPoint.failingPoint, 51);
    EXPECT_EQ(perPoint.error, "Invalid floating point operation");
    ExpectSameAsPerPoint(context);
}

TEST_F(UnwrappedProfile, AWindowErrorPrecedesTheReactionTimesAtTheFirstPoint) {
    context.corrections.Correct = false;  // the corrections would divide by the area first
    profile.Aft = 0;                      // the reaction time divides by 0
    ExpectSameAsPerPoint(context);
    EXPECT_EQ(PerPointLines(context).error, "Floating point division by zero");
    profile.Cntm[1] = 0;  // m/z 19 reads 0 at point 1 over a dwell of 0: 0 / 0
    ExpectSameAsPerPoint(context);
    EXPECT_EQ(PerPointLines(context).error, "Invalid floating point operation");
}

TEST_F(UnwrappedProfile, ASampleFlowOf0IsLoggedAs2) {
    profile.f1 = 0;
    ExpectSameAsPerPoint(context);
    EXPECT_EQ(PerPointLines(context).failingPoint, 0);
}

TEST_F(UnwrappedProfile, AWrappedRingGivesThePerPointLines) {
    profile.jm = 450;
    ExpectSameAsPerPoint(context);
    EXPECT_EQ(PerPointLines(context).failingPoint, 0);
}

// Dates outside the four-digit years keep the printf widths: at least two
// digits, four for the year, zeros after a minus sign. Point 1 computes no
// compound, so its line is file, date and time.
TEST_F(UnwrappedProfile, DateTextsOfAnyYear) {
    double t = CycleTime(profile);
    for (double date : {-700000.3, -693500.75, 3000000.5, 46000.4375}) {
        profile.ProfileDate = date;
        DateTimeParts p = DecodeDateTime(date + t / 86400);
        char expected[64];
        std::snprintf(expected, sizeof expected, "unwrapped,%02d/%02d/%04d,%02d:%02d:%02d\r\n", p.day, p.month, p.year,
                      p.hour, p.minute, p.second);
        EXPECT_EQ(BatchLine(context, 1), expected) << date;
    }
}

}  // namespace
}  // namespace kel
