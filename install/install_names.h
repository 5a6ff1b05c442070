#pragma once
// The names an installation gives its shortcuts, and where the system reads device rules: what
// Setup makes and the removal program takes away again must agree on them.

namespace installation {
inline constexpr const char* kMenuGroup = "Vymera同步软件";
inline constexpr const char* kClientLink = "Vymera同步软件";
inline constexpr const char* kRemovalLink = "卸载Vymera同步软件";
// Empty where the system needs no device rules (Windows opens HID devices without one).
inline constexpr const char* kSystemRules = VYMERA_SYSTEM_RULES;
}  // namespace installation
