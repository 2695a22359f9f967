#include <gtest/gtest.h>

#include "kinetics/KineticsFixtures.h"
#include "reporting/CountRateTable.h"

namespace kel {
namespace {

TEST(CountRateTable, StopsAtTheLastPointAndIsEmptyWithoutChannels) {
    TKel kel = test::ChannelProfile({19}, 3);  // a rate equals the count
    kel.nim = 2;
    test::FillChannel(kel, 0, 7);
    // A selection dragged past the curves' end: no slot is read twice.
    EXPECT_EQ(CountRateTable(kel, 1, 9), "19\r\n7\r\n7\r\n");
    kel.nim = 1;
    EXPECT_EQ(CountRateTable(kel, 0, 2), "");
}

}  // namespace
}  // namespace kel
