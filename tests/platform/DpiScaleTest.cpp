#include "platform/DpiScale.h"

#include <gtest/gtest.h>

namespace {

struct DpiCase
{
    const char* name;
    double horizontal;
    double vertical;
    double scale;
};

class DpiScaleTable : public ::testing::TestWithParam<DpiCase>
{
};

TEST_P(DpiScaleTable, MapsLogicalDpiToFactor)
{
    const DpiCase& c = GetParam();
    EXPECT_DOUBLE_EQ(platform::DpiScale::forAxes(c.horizontal, c.vertical), c.scale);
}

INSTANTIATE_TEST_SUITE_P(Table, DpiScaleTable,
                         ::testing::Values(DpiCase{"dpi96", 96, 96, 1.0}, DpiCase{"dpi120", 120, 120, 1.25},
                                           DpiCase{"dpi144", 144, 144, 1.5}, DpiCase{"dpi192", 192, 192, 2.0},
                                           DpiCase{"mixed144x96", 144, 96, 1.25}, DpiCase{"dpi168", 168, 168, 1.0},
                                           DpiCase{"dpi72", 72, 72, 1.0}, DpiCase{"dpi121", 121, 121, 1.0}),
                         [](const ::testing::TestParamInfo<DpiCase>& row) { return std::string(row.param.name); });

TEST(DpiScale, ScaledGeometryTruncates)
{
    // The main window at 120 DPI: 1286 x 1.25 = 1607.5 and 722 x 1.25 = 902.5.
    EXPECT_EQ(platform::DpiScale::scaled(1286, 1.25), 1607);
    EXPECT_EQ(platform::DpiScale::scaled(722, 1.25), 902);
    EXPECT_EQ(platform::DpiScale::scaled(373, 1.5), 559);
    EXPECT_EQ(platform::DpiScale::scaled(1, 1.25), 1);
}

} // namespace
