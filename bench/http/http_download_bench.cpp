// Downloads one large body from a loopback server with WinHttpClient and with the curl tool, each in
// a child process of its own, and prints wall time and peak resident memory of both.
//
//   http_download_bench [megabytes=200] [rounds=3]
//
// The body is generated as it is served, so the server costs no memory; each client runs in a fresh
// process, so its peak resident size is its own. WinHttpClient holds the body in memory against
// curl streaming to /dev/null, which keeps nothing, and against curl writing into a tmpfs file, which
// keeps the whole body in memory as well; in the "file" rows both write the body to a file as it
// arrives, the way the updater saves a release.

#include <fcntl.h>
#include <httplib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/number_text.h"
#include "common/http/win_http_client.h"

namespace {

struct Measurement {
  double seconds = 0;
  double cpuSeconds = 0;  // user and system time of the client
  long peakKiB = 0;
  bool ok = false;
};

// Runs argv as a child; wall time and the child's own peak resident size.
Measurement RunChild(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  auto begin = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    execvp(argv[0], argv.data());
    _exit(127);
  }
  Measurement m;
  if (pid < 0) return m;
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid) return m;
  m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  m.peakKiB = usage.ru_maxrss;
  m.cpuSeconds =
      std::chrono::duration<double>(std::chrono::seconds(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                                    std::chrono::microseconds(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec))
          .count();
  m.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return m;
}

// Child mode: one download with WinHttpClient, into memory or, as the updater does it, into a file.
int Fetch(const std::string& url, size_t expected, const char* saveTo) {
  WinHttpClient client(url);
  client.userAgent = WinHttpClient::kBrowserUserAgent;
  client.maxResponseBytes = WinHttpClient::kMaxReleaseBytes;
  int fd = -1;
  if (saveTo) {
    fd = open(saveTo, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return 1;
    client.responseFile = fd;
  }
  const bool ok = client.SendRequest("GET", false) && client.GetResponseLength() == expected;
  return ok && (fd < 0 || close(fd) == 0) ? 0 : 1;
}

double Report(const char* name, std::vector<Measurement>& runs, size_t bytes) {
  std::vector<double> cpu;
  for (const Measurement& m : runs) cpu.push_back(m.cpuSeconds);
  std::sort(cpu.begin(), cpu.end());
  std::sort(runs.begin(), runs.end(), [](const Measurement& a, const Measurement& b) { return a.seconds < b.seconds; });
  const Measurement& median = runs[runs.size() / 2];
  long peak = 0;
  bool ok = true;
  for (const Measurement& m : runs) {
    peak = std::max(peak, m.peakKiB);
    ok = ok && m.ok;
  }
  // Figures with a point whatever the locale, as every number the project writes.
  using platform::FixedText;
  std::printf("%-28s %8s s  %8s MB/s  CPU %6s s  peak RSS %8s MiB%s\n", name, FixedText(median.seconds, 3).c_str(),
              FixedText(static_cast<double>(bytes) / 1e6 / median.seconds, 1).c_str(),
              FixedText(cpu[cpu.size() / 2], 3).c_str(), FixedText(static_cast<double>(peak) / 1024.0, 1).c_str(),
              ok ? "" : "  (FAILED)");
  return median.seconds;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 4 && std::string(argv[1]) == "--fetch") {
    return Fetch(argv[2], std::strtoull(argv[3], nullptr, 10), argc >= 5 ? argv[4] : nullptr);
  }
  size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 200;
  int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  const size_t total = megabytes * 1000 * 1000;

  std::string block(64 * 1024, '\0');
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 131 + 7);
  httplib::Server server;
  server.Get("/release.bin", [&](const httplib::Request&, httplib::Response& res) {
    res.set_content_provider(total, "application/octet-stream",
                             [&](size_t offset, size_t length, httplib::DataSink& sink) {
                               size_t n = std::min({length, block.size(), total - offset});
                               return sink.write(block.data(), n);
                             });
  });
  int port = server.bind_to_any_port("127.0.0.1");
  if (port <= 0) return 1;
  std::thread serving([&] { server.listen_after_bind(); });
  while (!server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(5));

  std::string url = "http://127.0.0.1:" + std::to_string(port) + "/release.bin";
  std::string self = "/proc/self/exe";
  char exe[4096];
  ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n > 0) self.assign(exe, static_cast<size_t>(n));
  std::string file = "/tmp/vymera-bench-" + std::to_string(getpid()) + ".bin";
  std::string memoryFile = "/dev/shm/vymera-bench-" + std::to_string(getpid()) + ".bin";

  std::printf("%zu MB over loopback, %d rounds each (median time and CPU, highest peak)\n", megabytes, rounds);
  std::vector<Measurement> ours, curl, curlMemory, oursSave, curlSave;
  for (int i = 0; i < rounds; ++i) {
    ours.push_back(RunChild({self, "--fetch", url, std::to_string(total)}));
    curl.push_back(RunChild({"curl", "-s", "-f", "-o", "/dev/null", url}));
    curlMemory.push_back(RunChild({"curl", "-s", "-f", "-o", memoryFile, url}));
    std::remove(memoryFile.c_str());
    oursSave.push_back(RunChild({self, "--fetch", url, std::to_string(total), file}));
    curlSave.push_back(RunChild({"curl", "-s", "-f", "-o", file, url}));
  }
  std::remove(file.c_str());
  double inMemory = Report("WinHttpClient (in memory)", ours, total);
  double curlNull = Report("curl -o /dev/null", curl, total);
  double curlKept = Report("curl -o a tmpfs file", curlMemory, total);
  double toFile = Report("WinHttpClient to a file", oursSave, total);
  double curlFile = Report("curl -o file", curlSave, total);
  // Speed against curl's: above 1 is faster.
  std::printf("speed against curl: in memory %sx (%sx against the body kept in a tmpfs), to a file %sx\n",
              platform::FixedText(curlNull / inMemory, 2).c_str(), platform::FixedText(curlKept / inMemory, 2).c_str(),
              platform::FixedText(curlFile / toFile, 2).c_str());

  server.stop();
  serving.join();
  return 0;
}
