#pragma once
// The toolkit's record of its windows, shared by CWindowWnd and the window functions by handle:
// the icons registered by resource id, the order windows were made in, the results given to Close,
// and the hook that hears of titled windows. Inside the toolkit only.

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "toolkit/core/window_wnd.h"

namespace toolkit {

std::map<UINT, std::string>& IconTable();
// Results given to Close, kept by handle because the window object may be gone when ShowModal
// reads them.
std::unordered_map<uintptr_t, UINT>& ModalResults();
std::vector<HWND>& CreationOrder();
extern TitledWindowHook g_titledHook;

// The fade of AnimateWindow runs on a timer of the window's own, outside the ids programs use.
inline constexpr UINT kFadeTimerId = 0xFADE0001u;
inline constexpr UINT kFadeStepMs = 40;

// The live window object of hwnd, or null.
CWindowWnd* Lookup(HWND hwnd);

}  // namespace toolkit
