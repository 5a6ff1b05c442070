#include "sim/bridge_server.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/bridge/socket_folder.h"

namespace sim {

namespace bridge = platform::bridge;
using platform::HidStatus;

struct BridgeServer::Client {
  std::unique_ptr<bridge::Connection> connection;
  std::mutex mutex;  // guards handle against Stop
  std::shared_ptr<platform::HidDevice> handle;
  std::thread thread;
  std::atomic<bool> done{false};
};

namespace {

template <class M>
std::optional<M> Decode(const bridge::Frame& frame, std::string& refusal) {
  std::optional<M> message = bridge::FromFrame<M>(frame);
  if (!message) refusal = "malformed request";
  return message;
}

bool InRange(int v, int low, int high) { return v >= low && v <= high; }

// What a peer would refuse is not sent: a clock the wire cannot carry reads as no answer.
std::optional<std::tm> WireClock(std::optional<std::tm> clock) {
  if (!clock) return clock;
  const std::tm& t = *clock;
  bool fits = InRange(t.tm_year, 100, 355) && InRange(t.tm_mon, 0, 11) && InRange(t.tm_mday, 1, 31) &&
              InRange(t.tm_hour, 0, 23) && InRange(t.tm_min, 0, 59) && InRange(t.tm_sec, 0, 60);
  return fits ? clock : std::nullopt;
}

// A socket listening on 127.0.0.1 at port and the port it got; or nothing, with the error number.
platform::UniqueFd ListenOnLoopback(uint16_t port, uint16_t& bound, int& failure) {
  failure = 0;
  platform::UniqueFd fd(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!fd) {
    failure = errno;
    return fd;
  }
  // A simulator started again at once takes its port back from the connections of the last one.
  int reuse = 1;
  setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof addr;
  if (bind(fd.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd.get(), 16) != 0 ||
      getsockname(fd.get(), reinterpret_cast<sockaddr*>(&addr), &length) != 0) {
    failure = errno;
    return {};
  }
  bound = ntohs(addr.sin_port);
  return fd;
}

}  // namespace

BridgeServer::BridgeServer(platform::HidHost& host, TrackerLink& tracker, CommandHandler commands)
    : host_(host), tracker_(tracker), commands_(std::move(commands)) {}

BridgeServer::~BridgeServer() { Stop(); }

BridgeServer::Started BridgeServer::Start(const std::string& path, std::string& error,
                                          std::optional<uint16_t> tcpPort) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof addr.sun_path) {
    error = "the socket path is too long: " + path;
    return Started::Failed;
  }
  std::string folder = bridge::FolderOf(path);
  if (!bridge::PrivateFolder(folder, true)) {
    error = "the folder " + folder + " is missing, not this user's, or writable by others";
    return Started::Failed;
  }
  if (bridge::Connection::Connect(path)) {
    error = "another vymera-sim already serves " + path;
    return Started::InUse;
  }
  struct stat st {};
  if (lstat(path.c_str(), &st) == 0) {
    if (!S_ISSOCK(st.st_mode)) {
      error = path + " is there and is not a socket";
      return Started::Failed;
    }
    unlink(path.c_str());  // left by a simulator that ended without removing it
  }
  platform::UniqueFd tcp;
  uint16_t bound = 0;
  if (tcpPort) {
    int failure = 0;
    tcp = ListenOnLoopback(*tcpPort, bound, failure);
    if (!tcp) {
      error = "cannot listen on 127.0.0.1 port " + std::to_string(*tcpPort) + ": " + std::strerror(failure);
      return failure == EADDRINUSE ? Started::PortInUse : Started::Failed;
    }
  }
  std::memcpy(addr.sun_path, path.data(), path.size());
  platform::UniqueFd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  int pipeFds[2];
  if (!fd || bind(fd.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd.get(), 16) != 0 ||
      pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
    error = "cannot listen at " + path + ": " + std::strerror(errno);
    return Started::Failed;
  }
  path_ = path;
  listen_ = std::move(fd);
  tcpListen_ = std::move(tcp);
  tcpPort_ = bound;
  wakeRead_ = platform::UniqueFd(pipeFds[0]);
  wakeWrite_ = platform::UniqueFd(pipeFds[1]);
  stopping_ = false;
  acceptor_ = std::thread([this] { AcceptLoop(); });
  return Started::Ok;
}

