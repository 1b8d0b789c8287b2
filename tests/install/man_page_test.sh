#!/usr/bin/env bash
# Checks one manual page: man renders it without a single warning from groff (in a UTF-8
# and in a plain ASCII locale, as a terminal or a CI log shows it), it has the sections a
# player looks for, and it names the project's version. With a usage command, every command
# and --option that the program's own usage text names must be in the page too.
# Usage: man_page_test.sh <page> <version> [usage command ...]
source "$(dirname "$0")/../support/test_lib.sh"
page=$1
version=$2
shift 2
echo "$page"

[ -f "$page" ] || fail "no such page"
for locale in C.UTF-8 C; do
  warnings=$(LC_ALL=$locale MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  status=$?
  [ "$status" -eq 0 ] || fail "man failed (status $status) in locale $locale: $warnings"
  [ -z "$warnings" ] || fail "warnings in locale $locale:"$'\n'"$warnings"
done

for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" ENVIRONMENT FILES EXAMPLES \
               "SEE ALSO"; do
  grep -qxE "\.SH \"?$section\"?" "$page" || fail "no section $section"
done
grep -qE "^\.TH .*\"Ravolin ${version//./\\.}\"" "$page" || fail ".TH does not name Ravolin $version"

if [ $# -gt 0 ]; then
  # The usage text goes to standard error, with a failing status: only its words count.
  usage=$("$@" 2>&1)
  [ -n "$usage" ] || fail "'$*' printed no usage text"
  # The page writes a hyphen as \-: compare the rendered text.
  rendered=$(LC_ALL=C MANWIDTH=200 man -l "$page" 2>/dev/null)
  words=$( (echo "$usage" | grep -oE -- '--[a-z][a-z-]*'
            echo "$usage" | grep -oE '\[[a-z]+' | tr -d '[') | sort -u)
  [ -n "$words" ] || fail "no commands or options found in the usage text: $usage"
  for word in $words; do
    echo "$rendered" | grep -qwF -- "$word" || fail "'$word' of the usage text is not in the page"
  done
  echo "the page names all of: $(echo $words)"
fi
echo "PASS"
