#pragma once
// CButtonUI: a label with an image per state that tells the window "click" when pressed and
// released over it. COptionUI adds a selected state and groups of which one is selected; its
// "click" comes before the state flips, so handlers read the state as it was.

#include "toolkit/controls/label.h"

class CButtonUI : public CLabelUI {
 public:
  CButtonUI() { tabStop_ = true; }
  CStdString GetClass() const override { return "ButtonUI"; }
  void* GetInterface(std::string_view name) override;

  void SetNormalImage(const CStdString& image);
  void SetHotImage(const CStdString& image);
  void SetPushedImage(const CStdString& image);
  void SetFocusedImage(const CStdString& image);
  void SetDisabledImage(const CStdString& image);
  void SetForeImage(const CStdString& image);
  const CStdString& GetNormalImage() const { return normalImage_; }
  bool IsHot() const { return hot_; }
  bool IsPushed() const { return pushed_; }

  bool Activate() override;
  void SetAttribute(std::string_view name, std::string_view value) override;
  void DoEvent(TEventUI& event) override;
  void DoPaint(toolkit::Renderer& renderer) override;

 protected:
  // The state image to draw, chosen from the state; empty when there is none.
  virtual CStdString StateImage() const;
  virtual uint32_t StateTextColor() const;

  CStdString normalImage_, hotImage_, pushedImage_, focusedImage_, disabledImage_, foreImage_;
  uint32_t hotTextColor_ = 0;
  uint32_t pushedTextColor_ = 0;
  bool hot_ = false;
  bool pushed_ = false;
};

class COptionUI : public CButtonUI {
 public:
  ~COptionUI() override;
  CStdString GetClass() const override { return "OptionUI"; }
  void* GetInterface(std::string_view name) override;

  bool IsSelected() const { return selected_; }
  // Selecting an option of a group deselects the others; tells "selectchanged" when it changes.
  void Selected(bool selected);
  const CStdString& GetGroup() const { return group_; }
  void SetGroup(const CStdString& group);
  void SetSelectedImage(const CStdString& image);

  bool Activate() override;
  void SetAttribute(std::string_view name, std::string_view value) override;

 protected:
  CStdString StateImage() const override;
  uint32_t StateTextColor() const override;

  CStdString group_;
  CStdString selectedImage_, selectedHotImage_;
  uint32_t selectedTextColor_ = 0;
  bool selected_ = false;
};
