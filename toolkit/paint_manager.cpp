#include "toolkit/paint_manager.h"


#include <algorithm>
#include <unordered_map>

#include "platform/message_numbers.h"
#include "platform/paths.h"
#include "toolkit/core/dispatcher.h"
#include "toolkit/core/window_wnd.h"
#include "toolkit/render/renderer.h"
#include "toolkit/skin/resource_source.h"

namespace {

constexpr UINT kWindowInitMessage = platform::kMsgWindowInit;
static_assert(WM_USER == platform::kMsgUserBase && WM_APP == platform::kMsgAppBase);

std::unordered_map<uintptr_t, CPaintManagerUI*>& Managers() {
  static auto* managers = new std::unordered_map<uintptr_t, CPaintManagerUI*>();
  return *managers;
}

struct ResourceState {
  CStdString path;
  CStdString zip;
  std::unique_ptr<toolkit::ResourceSource> source;
};

ResourceState& SkinState() {
  static auto* state = new ResourceState();
  return *state;
}

class EmptySource : public toolkit::ResourceSource {
 public:
  std::optional<std::string> Read(std::string_view) const override { return std::nullopt; }
  std::string DiskPath(std::string_view) const override { return {}; }
};

const toolkit::FontSpec& DefaultFont() {
  static const toolkit::FontSpec* font = new toolkit::FontSpec{"Sans", 12, false, false, false};
  return *font;
}

}  // namespace

void* CPaintManagerUI::instance_ = nullptr;

CPaintManagerUI::CPaintManagerUI() : alive_(std::make_shared<bool>(true)) {}

CPaintManagerUI::~CPaintManagerUI() {
  *alive_ = false;
  if (hwnd_) {
    auto it = Managers().find(reinterpret_cast<uintptr_t>(hwnd_));
    if (it != Managers().end() && it->second == this) Managers().erase(it);
  }
  CControlUI* root = root_;
  root_ = nullptr;
  delete root;
}

void CPaintManagerUI::Init(HWND hwnd) {
  hwnd_ = hwnd;
  Managers()[reinterpret_cast<uintptr_t>(hwnd)] = this;
  ApplySizeLimits();
  toolkit::Dispatcher::Instance().SetFilterHook(&CPaintManagerUI::FilterHook);
}

CPaintManagerUI* CPaintManagerUI::FromWindow(HWND hwnd) {
  auto it = Managers().find(reinterpret_cast<uintptr_t>(hwnd));
  return it == Managers().end() ? nullptr : it->second;
}

bool CPaintManagerUI::AttachDialog(CControlUI* root) {
  if (!root) return false;
  if (root_ && root_ != root) {
    CControlUI* old = root_;
    root_ = nullptr;
    delete old;
  }
  focus_ = hot_ = pressed_ = nullptr;
  root_ = root;
  root_->SetManager(this, nullptr);
  NeedUpdate();
  if (!initSent_ && hwnd_) {
    initSent_ = true;
    PostMessage(hwnd_, kWindowInitMessage, 0, 0);
  }
  return true;
}

bool CPaintManagerUI::AddNotifier(INotifyUI* notifier) {
  if (!notifier || std::find(notifiers_.begin(), notifiers_.end(), notifier) != notifiers_.end()) return false;
  notifiers_.push_back(notifier);
  return true;
}

bool CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) {
  auto it = std::find(notifiers_.begin(), notifiers_.end(), notifier);
  if (it == notifiers_.end()) return false;
  notifiers_.erase(it);
  return true;
}

bool CPaintManagerUI::AddPreMessageFilter(IMessageFilterUI* filter) {
  if (!filter || std::find(preFilters_.begin(), preFilters_.end(), filter) != preFilters_.end()) return false;
  preFilters_.push_back(filter);
  return true;
}

bool CPaintManagerUI::RemovePreMessageFilter(IMessageFilterUI* filter) {
  auto it = std::find(preFilters_.begin(), preFilters_.end(), filter);
  if (it == preFilters_.end()) return false;
  preFilters_.erase(it);
  return true;
}

CControlUI* CPaintManagerUI::FindControl(std::string_view name) const {
  return root_ && !name.empty() ? root_->FindSubControl(name) : nullptr;
}

