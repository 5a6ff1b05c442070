#pragma once
// Linux only (stream_socket_linux.cpp): the private folder that keeps the simulator's Unix socket
// from being swapped for another user's.

#include <string>

namespace platform::bridge {

// The folder a socket path is in.
std::string FolderOf(const std::string& socketPath);
// True when folder is this user's and nobody else may write to it, so the socket in it cannot be
// swapped for another's. With create, a missing folder is made, open to this user only.
bool PrivateFolder(const std::string& folder, bool create);

}  // namespace platform::bridge
