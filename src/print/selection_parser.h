#pragma once

#include <QString>

#include <optional>
#include <vector>

// The print dialog's selection of image numbers, such as "1-3,7" or "2-4,9":
// numbers of one to three digits (0 to 999), "," between them and "-" for a
// range. Read left to right: a range a-b becomes a, a+1, ..., b, and nothing
// when b < a; "1-3-5" is 1 to 5; a "-" at the end does nothing. Repeats are
// kept, in order.
//
// Returns nothing for a format error: any character but digits, "-" and ",";
// a number of four or more characters; a range with fewer than two numbers
// before it ("-3", "3-,5"); or more than 255 numbers in all, which is more
// than one selection may print.
std::optional<std::vector<int>> ParseSelection(const QString& text);
