#pragma once
// The simulator's end of the device bridge: listens on a Unix socket, for Windows programs (under
// Wine, which has no Unix sockets) also on a loopback TCP port, and answers each connection on a
// thread of its own, with the HID interfaces of a host, a tracker, and a command handler. A
// connection that breaks the frame or message rules gets an Error and is closed; the others go on.

#include <atomic>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "kit/tracker_link.h"
#include "platform/bridge/connection.h"
#include "platform/bridge/messages.h"
#include "platform/hid/hid_host.h"
#include "platform/unique_fd.h"

namespace sim {

class BridgeServer {
 public:
  using CommandHandler = std::function<platform::bridge::CommandReply(const std::string& line)>;

  // Connections served at once; one more is closed as soon as it is accepted.
  static constexpr size_t kMaxConnections = 32;
  // How long a reply may take to leave, and how often a read without limit looks for a peer that
  // has hung up.
  static constexpr int kReplyMs = 2000;
  static constexpr int kReadSliceMs = 250;

  // host, tracker and the handler must outlive the server; the handler runs on connection threads.
  BridgeServer(platform::HidHost& host, TrackerLink& tracker, CommandHandler commands);
  ~BridgeServer();
  BridgeServer(const BridgeServer&) = delete;
  BridgeServer& operator=(const BridgeServer&) = delete;

  enum class Started { Ok, InUse, PortInUse, Failed };
  // Listens at path, and with tcpPort also on 127.0.0.1 at that port (0: one the system picks,
  // TcpPort tells which). InUse when another simulator answers at path; a socket left by one that
  // ended is replaced. PortInUse when something else has the port. Nothing listens unless Ok;
  // error says what failed.
  Started Start(const std::string& path, std::string& error, std::optional<uint16_t> tcpPort = std::nullopt);
  // Ends every connection (reads in progress are cancelled) and removes the socket.
  void Stop();

  size_t Connections() const;
  // The loopback TCP port served; 0 when none.
  uint16_t TcpPort() const { return tcpPort_; }

 private:
  struct Client;
  void AcceptLoop();
  void Accept(int listening, bool tcp);
  void Serve(Client& client);
  // The reply to one request; nothing when the connection must close, with refusal saying why when
  // the request was at fault.
  std::optional<platform::bridge::Frame> Answer(Client& client, const platform::bridge::Frame& request,
                                                std::string& refusal);
  std::optional<platform::bridge::Frame> AnswerRead(Client& client, platform::HidDevice& handle,
                                                    const platform::bridge::ReadRequest& request);
  std::optional<platform::bridge::Frame> AnswerTracker(const platform::bridge::Frame& request, std::string& refusal);
  void Reap();

  platform::HidHost& host_;
  TrackerLink& tracker_;
  CommandHandler commands_;
  std::string path_;
  platform::UniqueFd listen_;
  platform::UniqueFd tcpListen_;
  uint16_t tcpPort_ = 0;
  platform::UniqueFd wakeRead_, wakeWrite_;
  std::thread acceptor_;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::list<std::unique_ptr<Client>> clients_;
};

}  // namespace sim
