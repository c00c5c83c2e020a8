#!/usr/bin/env bash
# The Windows client under Wine against the simulated instrument, beside the Linux client.
#   tests/windows/e2e.sh LINUX_BIN_DIR WINDOWS_BIN_DIR
# tavolex-sim (Linux) serves a pseudo-terminal; Wine's port table maps COM7 to it. Then
# tavolex-cli.exe lists the port, and its `read`, `clock get` and `records download --csv`
# must give what build/bin/tavolex-cli gives against the same instrument. Readings and the
# clock follow the wall clock by the second, so the Windows run is taken between two Linux
# runs and must match one of them (tried again when a slow start let a second pass between).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
linux_bin=$(cd "$1" && pwd)
windows_bin=$(cd "$2" && pwd)
wine_run=$here/wine-run
export WINEPREFIX=${WINEPREFIX:-$(cd "$here/../.." && pwd)/build/windows/wineprefix}
port=7

work=$(mktemp -d "${TMPDIR:-/tmp}/tavolex-windows-e2e.XXXXXX")
export TAVOLEX_PORTS_DIR=$work/ports
sim_pid=
finish() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  "$wine_run" reg delete 'HKLM\Software\Wine\Ports' /v "COM$port" /f >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap finish EXIT

fail() {
  echo "windows e2e: $*" >&2
  exit 1
}

"$linux_bin/tavolex-sim" --com "$port" --records 12 --interval 60 --seed 19 >"$work/sim.out" 2>&1 &
sim_pid=$!
for _ in $(seq 50); do
  [ -L "$TAVOLEX_PORTS_DIR/com$port" ] && break
  sleep 0.1
done
pty=$(readlink "$TAVOLEX_PORTS_DIR/com$port") || fail "the simulator did not start: $(cat "$work/sim.out")"

# Wine's mount manager makes COMn from this table when its server starts: the device link
# in dosdevices and the entry of the system's serial device map.
"$wine_run" --init
"$wine_run" reg add 'HKLM\Software\Wine\Ports' /v "COM$port" /d "$pty" /f >/dev/null
"$wine_run" --stop
[ "$(readlink "$WINEPREFIX/dosdevices/com$port" 2>/dev/null || true)" = "$pty" ] ||
  ln -sfn "$pty" "$WINEPREFIX/dosdevices/com$port"

linux() { "$linux_bin/tavolex-cli" --port "$port" "$@"; }
windows() { "$wine_run" "$windows_bin/tavolex-cli.exe" --port "$port" "$@" | tr -d '\r'; }

echo "== ports"
listed=$("$wine_run" "$windows_bin/tavolex-cli.exe" ports | tr -d '\r')
echo "$listed"
grep -Eq "^$port +\\\\\\\\\\.\\\\COM$port " <<<"$listed" || fail "COM$port is not listed"

# Runs one command on both clients; the Windows output must equal a Linux one around it.
compare() {
  local attempt before during after
  for attempt in 1 2 3; do
    before=$(linux "$@")
    during=$(windows "$@")
    after=$(linux "$@")
    if [ "$during" = "$before" ] || [ "$during" = "$after" ]; then
      echo "== $* (same on both, $(wc -l <<<"$during") lines)"
      return 0
    fi
  done
  diff <(echo "$before") <(echo "$during") >&2 || true
  fail "'$*' differs between Linux and Windows"
}

compare read
compare clock get

echo "== records download --csv"
linux records download --csv "$work/linux.csv" >"$work/linux.txt"
windows records download --csv "$(printf 'Z:%s' "$work/windows.csv" | tr / '\\')" >"$work/windows.txt"
cmp "$work/linux.txt" "$work/windows.txt" || fail "the downloaded records differ"
cmp "$work/linux.csv" "$work/windows.csv" || fail "the CSV files differ"
[ "$(wc -l <"$work/windows.txt")" -eq 12 ] || fail "expected 12 records, got $(wc -l <"$work/windows.txt")"

echo "== --device"
by_path=$("$wine_run" "$windows_bin/tavolex-cli.exe" --device "\\\\.\\COM$port" clock get | tr -d '\r' || true)
grep -Eq '^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}$' <<<"$by_path" ||
  fail "the port named by its device path gave '$by_path'"

echo "== a port that is not there"
set +e
"$wine_run" "$windows_bin/tavolex-cli.exe" --port 9 read >"$work/missing.txt" 2>&1
status=$?
set -e
missing=$(tr -d '\r' <"$work/missing.txt")
[ "$status" -eq 3 ] || fail "opening a missing port gave exit status $status, not 3"
grep -q "没有串口COM9" <<<"$missing" || fail "no reason for the missing port: $missing"

echo "windows e2e: passed"
