// publish: a new release of the client, copied into the release folder and offered to updaters.

#include <climits>
#include <ctime>
#include <filesystem>

#include "platform/file_io.h"
#include "platform/paths.h"
#include "service/admin/argument_list.h"
#include "service/admin/release_signer.h"
#include "service/admin/commands.h"
#include "service/wire/strict_number.h"

namespace service {
namespace {

// Four dot-separated numbers of 0–65535, as a file version has.
bool IsVersion(const std::string& text) {
  size_t parts = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('.', start);
    if (end == std::string::npos) end = text.size();
    if (!ParseUnsigned(std::string_view(text).substr(start, end - start), 65535)) return false;
    ++parts;
    start = end + 1;
  }
  return parts == 4;
}

// How the client compares versions: the digits with the dots left out, read as one number that
// stops at the 32-bit limit. A release is only offered if it is larger by this reading.
int64_t ClientOrder(const std::string& version) {
  int64_t value = 0;
  for (char c : version) {
    if (c == '.') continue;
    value = std::min<int64_t>(INT32_MAX, value * 10 + (c - '0'));
  }
  return value;
}

bool IsPlainFileName(const std::string& name) {
  if (name.empty() || name[0] == '.' || name.size() > 128) return false;
  for (char c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != '_') return false;
  return true;
}

}  // namespace

int PublishCommand(const Words& arguments, ServiceData& data, std::ostream& out, std::ostream& err) {
  ArgumentList list(arguments, {"force", "unsigned"});
  if (!list.ok() || !list.Unknown({"force", "key", "unsigned"}).empty() || list.words().size() != 2 ||
      (list.Has("key") && list.Has("unsigned"))) {
    err << "usage: publish VERSION FILE [--force] [--key PRIVATE_KEY.pem | --unsigned]\n";
    return 2;
  }
  const std::string& version = list.words()[0];
  const std::string& source = list.words()[1];
  if (!IsVersion(version)) {
    err << "the version must be four numbers like 1.0.0.2\n";
    return 2;
  }
  std::string name = std::filesystem::path(source).filename().string();
  if (!IsPlainFileName(name)) {
    err << "the file name may hold only letters, digits, '.', '-' and '_'\n";
    return 2;
  }
  auto latest = data.releasesOf.Latest();
  if (latest && ClientOrder(version) <= ClientOrder(latest->version) && !list.Has("force")) {
    err << "clients would not take " << version << " as newer than " << latest->version
        << " (they compare the digits without the dots as one number); use --force to publish anyway\n";
    return 1;
  }
  auto bytes = platform::ReadWholeFile(source);
  if (!bytes) {
    err << "cannot read " << source << "\n";
    return 1;
  }
  // The key given, else this build's developer key; unsigned only when asked for by name.
  std::string keyPath = list.Has("key") ? list.Text("key") : std::string(DeveloperReleaseKey());
  if (keyPath.empty() && !list.Has("unsigned")) {
    err << "this build has no release key of its own: sign with --key PRIVATE_KEY.pem, or give --unsigned "
           "for updaters built with VYMERA_UNSIGNED_UPDATES (every other updater refuses an unsigned release)\n";
    return 1;
  }
  std::string signature;
  if (!list.Has("unsigned")) {
    std::string problem;
    auto signed_ = SignRelease(keyPath, *bytes, problem);
    if (!signed_) {
      err << "cannot sign with " << keyPath << ": " << problem << "\n";
      return 1;
    }
    signature = *signed_;
  }
  std::error_code error;
  std::filesystem::create_directories(data.releaseFolder, error);
  std::string target = platform::JoinPath(data.releaseFolder, name);
  if (!platform::WriteFileAtomically(target, *bytes)) {
    err << "cannot write " << target << "\n";
    return 1;
  }
  if (!data.releasesOf.Publish({version, name, static_cast<int64_t>(std::time(nullptr)), signature})) {
    err << "could not record the release\n";
    return 1;
  }
  out << "published " << version << " as " << target
      << (signature.empty() ? std::string(" (unsigned)") : " (signed with " + keyPath + ")") << "\n";
  return 0;
}

}  // namespace service
