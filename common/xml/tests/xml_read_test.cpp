#include <gtest/gtest.h>

#include "common/xml/xml_document.h"
#include "platform/codepage.h"
#include "platform/file_io.h"
#include "testing/temp_folder.h"

using testing_support::TempFolder;

namespace {

const std::string kDecl(XmlDocument::kStandardDeclaration);

XmlDocument Load(std::string_view text) {
  XmlDocument document;
  document.LoadText(text);
  return document;
}

}  // namespace

TEST(XmlRead, InstallerUserFileLoadsWithAnEmptyUserList) {
  XmlDocument document;
  document.LoadFile(std::string(VYMERA_TEST_DATA) + "/userinfoset.xml");
  EXPECT_EQ(document.State(), XmlDocument::Read);
  EXPECT_EQ(document.Root().Name(), "UserList");
  EXPECT_EQ(document.Root().ChildCount(), 0);
  EXPECT_EQ(document.Root().TextCount(), 0);
  EXPECT_EQ(document.Header().declaration, kDecl);
  EXPECT_TRUE(document.Validate());
}

TEST(XmlRead, MissingOrEmptyInputGivesTheDefaultDocument) {
  TempFolder dir;
  XmlDocument missing;
  missing.LoadFile(dir.File("none.xml"));
  EXPECT_EQ(missing.Root().Name(), "root");
  EXPECT_EQ(missing.Header().declaration, kDecl);
  EXPECT_EQ(missing.SourceName(), dir.File("none.xml"));

  XmlDocument empty = Load("");
  EXPECT_EQ(empty.Root().Name(), "root");
  EXPECT_EQ(empty.Header().declaration, kDecl);
  EXPECT_TRUE(empty.Validate());
}

TEST(XmlRead, TextWithoutDeclarationOrMarkupGetsDefaults) {
  XmlDocument noDeclaration = Load("<a><b/></a>");
  EXPECT_EQ(noDeclaration.State(), XmlDocument::Defaults);
  EXPECT_EQ(noDeclaration.Header().declaration, "\xEF\xBB\xBF" + kDecl);
  EXPECT_EQ(noDeclaration.Root().Name(), "a");
  EXPECT_EQ(noDeclaration.Root().ChildCount(), 1);

  XmlDocument noMarkup = Load("<?xml version=\"1.0\"?> just words");
  EXPECT_EQ(noMarkup.State(), XmlDocument::Defaults);
  EXPECT_EQ(noMarkup.Header().declaration, "<?xml version=\"1.0\"?>");
  EXPECT_EQ(noMarkup.Root().Name(), "root");

  XmlDocument html = Load("<html><body>404 Not Found</body></html>");
  EXPECT_EQ(html.State(), XmlDocument::Defaults);
  EXPECT_EQ(html.Root().Name(), "html");
}

TEST(XmlRead, UnbalancedStartTagGivesStateTwoAndIsNotRead) {
  XmlDocument document = Load(kDecl + "<UserList><user_res><uid>1</uid></UserList>");
  EXPECT_EQ(document.State(), XmlDocument::Unbalanced);
  EXPECT_EQ(document.Root().Name(), "root");
  EXPECT_EQ(document.Root().ChildCount(), 0);

  XmlDocument truncated = Load(kDecl + "<UserList><user_res><uid>1</u");
  EXPECT_EQ(truncated.State(), XmlDocument::Unbalanced);
}

TEST(XmlRead, EndTagsMatchByDepthNotByName) {
  // "</b>" closes <a>; "</a>" closes <r>; the stray "</r>" at the top level ends the reading.
  XmlDocument document = Load(kDecl + "<r><a></b><c/></a></r><ignored/>");
  EXPECT_EQ(document.State(), XmlDocument::Read);
  ASSERT_EQ(document.Root().Name(), "r");
  ASSERT_EQ(document.Root().ChildCount(), 2);
  EXPECT_EQ(document.Root().Child(0)->Name(), "a");
  EXPECT_EQ(document.Root().Child(1)->Name(), "c");
}

TEST(XmlRead, WebAnswerWithTextsAttributesAndReferences) {
  XmlDocument document = Load(kDecl +
                              "\r\n<user_res>\r\n\t<uid> 1234 </uid>\r\n\t<uname>&#x5F20;&#19977;</uname>\r\n"
                              "\t<head_url></head_url>\r\n\t<v a=\"&#x4E2D;\" b=\"x &amp; y\"/>\r\n</user_res>\r\n");
  EXPECT_EQ(document.State(), XmlDocument::Read);
  XmlElement& root = document.Root();
  EXPECT_EQ(root.FindChild("uid")->Value(), "1234");
  EXPECT_EQ(root.FindChild("uname")->Value(), "张三");
  EXPECT_EQ(root.FindChild("head_url")->TextCount(), 0);
  EXPECT_EQ(root.FindChild("v")->AttributeValue("a", ""), "\xE4\xB8\xAD");
  EXPECT_EQ(root.FindChild("v")->AttributeValue("b", ""), "x & y");
}

