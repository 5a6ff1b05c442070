#pragma once
// Containers own their children and lay them out: CContainerUI stacks them over its inner area,
// CVerticalLayoutUI and CHorizontalLayoutUI share their length between fixed and stretched children,
// CTabLayoutUI shows one child at a time. Floating children stand at their pos, relative to the
// container. A container with a vertical scroll bar shows a taller content through its inner area.

#include <vector>

#include "toolkit/controls/control.h"
#include "toolkit/controls/scroll_bar.h"

class CContainerUI : public CControlUI {
 public:
  ~CContainerUI() override;
  CStdString GetClass() const override { return "ContainerUI"; }
  void* GetInterface(std::string_view name) override;

  // Takes ownership; false for null.
  virtual bool Add(CControlUI* control);
  virtual bool AddAt(CControlUI* control, int index);
  // Deletes the child; false when it is not a child.
  virtual bool Remove(CControlUI* control);
  // Deletes every child.
  virtual void RemoveAll();
  int GetCount() const { return static_cast<int>(items_.size()); }
  CControlUI* GetItemAt(int index) const;
  int GetItemIndex(CControlUI* control) const;
  void SetInset(const RECT& inset);
  const CRect& GetInset() const { return inset_; }
  void SetChildPadding(int padding);
  // With the bar on, children taller together than the inner area scroll under it.
  void EnableScrollBar(bool vertical);
  bool HasScrollBar() const { return vscroll_; }
  // Pixels of the content above the view; 0 without a bar or when everything fits.
  int GetScrollPos() const { return bar_.Position(); }
  int GetScrollRange() const { return bar_.Range(); }
  // Clamped to the range of the last layout.
  void SetScrollPos(int pixels);
  // Shifts the colours of this container and of everything in it.
  void SetColorHSL(bool enable, short h, short s, short l) override;

  void SetAttribute(std::string_view name, std::string_view value) override;
  void SetManager(CPaintManagerUI* manager, CControlUI* parent) override;
  void Layout(const CRect& rect) override;
  void DoPaint(toolkit::Renderer& renderer) override;
  void DoEvent(TEventUI& event) override;
  CControlUI* FindControlAt(POINT point) override;
  CControlUI* FindSubControl(std::string_view name) override;
  void ForEach(const std::function<void(CControlUI*)>& visit) override;

 protected:
  CRect InnerRect(const CRect& rect) const;
  // Places the children that are not floating inside inner (which may reach beyond the view when
  // scrolled).
  virtual void LayoutItems(const CRect& inner);
  void LayoutFloat(CControlUI* child, const CRect& rect) const;

  std::vector<CControlUI*> items_;
  CRect inset_;
  int childPadding_ = 0;

 private:
  // How far below top the laid-out children reach.
  int ContentExtent(int top) const;

  bool vscroll_ = false;
  toolkit::VerticalScrollBar bar_;
  CRect view_;  // the inner area children are seen through
};

class CVerticalLayoutUI : public CContainerUI {
 public:
  CStdString GetClass() const override { return "VerticalLayoutUI"; }
  void* GetInterface(std::string_view name) override;

 protected:
  void LayoutItems(const CRect& inner) override;
};

class CHorizontalLayoutUI : public CContainerUI {
 public:
  CStdString GetClass() const override { return "HorizontalLayoutUI"; }
  void* GetInterface(std::string_view name) override;

 protected:
  void LayoutItems(const CRect& inner) override;
};

class CTabLayoutUI : public CContainerUI {
 public:
  CStdString GetClass() const override { return "TabLayoutUI"; }
  void* GetInterface(std::string_view name) override;

  // Shows page index and hides the others; false when out of range.
  bool SelectItem(int index);
  int GetCurSel() const { return current_; }

  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control) override;
  void RemoveAll() override;
  void SetAttribute(std::string_view name, std::string_view value) override;

 private:
  void ShowOnly(int index);
  int current_ = -1;
  int initial_ = 0;
};
