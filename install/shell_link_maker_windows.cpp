// The links are the shell's own (".lnk"), made through its link object (IShellLinkW) and saved
// through that object's file interface (IPersistFile). The start menu's group is a folder of links
// in the start menu's programs folder; the quick-launch bar is the folder of that name in the
// user's application data, which Windows keeps.
#include <windows.h>
// After windows.h.
#include <knownfolders.h>
#include <objbase.h>
#include <objidl.h>
#include <shlguid.h>
#include <shobjidl.h>

#include "install/shell_link_maker.h"
#include "platform/known_folder_windows.h"
#include "platform/paths.h"
#include "platform/special_folders.h"
#include "platform/wide_text.h"

const char* const ShellLinkMaker::kExtension = ".lnk";

namespace {

using namespace shell_link_texts;

// COM for the calling thread while the object lives. A thread whose COM was started in the other
// threading model keeps it; the link object works in either.
class ComScope {
 public:
  ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ~ComScope() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  bool Usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

 private:
  HRESULT result_;
};

// One reference to a COM interface, released once.
template <typename Interface>
class ComRef {
 public:
  ComRef() = default;
  ~ComRef() {
    if (pointer_) pointer_->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  Interface* operator->() const { return pointer_; }
  Interface* get() const { return pointer_; }
  void** Out() { return reinterpret_cast<void**>(&pointer_); }

 private:
  Interface* pointer_ = nullptr;
};

// The system's form of a path: "\" between its parts, as the link keeps it for the shell.
std::wstring NativePath(const std::string& path) {
  std::wstring wide = platform::Widen(path);
  for (wchar_t& c : wide) c = c == L'/' ? L'\\' : c;
  return wide;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

bool HasQuickLaunch() {
  std::string folder = ShortcutPlaces::ForUser().quickLaunch;
  return !folder.empty() && platform::IsFolder(folder);
}

ShortcutPlaces ShortcutPlaces::ForUser() {
  ShortcutPlaces places;
  places.desktop = platform::DesktopFolder();
  places.applications = platform::KnownFolder(FOLDERID_Programs);
  std::string roaming = platform::ConfigHome();
  if (!roaming.empty()) places.quickLaunch = platform::JoinPath(roaming, "Microsoft/Internet Explorer/Quick Launch");
  return places;
}

bool ShellLinkMaker::CreateLink(const std::string& target, const std::string& linkPath) {
  if (target.empty() || linkPath.empty()) return Fail(kNotSaved);
  ComScope com;
  ComRef<IShellLinkW> link;
  if (!com.Usable() ||
      FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.Out()))) {
    return Fail(kNoLinkObject);
  }
  // Started in its own folder, where its files lie.
  if (FAILED(link->SetPath(NativePath(target).c_str())) ||
      FAILED(link->SetWorkingDirectory(NativePath(FolderOf(target)).c_str()))) {
    return Fail(kNotSaved);
  }
  ComRef<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, file.Out()))) return Fail(kNoFileInterface);
  if (!platform::IsFolder(FolderOf(linkPath))) return Fail(kNotSaved);
  if (FAILED(file->Save(NativePath(linkPath).c_str(), TRUE))) return Fail(kNotSaved);
  return true;
}

bool ShellLinkMaker::MakeDesktopLink(const std::string& target, const std::string& name) {
  if (places_.desktop.empty() || !platform::IsFolder(places_.desktop)) return Fail(kNoFolder);
  return CreateLink(target, DesktopLinkPath(name));
}

bool ShellLinkMaker::MakeQuickLaunchLink(const std::string& target, const std::string& name) {
  if (places_.quickLaunch.empty() || !platform::IsFolder(places_.quickLaunch)) return Fail(kNoFolder);
  return CreateLink(target, QuickLaunchLinkPath(name));
}

bool ShellLinkMaker::MakeProgramsLink(const std::string& target, const std::string& folderName,
                                      const std::string& linkName) {
  if (places_.applications.empty()) return Fail(kNoFolder);
  platform::MakeFolderTree(GroupFolder(folderName));
  return CreateLink(target, ProgramsLinkPath(folderName, linkName));
}

// The start menu shows a folder of links as the group by itself: no menu or directory files.
std::string ShellLinkMaker::MenuFile(const std::string&) const { return {}; }
std::string ShellLinkMaker::DirectoryFile(const std::string&) const { return {}; }
std::string ShellLinkMaker::EntryId(const std::string&, const std::string&) { return {}; }