void BridgeServer::Stop() {
  if (!acceptor_.joinable()) return;
  stopping_ = true;
  [[maybe_unused]] ssize_t n = write(wakeWrite_.get(), "x", 1);
  acceptor_.join();
  std::list<std::unique_ptr<Client>> clients;
  {
    std::lock_guard lock(mutex_);
    clients.swap(clients_);
  }
  for (auto& c : clients) {
    // A reply on its way (to "quit", say) still goes out; nothing more is taken in.
    c->connection->StopReceiving();
    std::lock_guard lock(c->mutex);
    if (c->handle) c->handle->Cancel();
  }
  for (auto& c : clients) c->thread.join();
  listen_.Close();
  tcpListen_.Close();
  tcpPort_ = 0;
  unlink(path_.c_str());
}

size_t BridgeServer::Connections() const {
  std::lock_guard lock(mutex_);
  return static_cast<size_t>(std::count_if(clients_.begin(), clients_.end(), [](const auto& c) { return !c->done; }));
}

void BridgeServer::AcceptLoop() {
  while (!stopping_) {
    pollfd p[3] = {
        {listen_.get(), POLLIN, 0}, {wakeRead_.get(), POLLIN, 0}, {tcpListen_ ? tcpListen_.get() : -1, POLLIN, 0}};
    if (poll(p, 3, -1) < 0 && errno != EINTR) return;
    char drain[64];
    while (read(wakeRead_.get(), drain, sizeof drain) > 0) {
    }
    Reap();
    if (stopping_) return;
    if (p[0].revents & POLLIN) Accept(listen_.get(), false);
    if (p[2].revents & POLLIN) Accept(tcpListen_.get(), true);
  }
}

