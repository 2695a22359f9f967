#include <gtest/gtest.h>

#include "kinetics/Kbasetxt.h"

namespace kel {
namespace {

TKrecord WithMasses(std::vector<double> precursors, std::vector<double> products) {
    TKrecord c;
    for (std::size_t i = 0; i < precursors.size(); ++i) c.PrecursorMass[i] = precursors[i];
    for (std::size_t j = 0; j < products.size(); ++j) c.ProductMass[j] = products[j];
    return c;
}

TEST(CompoundLines, MassDecimalsFollowTheFinestMass) {
    EXPECT_EQ(TKbase::MassDecimals(WithMasses({19, 37}, {59})), 0);
    EXPECT_EQ(TKbase::MassDecimals(WithMasses({19, 30.5}, {59})), 1);
    EXPECT_EQ(TKbase::MassDecimals(WithMasses({19}, {32.1})), 1);
    EXPECT_EQ(TKbase::MassDecimals(WithMasses({32.25}, {59})), 2);
    EXPECT_EQ(TKbase::MassDecimals(WithMasses({19}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 47.125})), 2);
}

TEST(CompoundLines, DescribeCompoundShowsHeadingAndFirstLines) {
    TKbase library;
    library.LoadText(
        "acetone (C3H6O)\n3\n19 3.9e-9 1\n30 1.2e-9 0.125 1\n32 2e-9 1\n2\n59 1\n77 0.5 1.1\n"
        "odd (X)\n1\n30.5 2.26e-10 -2 0.0004\n1\n47 0.3333\n");
    EXPECT_EQ(library.DescribeCompound(0), 4);
    EXPECT_EQ(library.Lines, (std::vector<std::string>{" ", "acetone", "C3H6O", "  19    3.9e-09    1.0   ",
                                                       "  59     1.0    1.0", " "}));
    EXPECT_EQ(library.DescribeCompound(1), 5);
    EXPECT_EQ(library.Lines[3], " 30.5    2.3e-10    -2.0    0.0");
    EXPECT_EQ(library.Lines[4], " 47.0     0.333    1.0");
}

TEST(CompoundLines, DescribeRowShowsLaterLinesAndBlanksPastTheCounts) {
    TKbase library;
    library.LoadText("acetone (C3H6O)\n3\n19 3.9e-9 1\n30 1.2e-9 0.125 1\n32 2e-9 1\n2\n59 1\n77 0.5 1.1\n");
    library.DescribeRow(0, 1, 4);
    // A later factor of 1 is shown; it is only the first line's default.
    EXPECT_EQ(library.Lines, (std::vector<std::string>{"", "", "", "  30    1.2e-09    0.125    1.0",
                                                       "  77    0.5    1.1", ""}));
    library.DescribeRow(0, 2, 5);
    EXPECT_EQ(library.Lines[3], " 32.0    2.0e-09    1.0   ");
    EXPECT_EQ(library.Lines[4], "");
    library.DescribeRow(0, 3, 4);
    EXPECT_EQ(library.Lines, (std::vector<std::string>(6)));
}

}  // namespace
}  // namespace kel