TEST(XmlRead, QuotedGreaterThanAndSlashDoNotEndATag) {
  XmlDocument document = Load(kDecl + "<r><a t=\"x>y\" u=\"/>\">text</a></r>");
  EXPECT_EQ(document.State(), XmlDocument::Read);
  XmlElement* a = document.Root().FindChild("a");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->AttributeValue("t", ""), "x>y");
  EXPECT_EQ(a->AttributeValue("u", ""), "/>");
  EXPECT_EQ(a->Value(), "text");
}

TEST(XmlRead, TagTextRules) {
  // Single quotes are not values; blanks around "=" belong to the name; names stop at a quote.
  XmlDocument document = Load(kDecl + "<r><a x='1' y=\"2\"/><b k = \"v\"/></r>");
  XmlElement* a = document.Root().FindChild("a");
  ASSERT_NE(a, nullptr);
  ASSERT_EQ(a->AttributeCount(), 1);
  EXPECT_EQ(a->AttributeName(0), "x");
  EXPECT_EQ(a->AttributeValue(0), "2");
  XmlElement* b = document.Root().FindChild("b");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->AttributeName(0), "k ");
}

TEST(XmlRead, CommentsCdataAndProcessingItemsKeepTheirPlaces) {
  XmlDocument document = Load(kDecl + "<!--before--><r>\r\n  lead  \r\n<!--c1--><a/><![CDATA[<raw>&]]>tail<?pi data?></r><!--after-->");
  ASSERT_EQ(document.Header().comments.size(), 2u);
  EXPECT_EQ(document.Header().comments[0].text, "before");
  EXPECT_EQ(document.Header().comments[0].place, XmlHeader::BeforeRoot);
  EXPECT_EQ(document.Header().comments[1].text, "after");
  EXPECT_EQ(document.Header().comments[1].place, XmlHeader::AfterRoot);
  const auto& contents = document.Root().Contents();
  ASSERT_EQ(contents.size(), 5u);
  EXPECT_EQ(contents[0].text, "lead");
  EXPECT_EQ(contents[0].place, 0u);
  EXPECT_EQ(contents[1].kind, XmlElement::ContentKind::Comment);
  EXPECT_EQ(contents[2].kind, XmlElement::ContentKind::Cdata);
  EXPECT_EQ(contents[2].text, "<raw>&");
  EXPECT_EQ(contents[2].place, 1u);
  EXPECT_EQ(contents[3].text, "tail");
  EXPECT_EQ(contents[4].kind, XmlElement::ContentKind::Comment);
  EXPECT_EQ(contents[4].text, " data");  // from the fifth character up to the closing "?>"
}

TEST(XmlRead, Utf16FileIsConvertedFirst) {
  TempFolder dir;
  std::string path = dir.File("u16.xml");
  platform::WriteFileAtomically(path, "\xFF\xFE" + platform::Utf8ToUtf16Le(kDecl + "<r><n>中文</n></r>"));
  XmlDocument document;
  document.LoadFile(path);
  EXPECT_EQ(document.State(), XmlDocument::Read);
  EXPECT_EQ(document.Root().FindChild("n")->Value(), "中文");
}

TEST(XmlRead, GarbageNeverCrashesAndKeepsAValidShape) {
  std::string inputs[] = {std::string("\0\0<\0>", 5), "<<<<>>>>", "<!--", "<![CDATA[", "?><", "?></>",
                          "<a b=\"c>", "</a></b>", "<a\n><\tb/></a\n>", "<>x</>"};
  for (const std::string& text : inputs) {
    XmlDocument document = Load(text);
    EXPECT_FALSE(document.Header().declaration.empty()) << text;
    (void)document.Validate();
    EXPECT_TRUE(document.Serialize());
  }
}

TEST(XmlRead, DeepNestingLoadsWithoutRecursion) {
  constexpr int kDepth = 200000;
  std::string text = kDecl;
  for (int i = 0; i < kDepth; ++i) text += "<d>";
  for (int i = 0; i < kDepth; ++i) text += "</d>";
  XmlDocument document = Load(text);
  EXPECT_EQ(document.State(), XmlDocument::Read);
  EXPECT_TRUE(document.Validate());
  int depth = 0;
  for (const XmlElement* at = &document.Root(); at->ChildCount() > 0; at = at->Child(0)) ++depth;
  EXPECT_EQ(depth, kDepth - 1);

  text.resize(text.size() - 4);  // one end tag short: the root has no match
  XmlDocument unbalanced = Load(text);
  EXPECT_EQ(unbalanced.State(), XmlDocument::Unbalanced);
}

TEST(XmlRead, TextNeedingMoreMemoryThanTheDocumentMayHoldIsNotRead) {
  std::string text = kDecl + "<r>";
  while (text.size() < (1 << 20)) text += "<a/>";
  text += "</r>";
  XmlDocument small(1 << 20);
  small.LoadText(text);
  EXPECT_EQ(small.State(), XmlDocument::Unbalanced);
  EXPECT_EQ(small.Root().Name(), "root");

  XmlDocument roomy;
  roomy.LoadText(text);
  EXPECT_EQ(roomy.State(), XmlDocument::Read);
  EXPECT_EQ(roomy.Root().ChildCount(), static_cast<int>((text.size() - kDecl.size() - 7) / 4));
  small.LoadText(kDecl + "<r><a/></r>");  // the bound applies to each load on its own
  EXPECT_EQ(small.State(), XmlDocument::Read);
}
