// Where a redirect leads, and the redirects that must not be followed.

#include "common/http/redirect_target.h"

#include <gtest/gtest.h>

namespace http {
namespace {

TEST(RedirectTarget, ReadsEachKindOfReferenceAgainstTheUrlItAnswered) {
  const std::string from = "http://host:8080/a/b/page?x=1#top";
  EXPECT_EQ(RedirectTarget(from, "https://other/new"), "https://other/new");
  EXPECT_EQ(RedirectTarget(from, "//mirror/file"), "http://mirror/file");
  EXPECT_EQ(RedirectTarget(from, "/root?y=2"), "http://host:8080/root?y=2");
  EXPECT_EQ(RedirectTarget(from, "?y=2"), "http://host:8080/a/b/page?y=2");
  EXPECT_EQ(RedirectTarget(from, "next"), "http://host:8080/a/b/next");
  EXPECT_EQ(RedirectTarget("http://host", "next"), "http://host/next");
  EXPECT_EQ(RedirectTarget("http://host?q", "/x"), "http://host/x");
  // The fragment and surrounding blanks are not part of the target.
  EXPECT_EQ(RedirectTarget(from, " /new#part \r\n"), "http://host:8080/new");
}

TEST(RedirectTarget, RefusesOtherSchemesEmptyLocationsAndTheWayDownFromHttps) {
  EXPECT_EQ(RedirectTarget("http://host/", "file:///etc/passwd"), std::nullopt);
  EXPECT_EQ(RedirectTarget("http://host/", "FTP://host/x"), std::nullopt);
  EXPECT_EQ(RedirectTarget("http://host/", "javascript:alert(1)"), std::nullopt);
  EXPECT_EQ(RedirectTarget("http://host/", "  "), std::nullopt);
  EXPECT_EQ(RedirectTarget("https://host/", "http://host/"), std::nullopt);
  EXPECT_EQ(RedirectTarget("HTTPS://host/", "HTTP://host/"), std::nullopt);
  EXPECT_EQ(RedirectTarget("https://host/", "//host/x"), "https://host/x");
  EXPECT_EQ(RedirectTarget("Https://host/", "HTTPS://other/"), "HTTPS://other/");
  EXPECT_EQ(RedirectTarget("http://host/", "HTTPS://other/"), "HTTPS://other/");
}

}  // namespace
}  // namespace http
