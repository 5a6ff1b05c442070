#pragma once
// Containers own their children and lay them out: CContainerUI stacks them over its inner area,
// CVerticalLayoutUI and CHorizontalLayoutUI share their length between fixed and stretched children,
// CTabLayoutUI shows one child at a time. Floating children stand at their pos, relative to the
// container.

#include <vector>

#include "toolkit/controls/control.h"

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

  void SetAttribute(std::string_view name, std::string_view value) override;
  void SetManager(CPaintManagerUI* manager, CControlUI* parent) override;
  void Layout(const CRect& rect) override;
  void DoPaint(toolkit::Renderer& renderer) override;
  CControlUI* FindControlAt(POINT point) override;
  CControlUI* FindSubControl(std::string_view name) override;
  void ForEach(const std::function<void(CControlUI*)>& visit) override;

 protected:
  CRect InnerRect(const CRect& rect) const;
  void LayoutFloat(CControlUI* child, const CRect& rect) const;

  std::vector<CControlUI*> items_;
  CRect inset_;
  int childPadding_ = 0;
};

class CVerticalLayoutUI : public CContainerUI {
 public:
  CStdString GetClass() const override { return "VerticalLayoutUI"; }
  void* GetInterface(std::string_view name) override;
  void Layout(const CRect& rect) override;
};

class CHorizontalLayoutUI : public CContainerUI {
 public:
  CStdString GetClass() const override { return "HorizontalLayoutUI"; }
  void* GetInterface(std::string_view name) override;
  void Layout(const CRect& rect) override;
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
