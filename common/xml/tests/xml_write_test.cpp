#include <filesystem>
#include <vector>

#include <gtest/gtest.h>

#include "common/xml/xml_document.h"
#include "common/xml/xml_writer.h"
#include "platform/file_io.h"
#include "testing/temp_folder.h"

using testing_support::TempFolder;

namespace {

const std::string kDecl(XmlDocument::kStandardDeclaration);

std::string Written(const XmlElement& element) {
  std::string text;
  XmlOutput out(XmlDocument::kMaxTextBytes, [&text](std::string_view bytes) {
    text.append(bytes);
    return true;
  });
  WriteXmlElement(element, out);
  EXPECT_TRUE(out.Finish());
  return text;
}

}  // namespace

TEST(XmlWrite, InstallerUserFileIsWrittenBackWithAnEmptyRoot) {
  TempFolder dir;
  std::string path = dir.File("userinfoset.xml");
  platform::WriteFileAtomically(path, kDecl + "\r\n<UserList>\r\n</UserList>\r\n");
  XmlDocument document;
  document.LoadFile(path);
  ASSERT_TRUE(document.Save());
  EXPECT_EQ(platform::ReadWholeFile(path).value(), kDecl + "\r\n<UserList/>\r\n");
}

TEST(XmlWrite, LayoutOfChildrenTextsCommentsAndAttributes) {
  XmlDocument document;
  document.LoadText(kDecl + "<UserList/>");
  XmlElement& user = document.Root().AddChild("user_res");
  user.FindChild("uid", true)->AddText("42");
  user.FindChild("uname", true)->AddText("A&B <x>");
  XmlElement* list = user.FindChild("datalist", true);
  XmlElement& reading = list->AddChild("scaledata");
  reading.AddAttribute("weight", "65.5");
  reading.AddAttribute("time", "2026-12-08");
  user.AddComment("kept");
  EXPECT_EQ(document.Serialize().value(),
            kDecl + "\r\n"
                    "<UserList>\r\n"
                    "\t<user_res>\r\n"
                    "\t\t<uid>\r\n\t\t\t42\r\n\t\t</uid>\r\n"
                    "\t\t<uname>\r\n\t\t\tA&amp;B &lt;x&gt;\r\n\t\t</uname>\r\n"
                    "\t\t<datalist>\r\n"
                    "\t\t\t<scaledata weight=\"65.5\" time=\"2026-12-08\"/>\r\n"
                    "\t\t</datalist>\r\n"
                    "\t\t<!--kept-->\r\n"
                    "\t</user_res>\r\n"
                    "</UserList>\r\n");
}

TEST(XmlWrite, InnerItemsAreWrittenBetweenTheSameChildrenAsRead) {
  XmlDocument document;
  document.LoadText("<?xml?><!--c0--><r>t0<a/><![CDATA[d1]]><b/>t2</r><!--c1-->");
  EXPECT_EQ(document.Serialize().value(),
            "<?xml?>\r\n<!--c0-->\r\n<r>\r\n\tt0\r\n\t<a/>\r\n\t<![CDATA[d1]]>\r\n\t<b/>\r\n\tt2\r\n</r>\r\n<!--c1-->\r\n");
}

TEST(XmlWrite, IndentationSettingsAndInlineContent) {
  XmlDocument document;
  document.LoadText("<r/>");
  XmlElement& root = document.Root();
  root.SetIndentation(' ', 2);
  XmlElement& child = root.AddChild("c");
  child.SetIndentation(' ', 2);
  child.SetInlineContent(true);
  child.AddText("v");
  XmlElement& mixed = root.AddChild("m");
  mixed.SetInlineContent(true);  // more than one text: not written on one line
  mixed.AddText("1");
  mixed.AddText("2");
  EXPECT_EQ(Written(root), "<r>\r\n  <c>v</c>\r\n\t<m>\r\n\t\t1\r\n\t\t2\r\n\t</m>\r\n</r>\r\n");
}

