#include "client/core/binding/scale_range.h"

#include <bit>
#include <cmath>

#include "platform/number_text.h"

namespace {
constexpr float kTolerance = 0.01f;
constexpr float kHeaviestFrame = 6553.5f;
}  // namespace

int ScopeOptionOf(float weightscope) {
  if (std::fabs(weightscope - 0.5f) < kTolerance) return 1;
  if (std::fabs(weightscope - 1.0f) < kTolerance) return 2;
  return 3;
}

float ScopeOfOption(int option) {
  if (option == 1) return 0.5f;
  if (option == 2) return 1.0f;
  return 2.0f;
}

std::string WeightText(float kg) { return platform::FixedText(kg, 1) + "kg"; }

std::optional<float> LiveWeightOf(intptr_t parameter) {
  float weight = std::bit_cast<float>(static_cast<uint32_t>(static_cast<uintptr_t>(parameter)));
  if (!std::isfinite(weight) || weight < 0.0f || weight > kHeaviestFrame) return std::nullopt;
  return weight;
}
