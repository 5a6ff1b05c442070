#pragma once
// Binding from the windows: a binding step runs as a change of one user (so a running sync pass
// refuses it before anything is sent), and what it tells the user is shown over the window that
// asked. Also the unbinding the main window calls for each chosen device entry.

#include <cstddef>

#include "client/core/binding/device_binding.h"
#include "client/ui/client_context.h"

// Shows a notice over owner: the client's message dialog for a key, a system message box for a box.
void ShowBindingNotice(HWND owner, const BindingNotice& notice);

// The binder over the context's service access and devices.
DeviceBinding BindingOf(ClientContext& context);

// Unbinds the device of kind from user userIndex after the main window asked "解除绑定": a refusal
// by the service shows its text in the system message box "解除绑定错误" over the main window, no
// answer "网络错误", success "解除绑定成功", after which the record is stored. False when the
// device stays bound (also while a sync pass runs, which is told, and for an index beyond the list).
bool UnbindDevice(ClientContext& context, size_t userIndex, DeviceKind kind);
