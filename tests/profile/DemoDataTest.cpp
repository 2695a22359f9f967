#include <gtest/gtest.h>

#include <cstdlib>

#include "support/TestSupport.h"

namespace kel {
namespace {

// The demo folder must be what the generator makes, so anyone can rebuild it.
TEST(DemoData, GeneratorReproducesTheBundledFiles) {
    test::ScratchDir dir;
    std::string command = std::string(KELVIEW_BINARY_DIR) + "/bin/kel-make-demo " + dir.Path();
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::string demo = std::string(KELVIEW_SOURCE_DIR) + "/demo";
    auto names = test::ListFolder(dir.Path());
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names, test::ListFolder(demo));
    for (const auto& name : names)
        EXPECT_TRUE(test::ReadFile(dir.File(name)) == test::ReadFile(demo + "/" + name)) << name << " differs";
}

}  // namespace
}  // namespace kel
