#!/usr/bin/env bash
# jalv, the console LV2 host, loads the plug-in from the build's bundle on a
# private JACK server (the dummy driver, no sound card) and plays it: a
# metronome's clicks go in, what comes out is recorded and must not be
# silent (16-bit samples, below which the anti-denormal signal vanishes).
# Every process the test starts is stopped by it, whatever happens.
#   jalv.sh BUNDLE_DIR WORK_DIR
set -euo pipefail
bundle=$1 work=$2
uri=urn:ka813:preamp
fail() { echo "FAIL: $*" >&2; exit 1; }
for program in jackd jalv jack_lsp jack_connect jack_metro jack_rec; do
  command -v "$program" >/dev/null || { echo "skipped: $program is missing (bash tools/deps.sh installs jackd2 and jalv)"; exit 77; }
done
rm -rf "$work" && mkdir -p "$work/lv2" "$work/home"
# A path of its own holding this bundle alone.
ln -s "$(readlink -f "$bundle")" "$work/lv2/ka813.lv2"
export LV2_PATH=$work/lv2 HOME=$work/home
# One name for each build tree: JACK keeps a few server slots across runs, and
# a name used before takes its old slot again.
export JACK_DEFAULT_SERVER=ka813-jalv-$(readlink -f "$work" | cksum | cut -d' ' -f1) JACK_NO_AUDIO_RESERVATION=1 JACK_NO_START_SERVER=1

pids=()
# Stops one program: TERM, up to five seconds to finish, then KILL.
end() {
  kill "$1" 2>/dev/null || true
  for _ in $(seq 50); do
    kill -0 "$1" 2>/dev/null || break
    sleep 0.1
  done
  kill -KILL "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}
# A server's files left by one that was killed make the next start fail.
forget_server() {
  rm -f /dev/shm/jack_"$JACK_DEFAULT_SERVER"_* /dev/shm/jack_sem.*_"$JACK_DEFAULT_SERVER"_*
}
# The clients leave first, last started first: a client closing while its
# server shuts down waits on it, and the server on the client.
stop() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    end "${pids[i]}"
  done
  forget_server
}
trap stop EXIT
# Waits up to ten seconds for a command to succeed.
await() {
  for _ in $(seq 100); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}
has_port() { jack_lsp | grep -qx "$1"; }

forget_server
jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256 >"$work/jackd.log" 2>&1 &
pids+=($!)
await jack_lsp || { cat "$work/jackd.log"; fail "the dummy JACK server did not start"; }

# jalv reads its commands from a pipe; closing it ends jalv.
mkfifo "$work/commands"
jalv -n ka813 -x -p "$uri" <"$work/commands" >"$work/jalv.log" 2>&1 &
pids+=($!)
exec 3>"$work/commands"
await has_port ka813:out_left || { cat "$work/jalv.log"; fail "jalv shows no ka813 ports"; }
for port in in_left in_right out_left out_right; do
  has_port "ka813:$port" || { jack_lsp; fail "no JACK port ka813:$port"; }
done

jack_metro -n clicks -b 300 -f 440 -D 60 -A 0.3 >"$work/metro.log" 2>&1 3>&- &
pids+=($!)
await has_port clicks:300_bpm || { cat "$work/metro.log"; fail "the metronome did not start"; }
jack_connect clicks:300_bpm ka813:in_left
jack_connect clicks:300_bpm ka813:in_right
(cd "$work" && timeout -k 2 20 jack_rec -f out.wav -d 2 -b 16 ka813:out_left >"$work/rec.log" 2>&1 3>&-) \
  || { cat "$work/rec.log"; fail "jack_rec could not record the plug-in's output"; }
[ -s "$work/out.wav" ] || fail "nothing recorded"
# Past the header, the samples are not all zero.
[ "$(tail -c +1025 "$work/out.wav" | tr -d '\000' | wc -c)" -gt 1000 ] || fail "the plug-in's output is silent"

echo "controls" >&3
echo "monitors" >&3
sleep 0.5
exec 3>&-
await bash -c "! kill -0 ${pids[1]}" || fail "jalv did not exit when its input closed"
cat "$work/jalv.log"
grep -qx "Plugin: *$uri" "$work/jalv.log" || fail "jalv does not name the plug-in"
grep -q "^a_clean_drive = 0.500000" "$work/jalv.log" || fail "jalv lists no a_clean_drive control at its default"
echo "jalv loaded $uri from $bundle and played it on a dummy JACK server"
