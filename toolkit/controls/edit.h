#pragma once
// CEditUI: a one-line text field. Under a real window system a native entry stands over it (input
// methods, clipboard, selection); headless, tests type into it. CRichEditUI shows read-only text
// over several lines with a vertical scroll bar.

#include <memory>

#include "toolkit/core/backend.h"
#include "toolkit/controls/label.h"
#include "toolkit/controls/scroll_bar.h"

class CEditUI : public CLabelUI, private toolkit::TextEntryHost {
 public:
  CEditUI();
  ~CEditUI() override;
  CStdString GetClass() const override { return "EditUI"; }
  void* GetInterface(std::string_view name) override;

  void SetText(const CStdString& text) override;
  void SetPasswordMode(bool on);
  bool IsPasswordMode() const { return password_; }
  void SetReadOnly(bool on);
  bool IsReadOnly() const { return readOnly_; }
  // Longest text in code points; typing beyond it is refused.
  void SetMaxChar(int count) { maxChar_ = count; }
  void SetNormalImage(const CStdString& image) { normalImage_ = image; }

  // Text typed at the end, one code point at a time, each telling "textchanged" (what a user's
  // keystrokes do). Nothing when disabled or read-only.
  void TypeText(const CStdString& text);

  void SetVisible(bool visible = true) override;
  // A hidden tab page or container hides the native entry with it.
  void OnVisibleInTreeChanged() override { SyncEntry(); }
  void SetEnabled(bool enabled = true) override;
  void SetFocus() override;
  void SetAttribute(std::string_view name, std::string_view value) override;
  void Layout(const CRect& rect) override;
  void DoPaint(toolkit::Renderer& renderer) override;
  void DoEvent(TEventUI& event) override;

 protected:
  CStdString DisplayText() const override;

 private:
  void OnEntryChanged(const std::string& text) override;
  void OnEntryKey(WPARAM virtualKey) override;
  void OnEntryFocus(bool gained) override;
  void SyncEntry();

  std::unique_ptr<toolkit::TextEntry> entry_;
  bool entryTried_ = false;
  bool password_ = false;
  bool readOnly_ = false;
  int maxChar_ = 255;
  bool syncing_ = false;
  CStdString normalImage_, hotImage_, focusedImage_, disabledImage_;
  bool hot_ = false;
};

class CRichEditUI : public CLabelUI {
 public:
  CRichEditUI();
  CStdString GetClass() const override { return "RichEditUI"; }
  void* GetInterface(std::string_view name) override;

  void SetReadOnly(bool on) { readOnly_ = on; }
  bool IsReadOnly() const { return readOnly_; }
  // Pixels of text scrolled out at the top; a position set before the text is measured is kept
  // until the next paint and clamped there.
  int GetScrollPos() const { return pending_ >= 0 ? pending_ : bar_.Position(); }
  void SetScrollPos(int pixels);
  // Height of the whole text at the last paint.
  int GetContentHeight() const { return contentHeight_; }

  void SetText(const CStdString& text) override;
  void SetAttribute(std::string_view name, std::string_view value) override;
  void SetManager(CPaintManagerUI* manager, CControlUI* parent) override;
  void DoPaint(toolkit::Renderer& renderer) override;
  void DoEvent(TEventUI& event) override;

 private:
  CRect TextArea() const;
  bool readOnly_ = false;
  bool vscroll_ = false;
  CRect inset_;
  int pending_ = -1;
  int contentHeight_ = 0;
  toolkit::VerticalScrollBar bar_;
};
