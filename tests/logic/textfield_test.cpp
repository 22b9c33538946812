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

TEST(ReadField, SplitsAtCommasAndLineEnds)
{
    EXPECT_EQ(fields("a,b\r\nc\r\n"), (V{"a", "b", "c"}));
    EXPECT_EQ(fields("  lead,\tb\r\n"), (V{"lead", "b"}));
    EXPECT_EQ(fields("a\r\n\r\nb\r\n"), (V{"a", "", "b"}));
    EXPECT_EQ(fields("a,,b"), (V{"a", "", "b"}));
    EXPECT_EQ(fields(""), V{});
    EXPECT_EQ(fields("\r\n"), V{""});
    EXPECT_EQ(fields("last without line end"), V{"last without line end"});
}

TEST(ReadField, QuotedFieldsKeepCommasAndLoseTheirQuotes)
{
    EXPECT_EQ(fields("\"a, b\",c\r\n"), (V{"a, b", "c"}));
    EXPECT_EQ(fields("\"x\"  trailing,next\r\n"),
              (V{"x", "next"})); // text after the closing quote is dropped
    EXPECT_EQ(fields("\"never closed, at all"), V{"never closed, at all"});
    EXPECT_EQ(fields("  \"   four\"\r\n"), V{"   four"});
}

TEST(ReadField, TrailingBlanksAndLoneLineEnds)
{
    EXPECT_EQ(fields(" 9.75 \r\n True \r\n"), (V{"9.75", "True"}));
    EXPECT_EQ(fields("a\nb\rc\r\n"), (V{"a", "b", "c"}));
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
    EXPECT_EQ(numberInText(" 287 "), 287);
    EXPECT_EQ(numberInText("002-255"), 2);
    EXPECT_EQ(numberInText("2.5 times"), 2.5);
    EXPECT_EQ(numberInText("1 2"), 12);
    EXPECT_EQ(numberInText("-3"), -3);
    EXPECT_EQ(numberInText(""), 0);
    EXPECT_EQ(numberInText("abc"), 0);
}

TEST(NumberInText, WholeNumbersAreClampedToTheRangeOfInt)
{
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    EXPECT_EQ(intInText("12.9"), 12);
    EXPECT_EQ(intInText("-12.9"), -12);
    EXPECT_EQ(intInText(" 99999999999 "), kMax);
    EXPECT_EQ(intInText("-99999999999"), kMin);
    EXPECT_EQ(intInText(std::string(400, '9')), kMax) << "too long for a double as well";
    EXPECT_EQ(intInText("2147483647"), kMax);
    EXPECT_EQ(intInText("x"), 0);
}
