#include "print/selection_parser.h"

namespace {

constexpr std::size_t kMaxNumbers = 255;

bool IsSeparator(QChar c) { return c == '-' || c == ','; }

}  // namespace

std::optional<std::vector<int>> ParseSelection(const QString& text)
{
    std::vector<int> numbers;
    bool rangePending = false;
    const qsizetype length = text.size();
    for (qsizetype i = 0; i < length; ++i) {
        const QChar c = text[i];
        if (c.isDigit() && c.unicode() < 128) {
            qsizetype end = i;
            int value = 0;
            while (end < length && end - i < 3 && !IsSeparator(text[end])) {
                if (!(text[end] >= '0' && text[end] <= '9'))
                    return std::nullopt;
                value = value * 10 + (text[end].unicode() - '0');
                ++end;
            }
            if (end < length && !IsSeparator(text[end]))
                return std::nullopt;
            if (numbers.size() == kMaxNumbers)
                return std::nullopt;
            numbers.push_back(value);
            i = end - 1;  // the number's last digit is the current position
        } else if (!IsSeparator(c)) {
            return std::nullopt;
        }
        if (rangePending) {
            if (numbers.size() < 2)
                return std::nullopt;
            const int last = numbers.back();
            numbers.pop_back();
            const int first = numbers.back();
            numbers.pop_back();
            if (first <= last && numbers.size() + static_cast<std::size_t>(last - first + 1) > kMaxNumbers)
                return std::nullopt;
            for (int n = first; n <= last; ++n)
                numbers.push_back(n);
            rangePending = false;
        }
        if (text[i] == '-')
            rangePending = true;
    }
    return numbers;
}
