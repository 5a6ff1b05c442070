// The command line of the service: the public address its answers link to.

#include <filesystem>

#include <gtest/gtest.h>

#include "service/options.h"

namespace {

std::optional<service::Options> Parse(std::vector<std::string> args) {
  std::string error;
  return service::ParseOptions(args, error);
}

TEST(ServiceOptions, ThePublicAddressIsEmptyUntilNamedAndLosesItsTrailingSlashes) {
  EXPECT_EQ(Parse({})->publicUrl, "");
  EXPECT_EQ(Parse({"--public-url", "https://updates.example.org"})->publicUrl, "https://updates.example.org");
  EXPECT_EQ(Parse({"--public-url", "http://192.0.2.7:8360//"})->publicUrl, "http://192.0.2.7:8360");
  EXPECT_EQ(Parse({"--public-url", "https://example.org/vymera/", "serve"})->publicUrl, "https://example.org/vymera");
}

TEST(ServiceOptions, APublicAddressThatCannotStartALinkIsRefused) {
  for (const char* url : {"updates.example.org", "ftp://example.org", "http://", "https:///release", "http://a b",
                          "http://example.org/?x=1", "http://example.org/#top", "http://example.org/\"><x>",
                          "javascript:alert(1)", "http://\xC3\xA9.example"}) {
    std::string error;
    EXPECT_FALSE(service::ParseOptions({"--public-url", url}, error)) << url;
    EXPECT_NE(error.find("--public-url"), std::string::npos) << url;
  }
  std::string tooLong = "https://" + std::string(300, 'a') + ".example";
  EXPECT_FALSE(Parse({"--public-url", tooLong}));
}

TEST(ServiceOptions, FilesDefaultBesideTheProgramOrInTheSystemsStateFolder) {
  std::string program = std::filesystem::path(testing::TempDir()).string();
  while (program.size() > 1 && program.back() == '/') program.pop_back();
  EXPECT_EQ(service::DefaultDataFolder(program), program);
  // Installed by the package manager: the service's state goes where the system keeps it.
  EXPECT_EQ(service::DefaultDataFolder("/usr/bin"), "/var/lib/vymera-service");
  auto named = Parse({"--db", "/srv/a.db", "--releases", "/srv/r"});
  EXPECT_EQ(named->database, "/srv/a.db");
  EXPECT_EQ(named->releases, "/srv/r");
}

}  // namespace
