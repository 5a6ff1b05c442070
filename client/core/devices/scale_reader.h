#pragma once
// The scale reader thread: while the scale is connected it waits for reports on the read handle and
// hands every 33-byte frame to the main window; while it is not, it sleeps until Detect wakes it.
// It runs from construction to destruction.

#include <thread>

#include "client/core/devices/scale_channel.h"

class ScaleReader {
 public:
  // Starts the thread; channel must outlive the reader.
  explicit ScaleReader(ScaleChannel& channel);
  // Stops the channel and joins the thread.
  ~ScaleReader();
  ScaleReader(const ScaleReader&) = delete;
  ScaleReader& operator=(const ScaleReader&) = delete;

 private:
  void Run();

  ScaleChannel& channel_;
  std::thread thread_;
};
