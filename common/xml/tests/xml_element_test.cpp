#include "common/xml/xml_element.h"

#include <gtest/gtest.h>

#include "common/xml/xml_document.h"
#include "platform/file_io.h"
#include "testing/temp_folder.h"

using testing_support::TempFolder;

namespace {

// A document whose root is an empty element of the given name.
XmlDocument WithRoot(const std::string& name) {
  XmlDocument document;
  document.LoadText("<" + name + "/>");
  return document;
}

}  // namespace

TEST(XmlElement, FindChildComparesExactlyAndCreatesOnRequest) {
  XmlDocument document = WithRoot("UserList");
  XmlElement& root = document.Root();
  root.AddChild("user_res");
  EXPECT_EQ(root.IndexOfChild("user_res"), 0);
  EXPECT_EQ(root.IndexOfChild("User_res"), -1);
  EXPECT_EQ(root.FindChild("USER_RES"), nullptr);
  XmlElement* created = root.FindChild("datalist", true);
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(root.ChildCount(), 2);
  EXPECT_EQ(created->Parent(), &root);
  EXPECT_EQ(root.FindChild("datalist", true), created);  // found, not created twice
  EXPECT_EQ(root.Child(2), nullptr);
  EXPECT_EQ(root.Child(-1), nullptr);
}

TEST(XmlElement, NamesGivenByCallersAreEscapedAndFoundUnescaped) {
  XmlDocument document;
  XmlElement& root = document.Root();
  root.FindChild("a&b", true);
  EXPECT_EQ(root.Child(0)->EscapedName(), "a&amp;b");
  EXPECT_EQ(root.Child(0)->Name(), "a&b");
  EXPECT_EQ(root.IndexOfChild("a&b"), 0);
}

TEST(XmlElement, AddChildReadsTagText) {
  XmlDocument document;
  XmlElement& root = document.Root();
  XmlElement& child = root.AddChild("scaledata weight=\"65.5\" time=\"2026-1-2\" exacttime=\"x y\"");
  EXPECT_EQ(child.Name(), "scaledata");
  ASSERT_EQ(child.AttributeCount(), 3);
  EXPECT_EQ(child.AttributeName(1), "time");
  EXPECT_EQ(child.AttributeValue("exacttime", ""), "x y");
  EXPECT_EQ(child.AttributeValue("missing", "fallback"), "fallback");
  EXPECT_EQ(child.AttributeValue(7), "");
}

TEST(XmlElement, AttributesAppendWithoutReplacing) {
  XmlDocument document = WithRoot("e");
  XmlElement& element = document.Root();
  element.AddAttribute("k", "1");
  element.AddAttribute("k", "<2>");
  ASSERT_EQ(element.AttributeCount(), 2);
  EXPECT_EQ(element.FindAttribute("k")->value, "1");
  EXPECT_EQ(element.AttributeValue(1), "<2>");
  EXPECT_EQ(element.Attributes()[1].value, "&lt;2&gt;");
}

TEST(XmlElement, RemoveChildMovesLaterChildrenAndKeepsTextsBetweenThem) {
  XmlDocument document;
  XmlElement& root = document.Root();
  root.AddChild("a");
  root.AddText("after a");
  root.AddChild("b");
  root.AddChild("c");
  root.RemoveChild(0);
  root.RemoveChild(5);  // out of range: nothing
  ASSERT_EQ(root.ChildCount(), 2);
  EXPECT_EQ(root.Child(0)->Name(), "b");
  EXPECT_EQ(root.Contents()[0].place, 0u);  // still in front of what is now the first child
}

TEST(XmlElement, TextsCountOnlyTexts) {
  XmlDocument document = WithRoot("e");
  XmlElement& element = document.Root();
  element.AddComment("note");
  element.AddText("one & two");
  element.AddCdata("<raw>");
  element.AddText("three");
  EXPECT_EQ(element.TextCount(), 2);
  EXPECT_EQ(element.Text(0), "one & two");
  EXPECT_EQ(element.Text(1), "three");
  EXPECT_EQ(element.Text(2), "");
  EXPECT_EQ(element.Value(), "one & two");
}

