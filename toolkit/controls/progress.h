#pragma once
// CProgressUI: a bar filled from the left by value between min and max, drawn with a foreground
// image that is stretched over the filled part or, when not stretched, cut to it.

#include "toolkit/controls/label.h"

class CProgressUI : public CLabelUI {
 public:
  CStdString GetClass() const override { return "ProgressUI"; }
  void* GetInterface(std::string_view name) override;

  int GetMinValue() const { return min_; }
  int GetMaxValue() const { return max_; }
  int GetValue() const { return value_; }
  void SetMinValue(int value);
  void SetMaxValue(int value);
  void SetValue(int value);
  void SetFgImage(const CStdString& image);
  const CStdString& GetFgImage() const { return fgImage_; }
  // The filled part of the control, from the values as they stand (a value beyond the range
  // fills nothing below min and everything above max).
  CRect FilledRect() const;

  void SetAttribute(std::string_view name, std::string_view value) override;
  void DoPaint(toolkit::Renderer& renderer) override;

 private:
  int min_ = 0;
  int max_ = 100;
  int value_ = 0;
  bool horizontal_ = true;
  bool stretchFore_ = true;
  CStdString fgImage_;
};