CControlUI* CPaintManagerUI::FindControl(POINT point) const {
  if (!root_) return nullptr;
  if (needLayout_ && !inLayout_) const_cast<CPaintManagerUI*>(this)->DoLayout();
  return root_->FindControlAt(point);
}

void CPaintManagerUI::SetInitSize(int cx, int cy) {
  initSize_ = CSize(cx, cy);
  if (hwnd_ && cx > 0 && cy > 0) {
    RECT r;
    GetWindowRect(hwnd_, &r);
    MoveWindow(hwnd_, r.left, r.top, cx, cy);
  }
}

void CPaintManagerUI::SetMinInfo(int cx, int cy) {
  minInfo_ = CSize(cx, cy);
  ApplySizeLimits();
}

void CPaintManagerUI::SetMaxInfo(int cx, int cy) {
  maxInfo_ = CSize(cx, cy);
  ApplySizeLimits();
}

void CPaintManagerUI::SetSizeBox(const RECT& rect) {
  sizeBox_ = rect;
  ApplySizeLimits();
}

void CPaintManagerUI::ApplySizeLimits() {
  bool resizable = sizeBox_.left > 0 || sizeBox_.top > 0 || sizeBox_.right > 0 || sizeBox_.bottom > 0;
  if (hwnd_) SetWindowSizeLimits(hwnd_, resizable, minInfo_, maxInfo_);
}

void CPaintManagerUI::SetBackgroundTransparent(bool transparent) {
  transparentBackground_ = transparent;
  Invalidate();
}

void CPaintManagerUI::SetTransparent(int alpha) {
  if (hwnd_) SetWindowAlpha(hwnd_, alpha);
}

// Input ---------------------------------------------------------------------------------------------

void CPaintManagerUI::SendEvent(CControlUI* control, int type, POINT pt, WPARAM wParam) {
  if (!control) return;
  TEventUI event;
  event.Type = type;
  event.pSender = control;
  event.ptMouse = pt;
  event.wParam = wParam;
  control->DoEvent(event);
}

void CPaintManagerUI::ShowTooltip(CControlUI* control) {
  if (CWindowWnd* w = toolkit::Dispatcher::Instance().Find(hwnd_); w && w->Native()) {
    w->Native()->SetTooltip(control ? control->GetToolTip().str() : std::string());
  }
}

bool CPaintManagerUI::OnMouse(UINT msg, POINT pt) {
  auto alive = alive_;
  CControlUI* at = FindControl(pt);
  // Inside a disabled container a control is as disabled as the container.
  if (at && !at->IsEnabledInTree()) at = nullptr;
  switch (msg) {
    case WM_MOUSEMOVE:
      if (at != hot_) {
        CControlUI* old = hot_;
        hot_ = at;
        SendEvent(old, UIEVENT_MOUSELEAVE, pt);
        if (!*alive) return true;
        SendEvent(at, UIEVENT_MOUSEENTER, pt);
        ShowTooltip(at);
      }
      // Moves go to the pressed control (a dragged thumb follows the pointer out of its bar), else
      // to the one under the pointer (a scroll bar lights the part it is over).
      SendEvent(pressed_ ? pressed_ : hot_, UIEVENT_MOUSEMOVE, pt);
      return false;
    case WM_MOUSELEAVE: {
      CControlUI* old = hot_;
      hot_ = nullptr;
      ShowTooltip(nullptr);
      SendEvent(old, UIEVENT_MOUSELEAVE, pt);
      return false;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // A press puts the tip away, as the window it opens (a drop-down) would stand under it.
      ShowTooltip(nullptr);
      if (!at) return false;
      pressed_ = at;
      if (at != focus_) SetFocus(at);
      if (!*alive || pressed_ != at) return true;
      SendEvent(at, msg == WM_LBUTTONDOWN ? UIEVENT_BUTTONDOWN : UIEVENT_DBLCLICK, pt);
      return true;
    case WM_LBUTTONUP: {
      CControlUI* target = pressed_;
      pressed_ = nullptr;
      SendEvent(target, UIEVENT_BUTTONUP, pt);
      return target != nullptr;
    }
    default:
      return false;
  }
}

bool CPaintManagerUI::MessageHandler(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_PAINT: {
      CWindowWnd* w = toolkit::Dispatcher::Instance().Find(hwnd_);
      if (w && w->PaintTarget()) Render(*w->PaintTarget());
      result = 0;
      return true;
    }
    case WM_SIZE:
      NeedUpdate();
      return false;
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP: {
      auto alive = alive_;
      OnMouse(msg, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      // A notifier that deleted the window: handled, so the window's own code does not go on.
      result = 0;
      return !*alive;
    }
    case WM_MOUSEWHEEL: {
      POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};  // screen coordinates, as the system sends them
      ScreenToClient(hwnd_, &pt);
      SendEvent(FindControl(pt), UIEVENT_SCROLLWHEEL, pt, wParam);
      return false;
    }
    case WM_KEYDOWN:
      if (wParam == VK_TAB && MoveFocus(GetKeyState(static_cast<int>(VK_SHIFT)) >= 0)) {
        result = 0;
        return true;
      }
      {
        auto alive = alive_;
        if (focus_ && focus_->IsEnabledInTree()) SendEvent(focus_, UIEVENT_KEYDOWN, POINT{}, wParam);
        result = 0;
        return !*alive;
      }
    default:
      return false;
  }
}

