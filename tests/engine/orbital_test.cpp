#include "engine/orbital.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>

namespace vantrel {
namespace {

TEST(OrbitalNumbers, ValidOnlyWithinTheFactorialTable) {
    EXPECT_TRUE(validNumbers(26, 24, -24));
    EXPECT_FALSE(validNumbers(26, 25, 0));
    EXPECT_FALSE(validNumbers(3, 1, 2));
    EXPECT_FALSE(validNumbers(INT_MAX, INT_MAX - 1, 0));  // no wrap into the valid range
    EXPECT_FALSE(validNumbers(INT_MAX, 5, INT_MIN));
}

TEST(OrbitalNumbers, DefaultExtentByLevelAndCharge) {
    for (auto [z, n, expected] : {std::array{1, 1, 2}, {1, 2, 6}, {1, 3, 13}, {2, 1, 2}, {10, 4, 2}, {200, 1, 1}})
        EXPECT_EQ(defaultExtent(n, z), expected) << z << " " << n;
    EXPECT_GT(defaultExtent(100000, 1), 0);  // no overflow for absurd n
}

}  // namespace
}  // namespace vantrel
