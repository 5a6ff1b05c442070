#pragma once
// The scale settings of one user: which of the three recognition ranges the stored range is, the
// range an option stands for, the reference weight as it is shown, and the live weight a scale
// reading hands the settings window.

#include <cstdint>
#include <optional>
#include <string>

// The options ±0.5 kg, ±1.0 kg and ±2.0 kg, numbered as the windows name them ("weight1" ...).
inline constexpr int kScopeOptions = 3;

// 1 when weightscope is within 0.01 of 0.5, 2 when within 0.01 of 1.0, else 3.
int ScopeOptionOf(float weightscope);
// 0.5 for option 1, 1.0 for option 2, 2.0 for anything else.
float ScopeOfOption(int option);

// "%.1fkg" with a point whatever the locale: "62.4kg".
std::string WeightText(float kg);

// The weight a live-weight message carries as the bits of a float in the low 32 bits of its
// parameter; nothing when the bits are no weight a scale can weigh (not finite, below 0, beyond the
// 6553.5 kg a frame can hold).
std::optional<float> LiveWeightOf(intptr_t parameter);
