#include <gtest/gtest.h>

#include "common/Messages.h"
#include "support/TestSupport.h"

namespace kel {
namespace {

TEST(DebugMessage, ShowsUpTo126CharactersUnderDebug) {
    test::RecordedMessages boxes;
    DebugMessage(std::string(126, 'a'));
    DebugMessage(std::string(127, 'b'));
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].first, "Debug");
    EXPECT_EQ(boxes.shown[0].second, std::string(126, 'a'));
    EXPECT_EQ(boxes.shown[1].first, "Debug Error");
    EXPECT_EQ(boxes.shown[1].second, "Too long string");
}

TEST(MessageSink, RestoresThePreviousSink) {
    test::RecordedMessages outer;
    {
        test::RecordedMessages inner;
        ShowMessage("inner");
        EXPECT_EQ(inner.Texts(), std::vector<std::string>{"inner"});
    }
    ShowMessage("outer");
    EXPECT_EQ(outer.Texts(), std::vector<std::string>{"outer"});
}

}  // namespace
}  // namespace kel
