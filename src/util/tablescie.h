#pragma once
// Colorimetric tables sampled every 5 nm from 380 to 780 nm: the standard observer that
// colours the spectrum curve and, with the daylight illuminant, the colour of a solution.

#include <array>

namespace kelvor {

constexpr int LambdaDebutCie = 380;
constexpr int LambdaFinCie = 780;
constexpr int PasCie = 5;
constexpr int NbreCie = (LambdaFinCie - LambdaDebutCie) / PasCie + 1;   // 81

// Entry i is the value at LambdaDebutCie + PasCie * i nm.
extern const std::array<double, NbreCie> XbarCie;
extern const std::array<double, NbreCie> YbarCie;
extern const std::array<double, NbreCie> ZbarCie;
extern const std::array<double, NbreCie> D65Cie;

} // namespace kelvor
