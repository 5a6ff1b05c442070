#pragma once
// CLabelUI shows one text with a font, colour, alignment and padding; CTextUI is a label whose
// text may wrap over several lines.

#include "toolkit/controls/control.h"

class CLabelUI : public CControlUI {
 public:
  CStdString GetClass() const override { return "LabelUI"; }
  void* GetInterface(std::string_view name) override;

  // Index into the window's fonts; -1 is the default font.
  void SetFont(int index);
  int GetFont() const { return font_; }
  void SetTextColor(uint32_t argb);
  uint32_t GetTextColor() const { return textColor_; }
  void SetDisabledTextColor(uint32_t argb) { disabledTextColor_ = argb; }
  void SetTextPadding(const RECT& rc) { textPadding_ = rc; }
  const CRect& GetTextPadding() const { return textPadding_; }
  // Inline markup ({c #rrggbb}...{/c}) in the text; on unless the skin says showhtml="false".
  // Labels that show what users or the web service wrote turn it off, so braces in a name stay
  // text.
  void SetShowHtml(bool on);
  bool IsShowHtml() const { return showHtml_; }
  unsigned GetTextStyle() const { return textStyle_; }

  void SetAttribute(std::string_view name, std::string_view value) override;
  void DoPaint(toolkit::Renderer& renderer) override;

 protected:
  // The text as drawn (an edit in password mode shows bullets).
  virtual CStdString DisplayText() const { return text_; }
  void PaintText(toolkit::Renderer& renderer, uint32_t color);
  uint32_t CurrentTextColor() const;

  int font_ = -1;
  uint32_t textColor_ = 0xFF000000u;
  uint32_t disabledTextColor_ = 0xFFA7A6AAu;
  CRect textPadding_;
  unsigned textStyle_ = 0x20 | 0x4;  // single line, vertically centred, left
  bool showHtml_ = true;
};

class CTextUI : public CLabelUI {
 public:
  CTextUI();
  CStdString GetClass() const override { return "TextUI"; }
  void* GetInterface(std::string_view name) override;
};
