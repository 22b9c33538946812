// A check that a text holds a part, which shows the whole text when it does not.
#pragma once

#include <gtest/gtest.h>

#include <string_view>

namespace velmora::test {

inline ::testing::AssertionResult holds(std::string_view text, std::string_view part)
{
    if (text.find(part) != std::string_view::npos)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "\"" << text << "\" does not hold \"" << part << "\"";
}

} // namespace velmora::test
