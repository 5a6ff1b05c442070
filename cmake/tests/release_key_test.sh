#!/usr/bin/env bash
# The release key a configure chooses: a developer pair of its own (kept across configures, private
# key readable by its owner only), a given public key, or the unsigned opt-out; a Release build
# without a key, and keys that are not P-256 public keys, stop the configure.
set -uo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # DESCRIPTION COMMAND...
  local what=$1
  shift
  if ! "$@"; then
    echo "FAIL: $what"
    failures=$((failures + 1))
  fi
}
probe() {  # BUILD_TYPE KEY UNSIGNED FOLDER -> output in $work/out, status returned
  cmake -DBUILD_TYPE="$1" -DKEY="$2" -DUNSIGNED="$3" -DFOLDER="$4" \
    -P "$source_dir/cmake/tests/release_key_probe.cmake" > "$work/out" 2>&1
}
value() { sed -n "s/^$1=//p" "$work/out"; }

check "a developer build makes its key" probe RelWithDebInfo "" OFF "$work/dev"
first=$(value hex)
private=$(value private)
check "the point is 65 uncompressed bytes" grep -Eq '^04[0-9a-f]{128}$' <<< "$first"
check "the private key lies in the given folder" test "$private" = "$work/dev/developer-release.pem"
check "the private key is its owner's alone" test "$(stat -c %a "$private")" = 600
check "the private key's point is the one chosen" \
  test "$(openssl pkey -in "$private" -pubout -outform DER | tail -c 65 | od -An -tx1 | tr -d ' \n')" = "$first"
check "a second configure keeps the key" probe Debug "" OFF "$work/dev"
check "... and its point" test "$(value hex)" = "$first"

check "Release without a key stops" eval '! probe Release "" OFF "$work/rel"'
check "... naming both ways out" grep -q "VYMERA_UNSIGNED_UPDATES=ON" "$work/out"
check "... and makes no key" test ! -e "$work/rel/developer-release.pem"
check "Release may opt out by name" probe Release "" ON "$work/rel"
check "... with no key at all" test -z "$(value hex)$(value private)"

openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out "$work/real.pem" 2> /dev/null
openssl pkey -in "$work/real.pem" -pubout -out "$work/real-public.pem"
real=$(openssl pkey -in "$work/real.pem" -pubout -outform DER | tail -c 65 | od -An -tx1 | tr -d ' \n')
check "Release takes a PEM public key" probe Release "$work/real-public.pem" OFF "$work/rel"
check "... as its point" test "$(value hex)" = "$real"
check "... and makes no developer key" test -z "$(value private)"
check "the point may be given as hex" probe Release "${real^^}" OFF "$work/rel"
check "... in any case" test "$(value hex)" = "$real"

check "a private key is refused" eval '! probe Release "$work/real.pem" OFF "$work/rel"'
openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-384 -out "$work/p384.pem" 2> /dev/null
openssl pkey -in "$work/p384.pem" -pubout -out "$work/p384-public.pem"
check "another curve is refused" eval '! probe Release "$work/p384-public.pem" OFF "$work/rel"'
openssl genpkey -algorithm ed25519 -out "$work/ed.pem" 2> /dev/null
openssl pkey -in "$work/ed.pem" -pubout -out "$work/ed-public.pem"
check "an Ed25519 key is refused" eval '! probe Release "$work/ed-public.pem" OFF "$work/rel"'
check "a missing file is refused" eval '! probe Release "$work/none.pem" OFF "$work/rel"'
check "a short point is refused" eval '! probe Release "04abcd" OFF "$work/rel"'
check "a key and the opt-out together are refused" eval '! probe Release "$work/real-public.pem" ON "$work/rel"'

[ "$failures" -eq 0 ] && echo "release key choices: all passed"
exit $((failures > 0))
