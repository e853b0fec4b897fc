#pragma once

#include <tuple>

// The phone screens layout tests draw on: the one the artwork is drawn for (480 × 854 points
// at scale 1) and those around it, as width, height and scale.
inline constexpr std::tuple<double, double, double> kPhones[] = {{320, 568, 2}, {375, 667, 2}, {414, 736, 3}, {480, 854, 1}};
