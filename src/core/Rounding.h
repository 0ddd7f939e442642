#pragma once

namespace rat {

// Rounds the decimal value of x (as it would be typed: 15 significant digits) to `digits`
// decimal places, halves to the even neighbour: 0.125 -> 0.12, 2.675 -> 2.68, 1.005 -> 1.00.
// The one rounding of the whole program.
double roundHalfEven(double x, int digits);

} // namespace rat
