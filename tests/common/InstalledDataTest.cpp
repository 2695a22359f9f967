#include <gtest/gtest.h>

#include <filesystem>

#include "common/InstalledData.h"

namespace kel {
namespace {

namespace fs = std::filesystem;

// The build tree is laid out as an installed one, so the test program, in
// its bin folder, finds the files a build copies beside it.
TEST(InstalledData, FindsTheBuildTreesCopiesFromTheProgramsFolder) {
    const fs::path build = fs::canonical(KELVIEW_BINARY_DIR);
    const std::string kinetics = SharedDataFile("demo-kinetics.txt");
    EXPECT_EQ(kinetics, (build / "share/kelview/demo-kinetics.txt").string());
    EXPECT_TRUE(fs::is_regular_file(kinetics));
    const std::string readme = DocumentationFile("README.md");
    EXPECT_EQ(readme, (build / "share/doc/kelview/README.md").string());
    EXPECT_TRUE(fs::is_regular_file(readme));
}

}  // namespace
}  // namespace kel
