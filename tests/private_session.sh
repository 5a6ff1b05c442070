# Sourced by the tests that run the built programs as a user would, so that nothing of the machine's
# own HOME, desktop session or display is touched.

# private_session WORK: HOME, the XDG folders and the runtime folder under WORK (made; the runtime
# folder private), no session bus, accessibility bridge or Wayland, and a UTF-8 locale.
private_session() {
  local work=$1
  export HOME=$work/home
  export XDG_DATA_HOME=$HOME/.local/share
  export XDG_CONFIG_HOME=$HOME/.config
  export XDG_CACHE_HOME=$HOME/.cache
  export XDG_RUNTIME_DIR=$work/runtime
  mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  unset DBUS_SESSION_BUS_ADDRESS XAUTHORITY WAYLAND_DISPLAY
  export NO_AT_BRIDGE=1 GDK_BACKEND=x11 LANG=C.UTF-8 LC_ALL=C.UTF-8
}