TEST(XmlWrite, SaveMakesTheDeclarationStandardAndNeedsAName) {
  TempFolder dir;
  XmlDocument unnamed;
  EXPECT_FALSE(unnamed.Save());
  unnamed.LoadText("<a/>");  // no declaration: a byte-order mark and the standard one were put in
  std::string path = dir.File("a.xml");
  ASSERT_TRUE(unnamed.Save(path, platform::FileAccess::OwnerOnly));
  EXPECT_EQ(platform::ReadWholeFile(path).value(), kDecl + "\r\n<a/>\r\n");
  EXPECT_FALSE(unnamed.Save(dir.File("missing/a.xml")));
}

TEST(XmlWrite, FindWithCreateIsWrittenBySave) {
  TempFolder dir;
  std::string path = dir.File("f.xml");
  XmlDocument document;
  document.LoadFile(path);
  document.Root().FindChild("fresh", true);
  ASSERT_TRUE(document.Save());
  XmlDocument again;
  again.LoadFile(path);
  EXPECT_EQ(again.Root().IndexOfChild("fresh"), 0);
}

TEST(XmlWrite, DeepTreesAreWrittenWithoutRecursion) {
  constexpr int kDepth = 200000;
  XmlDocument document;
  document.LoadText("<d/>");
  XmlElement& root = document.Root();
  root.SetIndentation('\t', 0);  // no indentation, so the text stays linear in the depth
  XmlElement* at = &root;
  for (int i = 1; i < kDepth; ++i) {
    at = &at->AddChild("d");
    at->SetIndentation('\t', 0);
  }
  std::string out = Written(root);
  EXPECT_EQ(out.size(), static_cast<size_t>(kDepth - 1) * (5 + 6) + 6);
  EXPECT_NE(out.find("<d>\r\n<d/>\r\n</d>\r\n</d>\r\n"), std::string::npos);
}

namespace {

size_t EntriesIn(const std::string& folder) {
  size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++entries;
  return entries;
}

}  // namespace

TEST(XmlWrite, ATreeWhoseTextCouldNotBeReadBackIsRefusedAndTheFileKept) {
  // Tab-indented, 200,000 levels take about 40 GB of text.
  constexpr int kDepth = 200000;
  TempFolder dir;
  std::string path = dir.File("deep.xml");
  ASSERT_TRUE(platform::WriteFileAtomically(path, "old"));
  XmlDocument document;
  std::vector<XmlElement*> levels{&document.Root()};
  for (int i = 1; i < kDepth; ++i) levels.push_back(&levels.back()->AddChild("d"));
  EXPECT_FALSE(document.Serialize());
  EXPECT_FALSE(document.Save(path));
  EXPECT_EQ(platform::ReadWholeFile(path).value(), "old");
  EXPECT_EQ(EntriesIn(dir.path()), 1u);

  // Without indentation the same tree is small enough, and is written whole.
  for (XmlElement* level : levels) level->SetIndentation('\t', 0);
  ASSERT_TRUE(document.Save(path));
  XmlDocument again;
  again.LoadFile(path);
  EXPECT_EQ(again.State(), XmlDocument::Read);
  int depth = 1;
  for (const XmlElement* at = &again.Root(); at->ChildCount() > 0; at = at->Child(0)) ++depth;
  EXPECT_EQ(depth, kDepth);
}

TEST(XmlWrite, AHostileDeepUserFileIsLeftAloneWhenAUserIsStored) {
  // What the user store does with a list that read whole: replace one user, save for the owner.
  TempFolder dir;
  std::string path = dir.File("userinfoset.xml");
  std::string text = kDecl + "\r\n<UserList><user_res><uid>7</uid></user_res><user_res>";
  for (int i = 0; i < 200000; ++i) text += "<d>";
  for (int i = 0; i < 200000; ++i) text += "</d>";
  text += "</user_res></UserList>\r\n";
  ASSERT_TRUE(platform::WriteFileAtomically(path, text));
  XmlDocument document;
  document.LoadFile(path);
  ASSERT_EQ(document.State(), XmlDocument::Read);
  ASSERT_EQ(document.Root().Name(), "UserList");
  document.Root().RemoveChild(0);
  document.Root().AddChild("user_res").AddChild("uid").AddText("7");
  EXPECT_FALSE(document.Save(path, platform::FileAccess::OwnerOnly));
  EXPECT_EQ(platform::ReadWholeFile(path).value(), text);
  EXPECT_EQ(EntriesIn(dir.path()), 1u);
}
