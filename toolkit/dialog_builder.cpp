#include "toolkit/dialog_builder.h"

#include "common/xml/xml_document.h"
#include "toolkit/controls/button.h"
#include "toolkit/controls/container.h"
#include "toolkit/controls/edit.h"
#include "toolkit/controls/label.h"
#include "toolkit/controls/chart.h"
#include "toolkit/controls/progress.h"
#include "toolkit/paint_manager.h"
#include "toolkit/skin/image_spec.h"
#include "toolkit/skin/resource_source.h"

namespace toolkit {

CControlUI* CreateStandardControl(std::string_view name) {
  if (name == "Control") return new CControlUI();
  if (name == "Label") return new CLabelUI();
  if (name == "Text") return new CTextUI();
  if (name == "Button") return new CButtonUI();
  if (name == "Option") return new COptionUI();
  if (name == "Edit") return new CEditUI();
  if (name == "Progress") return new CProgressUI();
  if (name == "Chart") return new CChartUI();
  if (name == "RichEdit") return new CRichEditUI();
  if (name == "Container") return new CContainerUI();
  if (name == "VerticalLayout") return new CVerticalLayoutUI();
  if (name == "HorizontalLayout") return new CHorizontalLayoutUI();
  if (name == "TabLayout") return new CTabLayoutUI();
  return nullptr;
}

namespace {
bool ParseSize(std::string_view v, int& a, int& b) {
  size_t comma = v.find(',');
  if (comma == std::string_view::npos) return false;
  a = ParseIntValue(v.substr(0, comma));
  b = ParseIntValue(v.substr(comma + 1));
  return true;
}
}  // namespace

}  // namespace toolkit

CControlUI* CDialogBuilder::Create(const CStdString& xml, LPCTSTR, IDialogBuilderCallback* callback,
                                   CPaintManagerUI* manager, CControlUI* parent) {
  callback_ = callback;
  manager_ = manager;
  built_ = 0;
  error_.clear();
  if (parent && !parent->GetInterface("Container")) {
    error_ = "the parent of a skin must be a container";
    return nullptr;
  }
  std::string text;
  if (!xml.IsEmpty() && xml.GetAt(0) == U'<') {
    text = xml.str();
  } else {
    auto bytes = CPaintManagerUI::CurrentResources().Read(xml.str());
    if (!bytes) {
      error_ = "cannot read skin file " + xml.str();
      return nullptr;
    }
    text = std::move(*bytes);
  }
  XmlDocument doc;
  doc.LoadText(text);
  const XmlElement& root = doc.Root();
  CControlUI* first = nullptr;
  if (root.Name() == "Window") {
    if (manager) ApplyWindow(root, manager);
    BuildChildren(root, parent, first, 0);
  } else {
    KeepTopLevel(BuildControl(root, parent, 0), parent, first);
  }
  if (!first) error_ = "no control in skin " + (xml.GetAt(0) == U'<' ? std::string("text") : xml.str());
  return first;
}

void CDialogBuilder::ApplyWindow(const XmlElement& window, CPaintManagerUI* manager) {
  for (int i = 0; i < window.AttributeCount(); ++i) {
    std::string name = window.AttributeName(i);
    std::string value = window.AttributeValue(i);
    int a = 0, b = 0;
    if (name == "size" && toolkit::ParseSize(value, a, b)) {
      manager->SetInitSize(a, b);
    } else if (name == "mininfo" && toolkit::ParseSize(value, a, b)) {
      manager->SetMinInfo(a, b);
    } else if (name == "maxinfo" && toolkit::ParseSize(value, a, b)) {
      manager->SetMaxInfo(a, b);
    } else if (name == "roundcorner" && toolkit::ParseSize(value, a, b)) {
      manager->SetRoundCorner(a, b);
    } else if (name == "caption") {
      if (auto r = toolkit::ParseRectValue(value)) manager->SetCaptionRect(*r);
    } else if (name == "sizebox") {
      if (auto r = toolkit::ParseRectValue(value)) manager->SetSizeBox(*r);
    } else if (name == "bktrans") {
      manager->SetBackgroundTransparent(toolkit::ParseBool(value));
    } else if (name == "alpha") {
      manager->SetTransparent(toolkit::ParseIntValue(value, 255));
    }
  }
}

