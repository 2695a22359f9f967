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
    EXPECT_TRUE(fs::is_regular_file(kinetics));
    EXPECT_TRUE(fs::equivalent(kinetics, build / "share/kelview/demo-kinetics.txt")) << kinetics;
    const std::string readme = DocumentationFile("README.md");
    EXPECT_TRUE(fs::is_regular_file(readme));
    EXPECT_TRUE(fs::equivalent(readme, build / "share/doc/kelview/README.md")) << readme;
}

}  // namespace
}  // namespace kel