bool CPaintManagerUI::FilterHook(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  CPaintManagerUI* manager = FromWindow(hwnd);
  if (!manager) return false;
  if (msg == kWindowInitMessage) {
    if (manager->root_) manager->SendNotify(manager->root_, "windowinit");
    result = 0;
    return true;
  }
  auto alive = manager->alive_;
  std::vector<IMessageFilterUI*> filters = manager->preFilters_;
  for (IMessageFilterUI* f : filters) {
    if (!*alive) return true;
    auto& current = manager->preFilters_;
    if (std::find(current.begin(), current.end(), f) == current.end()) continue;
    bool handled = false;
    LRESULT r = f->MessageHandler(msg, wParam, lParam, handled);
    if (handled) {
      result = r;
      return true;
    }
  }
  return false;
}

void CPaintManagerUI::SendNotify(CControlUI* control, std::string_view type, WPARAM wParam, LPARAM lParam) {
  TNotifyUI msg;
  msg.sType = CStdString(type);
  msg.pSender = control;
  msg.wParam = wParam;
  msg.lParam = lParam;
  msg.dwTimestamp = static_cast<DWORD>(toolkit::Dispatcher::Instance().GetBackend().NowMs());
  auto alive = alive_;
  std::vector<INotifyUI*> notifiers = notifiers_;
  for (INotifyUI* n : notifiers) {
    if (!*alive) return;  // a notifier destroyed the window
    if (std::find(notifiers_.begin(), notifiers_.end(), n) == notifiers_.end()) continue;
    n->Notify(msg);
  }
}

// Fonts and defaults ------------------------------------------------------------------------------

int CPaintManagerUI::AddFont(const toolkit::FontSpec& font, bool makeDefault) {
  fonts_.push_back(font);
  int index = static_cast<int>(fonts_.size()) - 1;
  if (makeDefault) defaultFont_ = index;
  Invalidate();
  return index;
}

const toolkit::FontSpec& CPaintManagerUI::GetFont(int index) const {
  if (index >= 0 && index < static_cast<int>(fonts_.size())) return fonts_[static_cast<size_t>(index)];
  if (defaultFont_ >= 0) return fonts_[static_cast<size_t>(defaultFont_)];
  return DefaultFont();
}

void CPaintManagerUI::AddDefaultAttributeList(const CStdString& className, const CStdString& list) {
  for (auto& [name, value] : defaults_) {
    if (name == className) {
      value = list;
      return;
    }
  }
  defaults_.emplace_back(className, list);
}

const CStdString* CPaintManagerUI::GetDefaultAttributeList(std::string_view className) const {
  for (const auto& [name, value] : defaults_) {
    if (name.str() == className) return &value;
  }
  return nullptr;
}

void CPaintManagerUI::SetFocus(CControlUI* control) {
  if (focus_ == control) return;
  auto alive = alive_;
  CControlUI* old = focus_;
  focus_ = control;
  if (old) {
    SendEvent(old, UIEVENT_KILLFOCUS, POINT{});
    if (!*alive) return;
    SendNotify(old, "killfocus");
    if (!*alive) return;
  }
  if (control && focus_ == control) {
    SendEvent(control, UIEVENT_SETFOCUS, POINT{});
    if (!*alive) return;
    SendNotify(control, "setfocus");
  }
  if (*alive) Invalidate();
}