void CDialogBuilder::BuildChildren(const XmlElement& element, CControlUI* parent, CControlUI*& first, int depth) {
  for (int i = 0; i < element.ChildCount(); ++i) {
    const XmlElement& child = *element.Child(i);
    std::string name = child.Name();
    if (name == "Font") {
      if (!manager_) continue;
      toolkit::FontSpec font;
      font.family = child.AttributeValue("name", "Sans");
      font.size = toolkit::ParseIntValue(child.AttributeValue("size", "12"), 12);
      font.bold = toolkit::ParseBool(child.AttributeValue("bold", "false"));
      font.underline = toolkit::ParseBool(child.AttributeValue("underline", "false"));
      font.italic = toolkit::ParseBool(child.AttributeValue("italic", "false"));
      manager_->AddFont(font, toolkit::ParseBool(child.AttributeValue("default", "false")));
    } else if (name == "Default") {
      if (manager_) {
        manager_->AddDefaultAttributeList(CStdString(child.AttributeValue("name", "")),
                                          CStdString(child.AttributeValue("value", "")));
      }
    } else if (name == "Include") {
      Include(child, parent, first, depth);
    } else if (name == "Image") {
      // images are loaded when first drawn
    } else {
      KeepTopLevel(BuildControl(child, parent, depth), parent, first);
    }
  }
}

void CDialogBuilder::KeepTopLevel(CControlUI* control, CControlUI* parent, CControlUI*& first) {
  if (!control) return;
  if (!first) {
    first = control;
  } else if (!parent) {
    delete control;  // nothing would hold it
    error_ = "only the first control at the top of the skin is used";
  }
}

void CDialogBuilder::Include(const XmlElement& element, CControlUI* parent, CControlUI*& first, int depth) {
  if (depth >= kMaxIncludeDepth) {
    error_ = "skin files include each other too deeply";
    return;
  }
  std::string source = element.AttributeValue("source", "");
  int count = std::max(1, toolkit::ParseIntValue(element.AttributeValue("count", "1"), 1));
  auto bytes = CPaintManagerUI::CurrentResources().Read(source);
  if (!bytes) {
    error_ = "cannot read included skin file " + source;
    return;
  }
  XmlDocument doc;
  doc.LoadText(*bytes);
  if (count > kMaxIncludeCount) {
    error_ = "an Include repeats its file more than " + std::to_string(kMaxIncludeCount) + " times";
    count = kMaxIncludeCount;
  }
  for (int k = 0; k < count && built_ < kMaxControls; ++k) {
    if (doc.Root().Name() == "Window") {
      BuildChildren(doc.Root(), parent, first, depth + 1);
    } else {
      KeepTopLevel(BuildControl(doc.Root(), parent, depth + 1), parent, first);
    }
  }
}

CControlUI* CDialogBuilder::MakeControl(const std::string& className) {
  if (CControlUI* c = toolkit::CreateStandardControl(className)) return c;
  if (callback_) return callback_->CreateControl(className.c_str());
  return nullptr;
}

CControlUI* CDialogBuilder::BuildControl(const XmlElement& element, CControlUI* parent, int depth) {
  if (built_ >= kMaxControls) {
    error_ = "a skin builds more than " + std::to_string(kMaxControls) + " controls";
    return nullptr;
  }
  std::string className = element.Name();
  CControlUI* control = MakeControl(className);
  if (!control) return nullptr;
  ++built_;
  auto* container = static_cast<CContainerUI*>(control->GetInterface("Container"));
  control->SetManager(manager_, parent);
  if (manager_) {
    if (const CStdString* defaults = manager_->GetDefaultAttributeList(className)) control->ApplyAttributeList(*defaults);
  }
  for (int i = 0; i < element.AttributeCount(); ++i) {
    control->SetAttribute(element.AttributeName(i), element.AttributeValue(i));
  }
  if (container) {
    CControlUI* ignored = nullptr;
    BuildChildren(element, container, ignored, depth);
  }
  if (parent) {
    if (auto* p = static_cast<CContainerUI*>(parent->GetInterface("Container"))) p->Add(control);
  }
  return control;
}
