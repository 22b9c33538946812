#include "core/textfield.h"

#include "tempdir.h"

#include <gtest/gtest.h>

#include <limits>

using namespace velmora;

namespace {

std::vector<std::string> fields(const std::string &data)
{
    FieldReader r(data);
    std::vector<std::string> out;
    while (!r.atEnd())
        out.emplace_back(r.next());
    return out;
}

using V = std::vector<std::string>;

} // namespace

TEST(ReadField, SplitsUnquotesAndTrims)
{
    const std::pair<std::string, V> cases[] = {
        {"a,b\r\nc\r\n", {"a", "b", "c"}},
        {"  lead,\tb\r\n", {"lead", "b"}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"a,,b", {"a", "", "b"}},
        {"", {}},
        {"\r\n", {""}},
        {"last without line end", {"last without line end"}},
        {"\"a, b\",c\r\n", {"a, b", "c"}},
        {"\"x\"  trailing,next\r\n", {"x", "next"}}, // text after the closing quote is dropped
        {"\"never closed, at all", {"never closed, at all"}},
        {"  \"   four\"\r\n", {"   four"}},
        {" 9.75 \r\n True \r\n", {"9.75", "True"}},
        {"a\nb\rc\r\n", {"a", "b", "c"}},
    };
    for (const auto &[data, expected] : cases)
        EXPECT_EQ(fields(data), expected) << data;
}

TEST(ReadField, OffsetsPointIntoTheData)
{
    FieldReader r("ab,\"cd\"\r\n");
    EXPECT_EQ(r.next(), "ab");
    EXPECT_EQ(r.lastOffset(), 0u);
    EXPECT_EQ(r.next(), "cd");
    EXPECT_EQ(r.lastOffset(), 4u);
    EXPECT_TRUE(r.atEnd());
}

TEST(WriteLine, WritesTextsNumbersAndTruths)
{
    LineWriter w;
    w.text("C:\\x");
    w.text("");
    w.number(9.75);
    w.number(1);
    w.number(10.75);
    w.truth(true);
    w.truth(false);
    EXPECT_EQ(w.contents(), "C:\\x\r\n\r\n 9.75 \r\n 1 \r\n 10.75 \r\nTrue\r\nFalse\r\n");
    EXPECT_EQ(formatNumber(0.0001), "0.0001");
    EXPECT_EQ(formatNumber(1e21).find('e'), std::string::npos);
    // The extremes of a double in plain decimals, every character of them written.
    EXPECT_EQ(formatNumber(1e300).substr(0, 17), "10000000000000000");
    EXPECT_EQ(formatNumber(1e300).size(), 301u);
    EXPECT_EQ(formatNumber(-1e-300), "-0." + std::string(299, '0') + "1");
    EXPECT_EQ(formatNumber(std::numeric_limits<double>::max()).size(), 309u);
    EXPECT_EQ(formatNumber(std::numeric_limits<double>::denorm_min()).size(), 2u + 324u);
}

TEST(WriteLine, RoundTripHoldsWithoutCommasAndLeadingQuotes)
{
    for (const std::string value : {"plain text", "with \"inner\" quotes", "tab\tinside"}) {
        LineWriter w;
        w.text(value);
        EXPECT_EQ(fields(w.contents()), V{value});
    }
    LineWriter w;
    w.text("day, night");
    EXPECT_EQ(fields(w.contents()), (V{"day", "night"}));
}

TEST(NumberInText, ReadsTheLeadingNumber)
{
    const std::pair<const char *, double> cases[] = {
        {" 287 ", 287}, {"002-255", 2}, {"2.5 times", 2.5}, {"1 2", 12}, {"-3", -3}, {"", 0}, {"abc", 0}};
    for (const auto &[text, value] : cases)
        EXPECT_EQ(numberInText(text), value) << text;
}

TEST(NumberInText, WholeNumbersAreClampedToTheRangeOfInt)
{
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    const std::pair<std::string, int> cases[] = {
        {"12.9", 12},
        {"-12.9", -12},
        {" 99999999999 ", kMax},
        {"-99999999999", kMin},
        {std::string(400, '9'), kMax}, // too long for a double as well
        {"2147483647", kMax},
        {"x", 0}};
    for (const auto &[text, value] : cases)
        EXPECT_EQ(intInText(text), value) << text;
}
