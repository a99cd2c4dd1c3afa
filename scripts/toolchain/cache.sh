# shellcheck shell=bash
# What the toolchain builds share, sourced by each from the repository's root: a build made once
# into a cache outside the repository, under a key that hashes its recipe, reused while the
# recipe stays the same. A build is whole once its prefix holds .complete.
cache="${XDG_CACHE_HOME:-$HOME/.cache}/discstart"

# cache_key: the first 16 hex digits of the SHA-256 of the recipe it reads.
cache_key() { sha256sum | cut -c1-16; }

# cache_find NAME KEY [--prefix]: sets prefix to the cache's NAME-KEY. Prints it and ends the
# script when only asked (--prefix) or when the build is there; otherwise waits its turn (one
# builder of NAME at a time) and ends the script as well where the one it waited for built it.
cache_find() {
  prefix="$cache/$1-$2"
  if [[ "${3:-}" == --prefix || -f "$prefix/.complete" ]]; then
    echo "$prefix"
    exit 0
  fi
  mkdir -p "$cache"
  exec {cache_lock}>"$cache/$1.lock"
  flock "$cache_lock"
  if [[ -f "$prefix/.complete" ]]; then
    echo "$prefix"
    exit 0
  fi
}

# cache_start NAME LOG SAYING: a fresh LOG for the build and its clock started; says SAYING.
cache_start() {
  cache_name=$1 log=$2
  mkdir -p "$(dirname "$log")"
  : >"$log"
  echo "$cache_name: $3 (log: $log)" >&2
  cache_began=$SECONDS
}

# failed: the end of the log, and the script ends.
failed() {
  tail -40 "$log" >&2
  echo "$cache_name: the build failed; the log is $log" >&2
  exit 1
}

# cache_done VERSIONS: marks the build whole (VERSIONS, what it was built from, is what the disc's
# licences name), says how long it took and prints the prefix.
cache_done() {
  echo "$1" >"$prefix/.complete"
  local took=$((SECONDS - cache_began))
  echo "$cache_name: built in $((took / 60)) min $((took % 60)) s" >&2
  echo "$prefix"
}

# carry_libraries PROGRAM COPY LIBS [AT]: COPY, a copy of this machine's PROGRAM, runs on the
# libraries PROGRAM needs, down to the C library and the loader, copied into LIBS, where COPY
# finds them at AT (LIBS as seen where COPY runs; default LIBS itself): beside an older C
# library in a root, a program of this machine runs that way.
carry_libraries() {
  local program=$1 copy=$2 libs=$3 at=${4:-$3}
  ldd "$program" | awk '$2 == "=>" && $3 ~ /^\// { print $3 } $1 ~ /^\// { print $1 }' |
    while read -r lib; do [[ -f "$libs/${lib##*/}" ]] || cp -L "$lib" "$libs/"; done
  [[ -f "$libs/ld-linux-x86-64.so.2" ]] || return 1
  # DT_RPATH, not RUNPATH: it also finds what the libraries themselves need.
  patchelf --set-interpreter "$at/ld-linux-x86-64.so.2" --force-rpath --set-rpath "$at" "$copy"
}
