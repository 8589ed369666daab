#pragma once

#include <cctype>
#include <string>
#include <string_view>

// Parameterised tests are named from their table, never from the printed
// bytes of a value: those hold addresses and padding that change from run
// to run, and ctest's test names must not. This turns a table's text into a
// test name: letters and digits stay, every other character becomes '_'.
inline std::string TestNameFrom(std::string_view text)
{
    std::string name;
    for (const char c : text)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name.empty() ? std::string("Empty") : name;
}

// A number in a test name: "Minus1" for -1, since '-' may not appear there.
inline std::string TestNumber(long long value)
{
    return value < 0 ? "Minus" + std::to_string(-value) : std::to_string(value);
}
