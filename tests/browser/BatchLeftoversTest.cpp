#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

#include "browser/Kelbrows.h"
#include "kinetics/KineticsLibrary.h"
#include "support/SessionTestSupport.h"
#include "synth/KineticsGenerator.h"
#include "synth/LegacyWriter.h"
#include "synth/ProfileGenerator.h"

namespace fs = std::filesystem;

namespace kel {
namespace {

// A batch killed half-way left its outputs' temporary files; the browser never
// lists them, and the next batch in the folder removes those a minute old.
TEST(BatchLeftovers, AreNeverListedAndTheNextBatchRemovesThem) {
    fs::path previous = fs::current_path();
    test::ScratchDir dir;
    test::RecordedMessages boxes;
    test::UseKinetics(synth::DemoKineticsText());
    synth::WriteLegacyFile(dir.File("a.kel"), synth::MakeProfile(synth::DefaultOptions(1)));
    const long long now = static_cast<long long>(std::time(nullptr));
    test::WriteFileForTest(dir.File(".kelview-Old123.part"), "half a worksheet");
    test::SetFileTime(dir.File(".kelview-Old123.part"), now - 600);
    test::WriteFileForTest(dir.File(".kelview-New456.part"), "another batch's, still written");

    TProfileListing listing;
    listing.ListFolder(dir.Path());
    ASSERT_EQ(listing.Entries.size(), 1u);
    EXPECT_EQ(listing.Entries[0].StoredName, "a.kel");
    TKelViewSession session{test::TestServices()};
    EXPECT_TRUE(BatchConvert(listing, session));
    EXPECT_EQ(test::ListFolder(dir.Path()), (std::vector<std::string>{".kelview-New456.part", "AllFilesPpb.csv",
                                                                      "a.kel", "a.kel.csv", "a.kelPpb.csv"}));
    fs::current_path(previous);
    KineticsLibrary().Clear();
}

}  // namespace
}  // namespace kel
