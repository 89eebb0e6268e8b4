#include "util/number.h"

#include <gtest/gtest.h>

namespace {

TEST(NumberSyntax, NumbersAndNonNumbers)
{
    const struct {
        const char* text;
        std::optional<qint32> value;
    } cases[] = {
        {"12", 12},
        {" 12", 12},
        {"   -5", -5},
        {"+7", 7},
        {"007", 7},
        {"0", 0},
        {"-0", 0},
        {"$10", 16},
        {"x1F", 31},
        {"X1f", 31},
        {"0x10", 16},
        {"0XfF", 255},
        {"-$10", -16},
        {"$7FFFFFFF", 2147483647},
        {"$80000000", std::nullopt},
        {"$FFFFFFFF", std::nullopt},
        {"0xFFFFFFFF", std::nullopt},
        {"-$80000000", -2147483647 - 1},
        {"-0x80000000", -2147483647 - 1},
        {"-$80000001", std::nullopt},
        {"+$7FFFFFFF", 2147483647},
        {"-$7FFFFFFF", -2147483647},
        {"$000000001", 1},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"$100000000", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"", std::nullopt},
        {" ", std::nullopt},
        {"12 ", std::nullopt},
        {"\t12", std::nullopt},
        {"XII", std::nullopt},
        {"7.0", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"$", std::nullopt},
        {"0x", std::nullopt},
        {"+-1", std::nullopt},
        {"- 1", std::nullopt},
        {"1e3", std::nullopt},
        {"$G", std::nullopt},
        {"٣", std::nullopt}, // a digit of another script
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseNumber(QString::fromUtf8(c.text)), c.value) << '"' << c.text << '"';
}

} // namespace
