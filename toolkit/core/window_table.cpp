#include "toolkit/core/window_table.h"

#include "toolkit/core/dispatcher.h"

namespace toolkit {

std::map<UINT, std::string>& IconTable() {
  static auto* table = new std::map<UINT, std::string>();
  return *table;
}

std::unordered_map<uintptr_t, UINT>& ModalResults() {
  static auto* results = new std::unordered_map<uintptr_t, UINT>();
  return *results;
}

std::vector<HWND>& CreationOrder() {
  static auto* order = new std::vector<HWND>();
  return *order;
}

TitledWindowHook g_titledHook = nullptr;

CWindowWnd* Lookup(HWND hwnd) { return Dispatcher::Instance().Find(hwnd); }

void RegisterIconResource(UINT resourceId, const std::string& pngPath) { IconTable()[resourceId] = pngPath; }

std::vector<HWND> AllWindows() {
  std::vector<HWND> live;
  for (HWND h : CreationOrder()) {
    if (IsWindow(h)) live.push_back(h);
  }
  return live;
}

void SetTitledWindowHook(TitledWindowHook hook) { g_titledHook = hook; }

}  // namespace toolkit
