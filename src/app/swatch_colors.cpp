#include "app/swatch_colors.h"

const ColorChoiceRule* FindColorChoiceRule(ColorChoice choice)
{
    for (const ColorChoiceRule& rule : kColorChoiceRules) {
        if (rule.choice == choice)
            return &rule;
    }
    return nullptr;
}

win::COLORREF TintedSwatch(const Rgb& ink, int weight)
{
    const auto channel = [weight](int inkChannel) { return inkChannel == 255 ? 255 : 255 - weight; };
    return win::MakeColorRef(channel(ink.r), channel(ink.g), channel(ink.b));
}

win::COLORREF RValueSwatch(int rValue, ColorChoice choice, win::COLORREF previous)
{
    return IsColorInk(choice) ? TintedSwatch(FindColorChoiceRule(choice)->ink, rValue) : previous;
}

win::COLORREF LValueSwatch(int lValue, bool invert, const Rgb& lColor, win::COLORREF previous)
{
    if (!invert)
        return TintedSwatch(Rgb{0, 0, 0}, lValue);
    for (const ColorChoiceRule& rule : kColorChoiceRules) {
        if (IsColorInk(rule.choice) && rule.ink == lColor)
            return TintedSwatch(lColor, lValue);
    }
    return previous;
}
