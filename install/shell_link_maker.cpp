// Where the links land, the same on every platform but for the links' ending.
#include "install/shell_link_maker.h"

#include "platform/paths.h"

bool ShellLinkMaker::Fail(const char* text) {
  error_ = text;
  return false;
}

std::string ShellLinkMaker::DesktopLinkPath(const std::string& name) const {
  return places_.desktop.empty() ? std::string() : platform::JoinPath(places_.desktop, name + kExtension);
}

std::string ShellLinkMaker::QuickLaunchLinkPath(const std::string& name) const {
  return places_.quickLaunch.empty() ? std::string() : platform::JoinPath(places_.quickLaunch, name + kExtension);
}

std::string ShellLinkMaker::GroupFolder(const std::string& folderName) const {
  return places_.applications.empty() ? std::string() : platform::JoinPath(places_.applications, folderName);
}

std::string ShellLinkMaker::ProgramsLinkPath(const std::string& folderName, const std::string& linkName) const {
  std::string group = GroupFolder(folderName);
  return group.empty() ? group : platform::JoinPath(group, linkName + kExtension);
}
