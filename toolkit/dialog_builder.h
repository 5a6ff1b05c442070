#pragma once
// CDialogBuilder: builds a control tree from a skin file of the current resource source (or from
// skin text). The root "Window" element sets the window's size, caption band, corners, fonts and
// default attributes; "Include" pulls in another skin file in place.

#include <string>
#include <string_view>

#include "toolkit/controls/control.h"
#include "toolkit/core/std_string.h"

class CPaintManagerUI;
class XmlElement;

// Supplies controls for class names the toolkit does not know; null leaves the element out.
class IDialogBuilderCallback {
 public:
  virtual ~IDialogBuilderCallback() = default;
  virtual CControlUI* CreateControl(LPCTSTR pstrClass) = 0;
};

class CDialogBuilder {
 public:
  // xml names a skin file, or is skin text when it starts with "<". The tree belongs to the
  // caller (or to parent when one is given, the new controls then added to it). Null when the
  // file cannot be read or holds no control; GetLastError says why.
  CControlUI* Create(const CStdString& xml, LPCTSTR type = nullptr, IDialogBuilderCallback* callback = nullptr,
                     CPaintManagerUI* manager = nullptr, CControlUI* parent = nullptr);
  const std::string& GetLastError() const { return error_; }

  // Files an Include may nest before the builder refuses (a skin including itself).
  static constexpr int kMaxIncludeDepth = 8;

 private:
  void ApplyWindow(const XmlElement& window, CPaintManagerUI* manager);
  // Builds the element's children; the first control built is returned through first.
  void BuildChildren(const XmlElement& element, CControlUI* parent, CControlUI*& first, int depth);
  CControlUI* BuildControl(const XmlElement& element, CControlUI* parent, int depth);
  void Include(const XmlElement& element, CControlUI* parent, CControlUI*& first, int depth);
  CControlUI* MakeControl(const std::string& className);

  IDialogBuilderCallback* callback_ = nullptr;
  CPaintManagerUI* manager_ = nullptr;
  std::string error_;
};

namespace toolkit {
// Controls of the toolkit's own classes by their skin element name; null for unknown names.
CControlUI* CreateStandardControl(std::string_view className);
}  // namespace toolkit
