#!/usr/bin/env bash
# The client as the vymera package installs it. The package is made from BUILD_DIR with CPack,
# unpacked with dpkg -x into a temporary folder, and the client started from there, with a private
# HOME, XDG folders and X server, beside the simulated devices. Its folder is not writable by the
# user it runs as (the test runs it as nobody when it runs as root), as an installed package's is:
#
#   - its settings, accounts, pictures and held readings land under $XDG_DATA_HOME/Vymera and
#     nothing is written into the package's folders;
#   - the accounts a per-user installation left in that folder are still there after it quits;
#   - it finds the simulated scale: a weighed reading is held in $XDG_DATA_HOME/Vymera.
#
#   installed_client_test.sh BUILD_DIR
#
# Exit 0 when all holds, 1 on the first failure, 77 (skipped) without dpkg-deb, cpack, Xvfb or
# setpriv (as root), or when the build has no device bridge to reach the simulated scale.
set -uo pipefail

build=$(cd "${1:?usage: installed_client_test.sh BUILD_DIR}" && pwd)
source_dir=$(cd "$(dirname "$0")/../../.." && pwd)
bin=$build/bin
skip() { echo "package test: $*; skipped"; exit 77; }
for tool in dpkg-deb cpack Xvfb; do
  command -v "$tool" > /dev/null || skip "$tool is missing"
done
grep -q '^VYMERA_DEVICE_BRIDGE:BOOL=ON' "$build/CMakeCache.txt" || skip "this build does not reach vymera-sim"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  command -v setpriv > /dev/null || skip "setpriv is missing"
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups --)
fi
# The client asks the service at its built-in address for a new release before its window exists;
# whatever another test serves there must not answer it (an offer would hold the start). In a
# network namespace of its own, without loopback, the question fails at once. Where namespaces are
# not allowed, the address must be free.
offline=(unshare -n)
[ "$(id -u)" -eq 0 ] || offline=(unshare --map-current-user -n)
if ! "${offline[@]}" true 2> /dev/null; then
  offline=()
  (exec 3<> /dev/tcp/127.0.0.1/8360) 2> /dev/null && skip "127.0.0.1:8360 is taken"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/vymera-deb-test.XXXXXX")
