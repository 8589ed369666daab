#pragma once

// The colour choice of a logo, numbered as the logo list stores it: the ink
// its colour pixels print in, or Not Used (black only). A stored list may hold
// another number (a list written by hand holds any digit): the logo keeps that
// number as it is, saved back unchanged, and the separation leaves its pixels
// unchanged. The fixed underlying type carries such a number unchanged.
enum class ColorChoice : int { Red = 0, Green = 1, Blue = 2, NotUsed = 3 };

// Red, Green and Blue: the choices with a colour ink of their own.
constexpr bool IsColorInk(ColorChoice choice)
{
    return choice == ColorChoice::Red || choice == ColorChoice::Green || choice == ColorChoice::Blue;
}

// One of the four choices, not another stored number.
constexpr bool IsKnownColorChoice(ColorChoice choice)
{
    return IsColorInk(choice) || choice == ColorChoice::NotUsed;
}

// The number the logo list stores for a choice, and the choice it reads.
constexpr int ToStoredNumber(ColorChoice choice) { return static_cast<int>(choice); }
constexpr ColorChoice FromStoredNumber(int number) { return static_cast<ColorChoice>(number); }