TEST(XmlElement, DestroyingAVeryDeepTreeDoesNotRecurse) {
  auto document = std::make_unique<XmlDocument>();
  XmlElement* at = &document->Root();
  for (int i = 0; i < 300000; ++i) at = &at->AddChild("d");
  document.reset();  // would overflow the stack if destruction recursed
  SUCCEED();
}

TEST(XmlElement, ALeafsTextStaysInFrontOfChildrenAddedLater) {
  XmlDocument document = WithRoot("r");
  XmlElement& root = document.Root();
  root.AddText("lead");
  XmlElement& child = root.AddChild("c");
  root.AddText("tail");
  ASSERT_EQ(root.ChildCount(), 1);
  EXPECT_EQ(root.Child(0), &child);
  ASSERT_EQ(root.ContentCount(), 2);
  EXPECT_EQ(root.ContentAt(0).text, "lead");
  EXPECT_EQ(root.ContentAt(0).place, 0u);
  EXPECT_EQ(root.ContentAt(1).text, "tail");
  EXPECT_EQ(root.ContentAt(1).place, 1u);
}

TEST(XmlElement, ReadElementsTakeFurtherChildrenAttributesAndItems) {
  XmlDocument document;
  document.LoadText("<r a=\"1\"><x/><y>v</y></r>");
  XmlElement& root = document.Root();
  root.AddAttribute("b", "2");
  for (const char* name : {"z1", "z2", "z3", "z4", "z5"}) root.AddChild(name);
  root.RemoveChild(0);
  XmlElement* y = root.FindChild("y");
  ASSERT_NE(y, nullptr);
  y->AddComment("note");
  y->AddChild("inner");

  std::vector<std::string> names;
  for (const XmlElement* child : root.Children()) names.push_back(child->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"y", "z1", "z2", "z3", "z4", "z5"}));
  EXPECT_EQ(root.Child(5)->Parent(), &root);
  ASSERT_EQ(root.AttributeCount(), 2);
  EXPECT_EQ(root.AttributeValue("a", ""), "1");
  EXPECT_EQ(root.AttributeValue("b", ""), "2");
  EXPECT_EQ(y->Value(), "v");
  ASSERT_EQ(y->ContentCount(), 2);
  EXPECT_EQ(y->ContentAt(1).kind, XmlElement::ContentKind::Comment);
  EXPECT_EQ(y->Child(0)->Name(), "inner");
}

TEST(XmlElement, ChildrenCanComeBackAfterAllWereRemoved) {
  XmlDocument document;
  XmlElement& root = document.Root();
  for (int i = 0; i < 6; ++i) root.AddChild("old");
  while (root.ChildCount() > 0) root.RemoveChild(0);
  root.AddText("t");
  XmlElement& fresh = root.AddChild("new");
  ASSERT_EQ(root.ChildCount(), 1);
  EXPECT_EQ(root.Child(0), &fresh);
  EXPECT_EQ(root.Value(), "t");
  EXPECT_EQ(root.ContentAt(0).place, 0u);
}

TEST(XmlElement, AdditionsToAFullDocumentAreDroppedAndSaveRefusesIt) {
  XmlDocument document(256 << 10);
  XmlElement& root = document.Root();
  const std::string value(1000, 'v');
  int added = 0;
  for (; added < 1000; ++added) {
    XmlElement& child = root.AddChild("item");
    child.AddText(value);
    if (child.Parent() != &root) break;  // a stand-in: the document is full
  }
  EXPECT_LT(added, 1000);
  EXPECT_EQ(root.ChildCount(), added);
  EXPECT_EQ(root.FindChild("more", true)->Parent(), nullptr);
  EXPECT_FALSE(document.Serialize());
  TempFolder dir;
  EXPECT_FALSE(document.Save(dir.File("full.xml")));
  EXPECT_FALSE(platform::PathExists(dir.File("full.xml")));
}
