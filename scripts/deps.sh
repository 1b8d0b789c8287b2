#!/usr/bin/env bash
# Prints the Debian packages of one set-up, one a line, each name once.
#   deps.sh play   what building and running the game and the dialog need: the build
#                  dependencies of debian/control not marked <!nocheck>, and what the binary
#                  package depends on by name (the face, the Qt platform plugins).
#                  debhelper-compat is left out: only the package build uses debhelper.
#   deps.sh test   what only the tests need: the <!nocheck> build dependencies, debhelper,
#                  and scripts/test-deps.txt (the tools of the test command itself).
# A name listed twice (in debian/control and test-deps.txt, or twice in one) is an error:
# each package has exactly one place.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
control="${RV_DEPS_CONTROL:-$here/../debian/control}"  # other files only for its own test
extra="${RV_DEPS_EXTRA:-$here/test-deps.txt}"

# Every relation of Build-Depends and of the binary package's Depends as "control SET NAME":
# SET is play or test; NAME the first alternative without version or architecture;
# substitution variables (${shlibs:Depends}) skipped. Then test-deps.txt as "extra test NAME".
relations() {
  awk '
    /^#/ { next }
    /^$/ { field = ""; next }
    /^[^ \t]/ { field = $0; sub(/:.*/, "", field); value = $0; sub(/^[^:]*:/, "", value) }
    /^[ \t]/ { value = $0 }
    field == "Build-Depends" || field == "Depends" {
      n = split(value, items, ",")
      for (i = 1; i <= n; i++) {
        item = items[i]
        set = (item ~ /<!nocheck>/) ? "test" : "play"
        sub(/\|.*/, "", item)
        gsub(/\([^)]*\)|\[[^]]*\]|<[^>]*>/, "", item)
        gsub(/[ \t]/, "", item)
        if (item == "" || item ~ /^\$\{/) continue
        if (item == "debhelper-compat") { set = "test"; item = "debhelper" }
        print "control", set, item
      }
    }' "$control"
  { grep -v '^\s*#' "$extra" || true; } | { grep -v '^\s*$' || true; } | sed 's/^\s*/extra test /; s/\s*$//'
}

all=$(relations)
# A name both in the play and the test set, in test-deps.txt and debian/control, or twice in
# test-deps.txt. (The face is both built with and depended on: one set, one line printed.)
twice=$(awk '{ print $1 == "extra" ? "extra " $3 : $2 " " $3 }' <<<"$all" | sort -u \
        | awk '{ print $2 }' | sort | uniq -d)
twice+=$(awk '$1 == "extra" { print $3 }' <<<"$all" | sort | uniq -d)
if [ -n "$twice" ]; then
  echo "deps.sh: in more than one place (debian/control, scripts/test-deps.txt):" $twice >&2
  exit 1
fi
case "${1:-}" in
  play | test) awk -v set="$1" '$2 == set && !seen[$3]++ { print $3 }' <<<"$all" ;;
  *) echo "usage: scripts/deps.sh play|test" >&2; exit 2 ;;
esac
