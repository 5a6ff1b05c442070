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
  // xml names a skin file, or is skin text when it starts with "<". Returns the first control at
  // the top of the skin. Without a parent the tree belongs to the caller, and further controls at
  // the top are dropped (one tree has one root; GetLastError tells); with a parent (a container)
  // every control at the top is added to it. Null when the file cannot be read or holds no
  // control, or parent cannot hold controls; GetLastError says why.
  CControlUI* Create(const CStdString& xml, LPCTSTR type = nullptr, IDialogBuilderCallback* callback = nullptr,
                     CPaintManagerUI* manager = nullptr, CControlUI* parent = nullptr);
  const std::string& GetLastError() const { return error_; }

  // Skins come from files anyone can edit, so what one skin may build is bounded: files an
  // Include may nest (a skin including itself), how often one Include repeats its file (a count
  // of millions must not run on, even over a file that builds nothing), and the controls of one
  // build (nested repeated Includes multiply). Beyond them the builder stops and says so.
  static constexpr int kMaxIncludeDepth = 8;
  static constexpr int kMaxIncludeCount = 100;
  static constexpr int kMaxControls = 10000;

 private:
  void ApplyWindow(const XmlElement& window, CPaintManagerUI* manager);
  // Builds the element's children; the first control built is returned through first.
  void BuildChildren(const XmlElement& element, CControlUI* parent, CControlUI*& first, int depth);
  CControlUI* BuildControl(const XmlElement& element, CControlUI* parent, int depth);
  void Include(const XmlElement& element, CControlUI* parent, CControlUI*& first, int depth);
  CControlUI* MakeControl(const std::string& className);
  // A control built at the top of the skin: the first is the result, later ones go to parent or,
  // without one, are dropped.
  void KeepTopLevel(CControlUI* control, CControlUI* parent, CControlUI*& first);

  IDialogBuilderCallback* callback_ = nullptr;
  CPaintManagerUI* manager_ = nullptr;
  int built_ = 0;
  std::string error_;
};

namespace toolkit {
// Controls of the toolkit's own classes by their skin element name; null for unknown names.
CControlUI* CreateStandardControl(std::string_view className);
}  // namespace toolkit
