#pragma once

#include <array>
#include <cstdint>

// The editor's colours of the syntax colour classes: a text colour (RGB, red in the low byte) and a
// bold flag per class, and the background of normal text.
struct SSyntaxColors
{
    static constexpr int kClassCount = 20;

    std::array<std::uint32_t, kClassCount> color{};
    std::array<bool, kClassCount> bold{};
    std::uint32_t normalBackground = 0xFFFFFF;

    // Normal black, keywords blue and bold, function names maroon, comments green, numbers red,
    // operators black, strings purple, preprocessor teal, second and third sets dark cyan and navy.
    static SSyntaxColors Defaults();

    static constexpr std::uint32_t Rgb(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }
};
