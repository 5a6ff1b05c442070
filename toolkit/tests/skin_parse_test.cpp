#include <gtest/gtest.h>

#include "toolkit/skin/image_spec.h"
#include "toolkit/skin/markup.h"
#include "toolkit/skin/resource_source.h"

using namespace toolkit;

TEST(ImageSpec, PlainNameAndFullAttributeText) {
  auto plain = ParseImageSpec("usermenubtn.png");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->file, "usermenubtn.png");
  EXPECT_FALSE(plain->source);
  EXPECT_EQ(plain->fade, 255);

  auto level = ParseImageSpec("file='level.png' source='460,17,510,34' fade='134'");
  ASSERT_TRUE(level);
  EXPECT_EQ(level->file, "level.png");
  ASSERT_TRUE(level->source);
  EXPECT_EQ(*level->source, CRect(460, 17, 510, 34));
  EXPECT_EQ(level->fade, 134);

  auto head = ParseImageSpec("file='..\\user\\a b.png' fade='255' mask='#000001'");
  ASSERT_TRUE(head);
  EXPECT_EQ(head->file, "..\\user\\a b.png");  // blanks inside the quotes belong to the name
  ASSERT_TRUE(head->mask);
  EXPECT_EQ(*head->mask, 0x000001u);
}

TEST(ImageSpec, BadValuesKeepDefaultsAndEmptyNamesDrawNothing) {
  auto spec = ParseImageSpec("file='a.png' source='1,2,3' fade='999' mask='blue' dest=' 1, 2 ,3,4'");
  ASSERT_TRUE(spec);
  EXPECT_FALSE(spec->source);  // three numbers are not a rectangle
  EXPECT_EQ(spec->fade, 255);  // clamped
  EXPECT_FALSE(spec->mask);
  ASSERT_TRUE(spec->dest);
  EXPECT_EQ(*spec->dest, CRect(1, 2, 3, 4));
  EXPECT_EQ(ParseImageSpec("file='a.png' fade='-5'")->fade, 0);
  EXPECT_FALSE(ParseImageSpec(""));
  EXPECT_FALSE(ParseImageSpec("   "));
  EXPECT_FALSE(ParseImageSpec("file='' fade='255'"));
  auto unterminated = ParseImageSpec("file='a.png' source='1,2");
  ASSERT_TRUE(unterminated);
  EXPECT_FALSE(unterminated->source);
}

TEST(ImageSpec, Colours) {
  EXPECT_EQ(ParseColor("#FF0C6EAF"), 0xFF0C6EAFu);
  EXPECT_EQ(ParseColor("#0c6eaf"), 0xFF0C6EAFu);
  EXPECT_EQ(ParseColor("0x00FFFFFF"), 0x00FFFFFFu);
  EXPECT_EQ(ParseColor("0"), 0u);
  EXPECT_FALSE(ParseColor("#12345G"));
  EXPECT_FALSE(ParseColor("#1FFFFFFFF"));
  EXPECT_FALSE(ParseColor(""));
}

TEST(Markup, ColourRunsNestAndMalformedTagsStayText) {
  auto runs = ParseMarkup("共{c #0c6eaf}3{/c}条 {b}新{/b}");
  ASSERT_EQ(runs.size(), 4u);
  EXPECT_EQ(runs[0].text, "共");
  EXPECT_FALSE(runs[0].color);
  EXPECT_EQ(runs[1].text, "3");
  EXPECT_EQ(runs[1].color, 0xFF0C6EAFu);
  EXPECT_EQ(runs[2].text, "条 ");
  EXPECT_TRUE(runs[3].bold);

  auto nested = ParseMarkup("{c #ff0000}a{c #00ff00}b{/c}c{/c}d");
  ASSERT_EQ(nested.size(), 4u);
  EXPECT_EQ(nested[1].color, 0xFF00FF00u);
  EXPECT_EQ(nested[2].color, 0xFFFF0000u);
  EXPECT_FALSE(nested[3].color);

  EXPECT_EQ(StripMarkup("{c zz}x{/c}{q}{n}y{"), "{c zz}x{q}\ny{");
  EXPECT_EQ(StripMarkup("{/c}{/b}close without open"), "close without open");
  EXPECT_EQ(StripMarkup("{c #112233}never closed"), "never closed");
}

TEST(ResourcePaths, NormalizeFoldsAndKeepsWhatClimbsOut) {
  EXPECT_EQ(NormalizePath("a\\b\\..\\c.png"), "a/c.png");
  EXPECT_EQ(NormalizePath("..\\user\\p.png"), "../user/p.png");
  EXPECT_EQ(NormalizePath("./x//y/"), "x/y");
  EXPECT_EQ(NormalizePath("/opt/../../etc"), "/etc");
  EXPECT_EQ(NormalizePath(""), "");
  FolderSource source("/srv/app/res/");
  EXPECT_EQ(source.DiskPath("..\\user\\p.png"), "/srv/app/user/p.png");
  EXPECT_EQ(source.DiskPath("main.xml"), "/srv/app/res/main.xml");
  EXPECT_EQ(source.DiskPath("/home/u/pic.png"), "/home/u/pic.png");
  EXPECT_FALSE(source.Read(""));
}

// A user's picture names its file from a drive on Windows: it is read from there, not from inside
// the skin, and ".." stops at the drive as it stops at "/".
TEST(ResourcePaths, DrivePathsAreAbsolute) {
  EXPECT_EQ(NormalizePath("C:\\Users\\u\\..\\..\\..\\pic.png"), "C:/pic.png");
  EXPECT_EQ(NormalizePath("d:/a/./b"), "d:/a/b");
  EXPECT_TRUE(IsAbsolutePath("C:/pic.png"));
  EXPECT_FALSE(IsAbsolutePath("C:pic.png")) << "relative to a drive's folder: not a root";
  EXPECT_FALSE(IsAbsolutePath("res/C:/x"));
  FolderSource source("C:\\Program Files\\Vymera\\res");
  EXPECT_EQ(source.DiskPath("main.xml"), "C:/Program Files/Vymera/res/main.xml");
  EXPECT_EQ(source.DiskPath("..\\user\\p.png"), "C:/Program Files/Vymera/user/p.png");
  EXPECT_EQ(source.DiskPath("E:\\pictures\\p.png"), "E:/pictures/p.png");
}
