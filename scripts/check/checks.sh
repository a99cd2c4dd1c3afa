# shellcheck shell=bash
# What the checks share, sourced by each from the repository's root.

# check WHAT GOT EXPECTED: one line, "ok" or "FAIL" with both; checks_done counts the failures.
failures=0
check() {
  if [[ "$2" == "$3" ]]; then
    echo "ok:   $1"
  else
    printf 'FAIL: %s\n  expected: %s\n  got:      %s\n' "$1" "$3" "$2"
    failures=$((failures + 1))
  fi
}

# checks_done LOGS: ends the checks, failed where any check failed (their logs in LOGS).
checks_done() {
  ((failures == 0)) || { echo "$failures checks failed; logs in $1" >&2; exit 1; }
  echo "all checks passed"
}

# start_xvfb NUMBER: a bare X server on :NUMBER, DISPLAY set to it once it answers (its socket
# appears before it does); its process in xvfb.
# shellcheck disable=SC2034 # xvfb is the caller's
start_xvfb() {
  Xvfb ":$1" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  export DISPLAY=":$1"
  for _ in $(seq 200); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
}

# find_wine: wine and wineserver set to Debian's (without the wine package, wine64 lives in
# /usr/lib/wine/ alone).
# shellcheck disable=SC2034 # wine and wineserver are the caller's
find_wine() {
  wine=/usr/lib/wine/wine64
  [[ -x $wine ]] || wine=$(command -v wine64)
  wineserver=$(dirname "$wine")/wineserver
}
