// "plot": pictures of the requested size, and refused sizes and names.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliTestSupport.h"

namespace kel {
namespace {

// Width and height from a PNG's header chunk.
std::pair<int, int> PngSize(const std::string& bytes) {
    auto word = [&](std::size_t at) {
        int v = 0;
        for (std::size_t i = 0; i < 4; ++i) v = v * 256 + static_cast<unsigned char>(bytes.at(at + i));
        return v;
    };
    EXPECT_EQ(bytes.substr(1, 3), "PNG");
    return {word(16), word(20)};
}

class CliPlot : public ::testing::Test {
protected:
    test::ScratchDir dir;
    std::string path = test::WriteBreathProfile(dir, "breath.kel", 4);
};

TEST_F(CliPlot, WritesPicturesOfTheRequestedSize) {
    test::TCliResult png = test::RunCli({"plot", path, "-o", "a.png", "--size", "640x360", "--mode", "ppb"}, dir.Path());
    ASSERT_EQ(png.status, 0) << png.err;
    EXPECT_EQ(PngSize(test::ReadFile(dir.File("a.png"))), std::make_pair(640, 360));

    ASSERT_EQ(test::RunCli({"plot", path, "-o", "a.svg", "--size=500x300"}, dir.Path()).status, 0);
    std::string svg = test::ReadFile(dir.File("a.svg"));
    EXPECT_NE(svg.find("viewBox=\"0 0 500 300\""), std::string::npos) << svg.substr(0, 400);

    ASSERT_EQ(test::RunCli({"plot", path, "-o", "a.PDF"}, dir.Path()).status, 0);
    EXPECT_EQ(test::ReadFile(dir.File("a.PDF")).substr(0, 5), "%PDF-");

    ASSERT_EQ(test::RunCli({"plot", path, "-o", "default.png"}, dir.Path()).status, 0);
    EXPECT_EQ(PngSize(test::ReadFile(dir.File("default.png"))), std::make_pair(1200, 600));
}

TEST_F(CliPlot, RefusedRequestsLeaveTheOldPicture) {
    test::WriteFileForTest(dir.File("old.png"), "old picture");
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {{"plot", path, "-o", "old.png", "--size", "64x0"}, 2, "--size takes WIDTHxHEIGHT"},
        {{"plot", path, "-o", "old.png", "--size", "wide"}, 2, "--size takes WIDTHxHEIGHT"},
        {{"plot", path, "-o", "old.png", "--size", "20x20"}, 1, "leaves no room for the plot"},
        {{"plot", "missing.kel", "-o", "old.png"}, 1, "Open Error!"},
        {{"plot", path, "-o", "old.gif"}, 2, "does not end in .png, .svg or .pdf"},
        {{"plot", path}, 2, "-o OUT.png|.svg|.pdf is needed"},
    };
    for (const Case& c : cases) {
        test::TCliResult r = test::RunCli(c.args, dir.Path());
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(test::ReadFile(dir.File("old.png")), "old picture");
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("old.gif")));
}

}  // namespace
}  // namespace kel
