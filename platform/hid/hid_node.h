#pragma once
// Part of the Linux HID host (hid_host_linux.cpp). A HID device node (hidraw) driven through its file descriptor, with every wait bounded: reads
// poll, and writes run on a writer thread of the node so that the caller stops waiting when the
// time-out passes, even where the kernel itself blocks (a hidraw write waits for the USB transfer,
// up to the USB time-out of seconds, and hidraw always reports itself writable).

#include <memory>
#include <string>

#include "platform/hid/hid_host.h"
#include "platform/hid/report_descriptor.h"
#include "platform/unique_fd.h"

namespace platform {

// Drives node, an open descriptor that reads and writes whole reports (a hidraw node, or in tests
// a socket standing in for one); layout tells the report lengths and whether reports carry an id.
// Never null.
std::unique_ptr<HidDevice> MakeHidNodeDevice(UniqueFd node, HidReportLayout layout);

// Opens the hidraw node at path for reading and writing without blocking; null when it cannot be
// opened or is not a hidraw node.
std::unique_ptr<HidDevice> OpenHidrawNode(const std::string& path, HidReportLayout layout);

}  // namespace platform
