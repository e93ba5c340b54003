#include "device/protocol/IntegerText.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace zr::protocol {
namespace {

TEST(IntegerText, AcceptedForms) {
    const std::vector<std::pair<std::string, std::int32_t>> cases = {
        {"0", 0},
        {"300", 300},
        {"-1", -1},
        {"+7", 7},
        {" 12", 12},
        {"   -12", -12},
        {"007", 7},
        {"$FF", 255},
        {"$ff", 255},
        {"x1F", 31},
        {"X1f", 31},
        {"0x1f", 31},
        {"0X1F", 31},
        {"-$10", -16},
        {"+$10", 16},
        {"$7FFFFFFF", 2147483647},
        {"$80000000", -2147483647 - 1},
        {"$FFFFFFFF", -1},
        {"-$FFFFFFFF", 1},
        {"$000000000A", 10},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1}};
    for (const auto& [text, expected] : cases) {
        const auto value = parseInt32(text);
        ASSERT_TRUE(value.has_value()) << '"' << text << '"';
        EXPECT_EQ(*value, expected) << '"' << text << '"';
    }
}

TEST(IntegerText, RejectedForms) {
    const std::vector<std::string> cases = {
        "",           "   ",         "abc",        "12a",        "12 ",  "1 2",  "- 1",
        "--1",        "+",           "-",          "$",          "0x",   "x",    "$G",
        "0x-1",       "$+1",         "1.5",        "1e3",        "\t12", "12\n", "99999999999",
        "2147483648", "-2147483649", "$100000000", "0x1FFFFFFFF"};
    for (const auto& text : cases) {
        EXPECT_FALSE(parseInt32(text).has_value()) << '"' << text << '"';
    }
}

} // namespace
} // namespace zr::protocol
