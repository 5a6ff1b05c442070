#pragma once
// CSkinWnd: the base of every skinned window of the programs. It does the window pattern once: on
// creation it takes the caption style away, builds the skin the subclass names into its own paint
// manager and registers itself as the manager's notifier and pre-message filter; the window has no
// non-client area, drags by the skin's caption band except over the control classes the subclass
// excludes, is clipped to the skin's rounded corners at every size, and hands every other message
// to the manager and then to the default handling.
//
// Lifetime, the same for every window: a window opened by toolkit::OpenWindow or run by
// toolkit::RunModal lives on the heap and is deleted by its final message, after its window is
// gone. A window object made any other way (a member, on the stack, in a unique_ptr) belongs to
// whoever made it and is never deleted by the toolkit.

#include <array>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string_view>
#include <utility>

#include "toolkit/core/window_wnd.h"
#include "toolkit/dialog_builder.h"
#include "toolkit/paint_manager.h"

namespace toolkit {
// The classes the caption band does not drag over: in ordinary windows the controls a user
// clicks or reads, in the small dialogs only buttons.
inline constexpr std::array<std::string_view, 3> kWindowCaptionExclusions{"ButtonUI", "OptionUI", "TextUI"};
inline constexpr std::array<std::string_view, 1> kDialogCaptionExclusions{"ButtonUI"};
struct SkinWindowAccess;

// The caption-band hit test of every skinned window: an edge or corner (HTLEFT .. HTBOTTOMRIGHT)
// inside the skin's size box; HTCAPTION when the client point lies in the caption band (inside
// its left and right margins) over a control whose class is not among excludedClasses; else
// HTCLIENT.
LRESULT CaptionHitTest(const CPaintManagerUI& manager, POINT clientPoint,
                       std::span<const std::string_view> excludedClasses);
inline LRESULT CaptionHitTest(const CPaintManagerUI& manager, POINT clientPoint,
                              std::initializer_list<std::string_view> excludedClasses) {
  return CaptionHitTest(manager, clientPoint,
                        std::span<const std::string_view>(excludedClasses.begin(), excludedClasses.size()));
}
}  // namespace toolkit

class CSkinWnd : public CWindowWnd, public INotifyUI, public IMessageFilterUI {
 public:
  // What a modal run hands back once the dialog is gone; a dialog with an outcome declares its
  // own Result and GetResult (found by name, so no virtual is needed).
  struct Result {};
  Result GetResult() const { return {}; }

  CPaintManagerUI& Manager() { return pm_; }
  const CPaintManagerUI& Manager() const { return pm_; }

  // Notifications of the skin's controls; the default ignores them.
  void Notify(TNotifyUI&) override {}
  // The pre-message filter (Return and Escape in the dialogs); the default handles nothing.
  LRESULT MessageHandler(UINT, WPARAM, LPARAM, bool&) override { return 0; }

  // The window pattern; subclasses add their own messages through HandleCustomMessage.
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) final;

 protected:
  CSkinWnd() = default;

  // The skin file (or skin text starting with "<") the window is built from.
  virtual CStdString GetSkinFile() const = 0;
  // Supplies the controls of class names the toolkit lacks; null for none.
  virtual IDialogBuilderCallback* GetBuilderCallback() { return nullptr; }
  // Control classes the caption band does not drag over.
  virtual std::span<const std::string_view> CaptionExcludedClasses() const { return toolkit::kWindowCaptionExclusions; }
  // Pop-up menus paint on a transparent background.
  virtual bool IsBackgroundTransparent() const { return false; }
  // Runs once the skin is attached, before "windowinit"; false fails the creation.
  virtual bool OnSkinReady() { return true; }
  // Every message after creation reaches here first: set handled to take it over. Left alone,
  // the window pattern, then the manager, then the default handling get it.
  virtual LRESULT HandleCustomMessage(UINT msg, WPARAM wParam, LPARAM lParam, bool& handled);

  UINT GetClassStyle() const override { return UI_CLASSSTYLE_DIALOG; }

  // The pattern's answer to WM_NCHITTEST for a point in screen coordinates, for subclasses that
  // look at the pointer on every move and still drag by the caption band.
  LRESULT CaptionHitTest(LPARAM screenPoint) const;

 private:
  friend struct toolkit::SkinWindowAccess;

  void OnFinalMessage(HWND hwnd) final;
  bool BuildSkin();
  void ApplyRoundRegion();

  CPaintManagerUI pm_;
  bool deletesItself_ = false;
  // Copies a modal dialog's result out before the object goes.
  std::function<void()> beforeDelete_;
};

namespace toolkit {

// What OpenWindow and RunModal may do to a window object.
struct SkinWindowAccess {
  static void DeleteOnFinalMessage(CSkinWnd& w) { w.deletesItself_ = true; }
  static void SetBeforeDelete(CSkinWnd& w, std::function<void()> hook) { w.beforeDelete_ = std::move(hook); }
};

// Makes a window object of class W from args and creates its window: parent, name, style,
// extended style and rectangle as CWindowWnd::Create takes them. The object deletes itself in its
// final message; the pointer is good while the window stands. Null, with nothing left behind, when
// the window cannot be built.
template <class W, class... Args>
W* OpenWindow(HWND parent, LPCTSTR name, DWORD style, DWORD exStyle, const RECT& rect, Args&&... args) {
  auto window = std::make_unique<W>(std::forward<Args>(args)...);
  // A creation that fails destroys the window and sends the final message; until Create has
  // returned, the unique_ptr alone owns the object.
  if (!window->Create(parent, name, style, exStyle, rect)) return nullptr;
  SkinWindowAccess::DeleteOnFinalMessage(*window);
  return window.release();
}

// The style of a modal dialog over its owner.
inline constexpr DWORD kModalDialogStyle = UI_WNDSTYLE_DIALOG;

// Runs a dialog of class Dlg (made from args) modally over owner: created with the dialog style,
// centred on the owner, shown until it closes. Returns the dialog's Result as it stood when the
// dialog went, or a default Result when it could not be built. No dialog is left standing when this
// returns, also when a quit ended the loop early.
template <class Dlg, class... Args>
typename Dlg::Result RunModal(HWND owner, LPCTSTR name, Args&&... args) {
  typename Dlg::Result result{};
  Dlg* dialog = OpenWindow<Dlg>(owner, name, kModalDialogStyle & ~WS_VISIBLE, 0, RECT{}, std::forward<Args>(args)...);
  if (!dialog) return result;
  SkinWindowAccess::SetBeforeDelete(*dialog, [&result, dialog] { result = dialog->GetResult(); });
  HWND hwnd = dialog->GetHWND();
  dialog->CenterWindow();
  dialog->ShowModal();
  if (IsWindow(hwnd)) DestroyWindow(hwnd);
  return result;
}

}  // namespace toolkit