chmod 755 "$work"
logs=$work/logs
mkdir -p "$logs"
pids=()
finish() {
  local rc=$?
  trap - EXIT
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill -TERM "${pids[i]}" 2> /dev/null; done
  wait 2> /dev/null
  if [ "$rc" -ne 0 ] && [ "$rc" -ne 77 ]; then
    for f in "$logs"/*; do [ -s "$f" ] && { echo "--- $f"; tail -n 20 "$f"; }; done
    echo "package test: the folders stay in $work"
  else
    chmod -R u+w "$work" 2> /dev/null
    rm -rf "$work"
  fi
  exit "$rc"
}
trap finish EXIT
trap 'exit 1' INT TERM
fail() { echo "package test: $*" >&2; exit 1; }
wait_for() {  # SECONDS COMMAND...: polls until the command succeeds
  local deadline=$(($(date +%s) + $1))
  shift
  until "$@"; do
    [ "$(date +%s)" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}

# ---------------------------------------------------------------------------------------------
# The package, as `make deb` makes it but from this build, unpacked as dpkg would put it in place.
# Dependencies and compression do not matter to what lands where: left out, it takes seconds.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" \
  -D CPACK_COMPONENTS_ALL=vymera -D CPACK_DEBIAN_PACKAGE_SHLIBDEPS=OFF -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip \
  > "$logs/cpack.log" 2>&1 || fail "cpack could not make the package"
deb=$(ls "$work"/package/vymera_*_amd64.deb 2> /dev/null | head -n1)
[ -n "$deb" ] || fail "no vymera_VERSION_amd64.deb in $(ls "$work/package")"
root=$work/root
dpkg -x "$deb" "$root" || fail "dpkg -x refused $deb"
dpkg-deb -c "$deb" > "$logs/contents.txt"

for path in usr/lib/vymera/Vymera usr/lib/vymera/libvymera_toolkit.so usr/lib/vymera/libpace700Lib.so \
            usr/share/vymera/res/main.xml usr/share/applications/vymera.desktop \
            usr/share/icons/hicolor/48x48/apps/vymera.png usr/lib/udev/rules.d/70-vymera-devices.rules \
            usr/share/doc/vymera/copyright usr/share/doc/vymera/changelog.gz; do
  [ -f "$root/$path" ] || fail "the package holds no $path"
done
[ "$(readlink "$root/usr/bin/Vymera")" = ../lib/vymera/Vymera ] || fail "/usr/bin/Vymera is not a link to the client"
[ -f "$root/usr/lib/vymera/res/main.xml" ] || fail "the client's res link does not reach the skins"
for program in Renewix Dismantor Setup Bootwyn vymera-service vymera-sim; do
  ! grep -q "/$program\$" "$logs/contents.txt" || fail "the client's package holds $program"
done

# ---------------------------------------------------------------------------------------------
# A private session. The package's folders belong to another user than the client's (root), or,
# when the test does not run as root, are made read-only, as installed packages are.
source "$source_dir/tests/private_session.sh"
private_session "$work"

data=$XDG_DATA_HOME/Vymera
mkdir -p "$data"
if [ ${#as_user[@]} -gt 0 ]; then
  chown -R 65534:65534 "$HOME" "$XDG_RUNTIME_DIR" "$logs"
else
  chmod -R a-w "$root"
fi
touch "$work/started"

exec 5> "$work/display"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp > "$logs/xvfb.log" 2>&1 &
pids+=($!)
exec 5>&-
wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=:$(head -n1 "$work/display")

tail -f /dev/null | "${as_user[@]}" "$bin/vymera-sim" > "$logs/sim.log" 2>&1 &
pids+=($!)
wait_for 10 "${as_user[@]}" "$bin/vymera-sim" status > /dev/null 2>&1 || fail "vymera-sim does not answer"
serial=$(sed -n 's/.*a scale (serial \([0-9A-Za-z]*\)).*/\1/p' "$logs/sim.log")
[ -n "$serial" ] || fail "vymera-sim named no scale"

# What a per-user installation left behind: one account, bound to the scale, whose weight is far
# from what will be weighed, so that the reading stays among the unassigned ones.
printf '%s\r\n' '<?xml version="1.0" encoding="UTF-8" standalone="yes" ?>' '<UserList>' \
  "<user_res><uid>7</uid><uname>kept</uname><account>kept@example.com</account><autologin>0</autologin><scalepinless>1</scalepinless><scalesn>W1$serial</scalesn><standardweight>80.0</standardweight><weightscope>1.0</weightscope></user_res>" \
  '</UserList>' > "$data/userinfoset.xml"
chmod 600 "$data/userinfoset.xml"
[ ${#as_user[@]} -eq 0 ] || chown 65534:65534 "$data/userinfoset.xml"

# Started as the menu entry starts it: by its name on the path.
PATH=$root/usr/bin:$PATH "${offline[@]}" "${as_user[@]}" Vymera > "$logs/client.log" 2>&1 &
client=$!
pids+=($client)
wait_for 20 test -d "$data/user" || fail "the client made no user folder in $data"
# The client opens the scale at its detection tick, every 2 s once its window stands; a reading
# the scale sends before that goes unanswered, so it is weighed again until one is held.
held() { grep -q '50\.4' "$data/unassigned.xml" 2> /dev/null; }
for attempt in 1 2 3 4; do
  "${as_user[@]}" "$bin/vymera-sim" weigh 50.4 >> "$logs/weigh.log" 2>&1 || fail "vymera-sim refused the reading"
  wait_for 5 held && break
done
held || { "${as_user[@]}" "$bin/vymera-sim" status > "$logs/status.log" 2>&1
          fail "no reading reached $data/unassigned.xml: the client did not find the simulated scale"; }

kill -TERM "$client"
wait_for 15 bash -c "! kill -0 $client 2> /dev/null" || fail "the client did not end on SIGTERM"

# ---------------------------------------------------------------------------------------------
grep -q 'kept@example.com' "$data/userinfoset.xml" || fail "the per-user installation's account is gone"
[ "$(stat -c %a "$data/userinfoset.xml")" = 600 ] || fail "userinfoset.xml is readable by others"
written=$(find "$root" -newer "$work/started" -print)
[ -z "$written" ] || fail "the client wrote into the package's folders: $written"
for name in userinfoset.xml systemset.ini unassigned.xml user; do
  [ ! -e "$root/usr/lib/vymera/$name" ] || fail "$name landed beside the installed client"
done
echo "package test: the client keeps its files in $data: $(cd "$data" && ls | tr '\n' ' ')"