bool CPaintManagerUI::MoveFocus(bool forward) {
  if (!root_) return false;
  std::vector<CControlUI*> stops;
  root_->ForEach([&stops](CControlUI* c) {
    if (c->IsTabStop() && c->IsEnabledInTree() && c->IsVisibleInTree()) stops.push_back(c);
  });
  if (stops.empty()) return false;
  auto n = static_cast<int>(stops.size());
  auto at = std::find(stops.begin(), stops.end(), focus_);
  int next = 0;
  if (at == stops.end()) {
    next = forward ? 0 : n - 1;
  } else {
    int i = static_cast<int>(at - stops.begin());
    next = forward ? (i + 1) % n : (i + n - 1) % n;
  }
  stops[static_cast<size_t>(next)]->SetFocus();  // an edit also moves the real entry's focus
  return true;
}

void CPaintManagerUI::ControlGone(CControlUI* control) {
  if (hot_ == control) hot_ = nullptr;
  if (pressed_ == control) pressed_ = nullptr;
  if (focus_ == control) focus_ = nullptr;
}

// Layout and painting ---------------------------------------------------------------------------------

void CPaintManagerUI::NeedUpdate() {
  needLayout_ = true;
  Invalidate();
}

void CPaintManagerUI::Invalidate() {
  if (CWindowWnd* w = toolkit::Dispatcher::Instance().Find(hwnd_); w && w->Native()) w->Native()->Invalidate();
}

void CPaintManagerUI::DoLayout() {
  if (!root_ || inLayout_) return;
  inLayout_ = true;
  RECT client{};
  if (!GetClientRect(hwnd_, &client) && initSize_.cx > 0) client = CRect(0, 0, initSize_.cx, initSize_.cy);
  root_->Layout(client);
  needLayout_ = false;
  inLayout_ = false;
}

void CPaintManagerUI::Render(toolkit::Renderer& renderer) {
  if (needLayout_) DoLayout();
  renderer.Clear(transparentBackground_);
  if (!root_) return;
  root_->DoPaint(renderer);
}

const toolkit::ResourceSource& CPaintManagerUI::Resources() const { return CurrentResources(); }

// Process-wide --------------------------------------------------------------------------------------

CStdString CPaintManagerUI::GetInstancePath() { return CStdString(platform::ExecutableFolder()); }

void CPaintManagerUI::SetResourcePath(const CStdString& path) {
  SkinState().path = path;
  SkinState().source.reset();
}

CStdString CPaintManagerUI::GetResourcePath() { return SkinState().path; }

void CPaintManagerUI::SetResourceZip(const CStdString& path) {
  SkinState().zip = path;
  SkinState().source.reset();
}

CStdString CPaintManagerUI::GetResourceZip() { return SkinState().zip; }

const toolkit::ResourceSource& CPaintManagerUI::CurrentResources() {
  ResourceState& state = SkinState();
  if (state.source) return *state.source;
  std::string base = state.path.IsEmpty() ? GetInstancePath().str() : state.path.str();
  if (!state.zip.IsEmpty()) {
    std::string zip = toolkit::NormalizePath(state.zip.str());
    // "\res.zip" is a name joined to a folder, not a file at the root of the disk.
    bool absolute = !zip.empty() && zip.front() == '/' && zip.find('/', 1) != std::string::npos;
    if (!absolute) zip = toolkit::NormalizePath(platform::JoinPath(base, zip));
    state.source = toolkit::OpenArchiveSource(zip);
    if (!state.source) state.source = std::make_unique<EmptySource>();
  } else {
    state.source = std::make_unique<toolkit::FolderSource>(base);
  }
  return *state.source;
}

int CPaintManagerUI::MessageLoop() {
  toolkit::Dispatcher& dispatcher = toolkit::Dispatcher::Instance();
  dispatcher.RunUntil([] { return false; });
  int code = dispatcher.QuitCode();
  dispatcher.ClearQuit();
  return code;
}

void CPaintManagerUI::PumpMessages() { toolkit::Dispatcher::Instance().PumpPending(); }