void BridgeServer::Accept(int listening, bool tcp) {
  bridge::StreamSocket socket(accept4(listening, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
  if (!socket) return;
  if (tcp) {
    // Replies are small and answered one by one: none waits for Nagle's algorithm.
    int noDelay = 1;
    setsockopt(static_cast<int>(socket.native()), IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
  }
  std::lock_guard lock(mutex_);
  if (clients_.size() >= kMaxConnections) return;  // closed as socket goes
  auto client = std::make_unique<Client>();
  client->connection = std::make_unique<bridge::Connection>(std::move(socket));
  Client& one = *client;
  clients_.push_back(std::move(client));
  one.thread = std::thread([this, &one] { Serve(one); });
}

void BridgeServer::Reap() {
  std::list<std::unique_ptr<Client>> finished;
  {
    std::lock_guard lock(mutex_);
    for (auto it = clients_.begin(); it != clients_.end();) {
      auto next = std::next(it);
      if ((*it)->done) finished.splice(finished.end(), clients_, it);
      it = next;
    }
  }
  for (auto& c : finished) c->thread.join();
}

void BridgeServer::Serve(Client& client) {
  bridge::Connection& connection = *client.connection;
  while (!stopping_) {
    bridge::Frame request;
    bridge::IoStatus got = connection.Receive(request, std::nullopt);
    std::string refusal;
    std::optional<bridge::Frame> reply;
    if (got == bridge::IoStatus::Refused) {
      refusal = "the frame breaks the frame rules";
    } else if (got != bridge::IoStatus::Ok) {
      break;
    } else {
      reply = Answer(client, request, refusal);
    }
    if (!reply) {
      // Told why where there is something to tell, then closed: the stream cannot be trusted.
      if (!refusal.empty()) connection.Send(bridge::ToFrame(bridge::ErrorReply{refusal}), bridge::After(kReplyMs));
      break;
    }
    if (connection.Send(*reply, bridge::After(kReplyMs)) != bridge::IoStatus::Ok) break;
  }
  {
    std::lock_guard lock(client.mutex);
    client.handle.reset();
  }
  client.done = true;
  [[maybe_unused]] ssize_t n = write(wakeWrite_.get(), "x", 1);
}

std::optional<bridge::Frame> BridgeServer::Answer(Client& client, const bridge::Frame& request, std::string& refusal) {
  std::shared_ptr<platform::HidDevice> handle;
  {
    std::lock_guard lock(client.mutex);
    handle = client.handle;
  }
  switch (request.type) {
    case bridge::type::kEnumerate: {
      auto m = Decode<bridge::EnumerateRequest>(request, refusal);
      if (!m) return std::nullopt;
      bridge::InterfaceList list;
      for (platform::HidInterface& one : host_.Enumerate(m->vendorId, m->productId)) {
        if (list.interfaces.size() == bridge::kMaxInterfaces) break;
        if (one.path.empty() || one.path.size() > bridge::kMaxPathBytes) continue;
        if (one.serial.size() > bridge::kMaxSerialBytes) one.serial.resize(bridge::kMaxSerialBytes);
        list.interfaces.push_back(std::move(one));
      }
      return bridge::ToFrame(list);
    }
    case bridge::type::kOpen: {
      auto m = Decode<bridge::OpenRequest>(request, refusal);
      if (!m) return std::nullopt;
      if (handle) {
        refusal = "an interface is open on this connection already";
        return std::nullopt;
      }
      std::shared_ptr<platform::HidDevice> opened = host_.Open(m->path);
      bridge::OpenReply reply;
      if (opened) {
        reply.opened = true;
        reply.inputLength = static_cast<uint32_t>(std::min(opened->InputReportLength(), bridge::kMaxReportBytes));
        reply.outputLength = static_cast<uint32_t>(std::min(opened->OutputReportLength(), bridge::kMaxReportBytes));
        std::lock_guard lock(client.mutex);
        client.handle = opened;
        // Stop may have passed this connection already; a handle opened now is cancelled at once.
        if (stopping_) opened->Cancel();
      }
      return bridge::ToFrame(reply);
    }
    case bridge::type::kWrite: {
      auto m = Decode<bridge::WriteRequest>(request, refusal);
      if (!m) return std::nullopt;
      if (!handle) {
        refusal = "no interface is open on this connection";
        return std::nullopt;
      }
      platform::HidTransfer sent = handle->Write(m->report, m->timeoutMs);
      bridge::TransferReply reply;
      reply.status = sent.status == HidStatus::Cancelled ? HidStatus::Failed : sent.status;
      reply.bytes = sent.ok() ? static_cast<uint32_t>(std::min(sent.bytes, bridge::kMaxReportBytes)) : 0;
      return bridge::ToFrame(reply, bridge::TransferReply::kWriteType);
    }
    case bridge::type::kRead: {
      auto m = Decode<bridge::ReadRequest>(request, refusal);
      if (!m) return std::nullopt;
      if (!handle) {
        refusal = "no interface is open on this connection";
        return std::nullopt;
      }
      return AnswerRead(client, *handle, *m);
    }
    case bridge::type::kCommand: {
      auto m = Decode<bridge::CommandRequest>(request, refusal);
      if (!m) return std::nullopt;
      bridge::CommandReply reply = commands_ ? commands_(m->line) : bridge::CommandReply{false, "no commands here"};
      if (reply.text.size() > bridge::kMaxCommandReplyBytes) reply.text.resize(bridge::kMaxCommandReplyBytes);
      return bridge::ToFrame(reply);
    }
    default:
      if (request.type >= bridge::type::kTrackerAttached && request.type <= bridge::type::kTrackerSetParameters)
        return AnswerTracker(request, refusal);
      char text[48];
      std::snprintf(text, sizeof text, "unknown message type 0x%02X", request.type);
      refusal = text;
      return std::nullopt;
  }
}

std::optional<bridge::Frame> BridgeServer::AnswerRead(Client& client, platform::HidDevice& handle,
                                                      const bridge::ReadRequest& request) {
  std::vector<uint8_t> buffer(request.maxBytes, 0);
  platform::HidTransfer got;
  if (request.timeoutMs >= 0) {
    got = handle.Read(buffer, request.timeoutMs);
  } else {
    // Waiting without limit in slices, so that a peer that hangs up or a server that stops is
    // noticed.
    for (;;) {
      got = handle.Read(buffer, kReadSliceMs);
      if (got.status != HidStatus::TimedOut) break;
      if (stopping_ || client.connection->PeerGone()) return std::nullopt;
    }
  }
  bridge::TransferReply reply;
  // A read this end cancelled (the server stopping) is, for the peer, a device that went away.
  reply.status = got.status == HidStatus::Cancelled ? HidStatus::Failed : got.status;
  if (reply.status == HidStatus::Ok) {
    size_t n = std::min(got.bytes, buffer.size());
    reply.data.assign(buffer.begin(), buffer.begin() + static_cast<ptrdiff_t>(n));
    reply.bytes = static_cast<uint32_t>(n);
  }
  return bridge::ToFrame(reply, bridge::TransferReply::kReadType);
}

std::optional<bridge::Frame> BridgeServer::AnswerTracker(const bridge::Frame& request, std::string& refusal) {
  auto empty = [&](auto message) { return Decode<decltype(message)>(request, refusal).has_value(); };
  switch (request.type) {
    case bridge::type::kTrackerAttached:
      if (!empty(bridge::TrackerAttachedRequest{})) return std::nullopt;
      return bridge::ToFrame(bridge::TrackerAttachedReply{tracker_.Attached()});
    case bridge::type::kTrackerDeviceId:
      if (!empty(bridge::TrackerDeviceIdRequest{})) return std::nullopt;
      return bridge::ToFrame(bridge::TrackerDeviceIdReply{tracker_.DeviceId()});
    case bridge::type::kTrackerClock:
      if (!empty(bridge::TrackerClockRequest{})) return std::nullopt;
      return bridge::ToFrame(bridge::TrackerClockReply{WireClock(tracker_.Clock())});
    case bridge::type::kTrackerSetClock:
      if (!empty(bridge::TrackerSetClockRequest{})) return std::nullopt;
      return bridge::ToFrame(bridge::TrackerSetClockReply{tracker_.SetClockToNow()});
    case bridge::type::kTrackerDays: {
      if (!empty(bridge::TrackerDaysRequest{})) return std::nullopt;
      bridge::TrackerDaysReply reply;
      auto days = tracker_.Days();
      for (size_t i = 0; i < days.size() && i < bridge::kTrackerDays; ++i) {
        if (!days[i]) continue;
        const TrackerDay& d = *days[i];
        // Days the wire cannot carry stay on the tracker; the kit cuts longer texts at the same size.
        if (!InRange(d.year, 2000, 2255) || !InRange(d.month, 1, 12) || !InRange(d.day, 1, 31)) continue;
        reply.days.push_back({static_cast<uint8_t>(i), d.year, d.month, d.day, d.data.substr(0, bridge::kMaxDayData)});
      }
      return bridge::ToFrame(reply);
    }
    case bridge::type::kTrackerErase:
      if (!empty(bridge::TrackerEraseRequest{})) return std::nullopt;
      return bridge::ToFrame(bridge::TrackerEraseReply{tracker_.Erase()});
    case bridge::type::kTrackerSetParameters: {
      auto m = Decode<bridge::TrackerSetParametersRequest>(request, refusal);
      if (!m) return std::nullopt;
      const auto& v = m->values;
      return bridge::ToFrame(bridge::TrackerSetParametersReply{tracker_.SetParameters({v[0], v[1], v[2], v[3], v[4], v[5], v[6]})});
    }
    default:
      refusal = "unknown message type";
      return std::nullopt;
  }
}

}  // namespace sim
