// The print dialog's selection text: any text, as UTF-8 and as 8-bit text,
// must give what a plain reading of the selection rules gives: numbers of up
// to three digits, ',' between them, "a-b" for a range, the range applied at
// the position after its '-', at most 255 numbers; anything else is a format
// error.
#include "fuzz_support.h"

#include "print/selection_parser.h"

#include <optional>
#include <vector>

namespace {

constexpr size_t kRoom = 255;

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool IsSeparator(QChar c) { return c == u'-' || c == u','; }

// The rules, step by step, as the dialog's help describes them; written
// separately from the parser so that the two can disagree.
std::optional<std::vector<int>> ReferenceSelection(const QString& text)
{
    std::vector<int> numbers;
    bool rangePending = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!IsDigit(text[i]) && !IsSeparator(text[i]))
            return std::nullopt;
        if (IsDigit(text[i])) {
            qsizetype last = i;
            while (last + 1 < text.size() && last - i < 2 && !IsSeparator(text[last + 1])) {
                if (!IsDigit(text[last + 1]))
                    return std::nullopt;
                ++last;
            }
            if (last + 1 < text.size() && !IsSeparator(text[last + 1]))
                return std::nullopt;  // a fourth character that is no separator
            if (numbers.size() == kRoom)
                return std::nullopt;
            numbers.push_back(text.sliced(i, last - i + 1).toInt());
            i = last;
        }
        if (rangePending) {
            if (numbers.size() < 2)
                return std::nullopt;
            const int b = numbers.back();
            numbers.pop_back();
            const int a = numbers.back();
            numbers.pop_back();
            for (int n = a; n <= b; ++n) {
                if (numbers.size() == kRoom)
                    return std::nullopt;
                numbers.push_back(n);
            }
            rangePending = false;
        }
        if (text[i] == u'-')
            rangePending = true;
    }
    return numbers;
}

void Check(const QString& text)
{
    const std::optional<std::vector<int>> parsed = ParseSelection(text);
    const std::optional<std::vector<int>> reference = ReferenceSelection(text);
    FUZZ_CHECK(parsed.has_value() == reference.has_value());
    if (!parsed)
        return;
    FUZZ_CHECK(*parsed == *reference);
    FUZZ_CHECK(parsed->size() <= kRoom);
    for (const int n : *parsed)
        FUZZ_CHECK(n >= 0 && n <= 999);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* text = reinterpret_cast<const char*>(data);
    const auto length = static_cast<qsizetype>(size);
    Check(QString::fromUtf8(text, length));
    Check(QString::fromLatin1(text, length));
    return 0;
}
