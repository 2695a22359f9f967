#!/usr/bin/env bash
# The manual pages format without warnings, and they and the README name
# every command and option that the programs' --help lists.
# Usage: man_pages_test.sh PREFIX
set -euo pipefail
prefix=$1
man1=$prefix/share/man/man1
readme=$prefix/share/doc/kelview/README.md
failed=0

for page in "$man1/kelview.1" "$man1/kelview-cli.1"; do
  warnings=$(LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z "$page" 2>&1)
  if [ -n "$warnings" ]; then
    echo "FAIL: $page: $warnings" >&2
    failed=1
  fi
done

# PAGE WORD...: each word must appear in the page as written (roff escapes
# the hyphens of options).
names() {
  local page=$1 word text
  text=$(sed 's/\\-/-/g' "$page")
  shift
  for word in "$@"; do
    if ! grep -qF -- "$word" <<<"$text"; then
      echo "FAIL: $(basename "$page") does not mention $word" >&2
      failed=1
    fi
  done
}
options() { grep -oE -- '(^|[ ,])--?[a-z][a-z-]*' | sed 's/^[ ,]//' | sort -u; }

cli=$prefix/bin/kelview-cli
commands=$("$cli" --help | awk '/^Commands:/ { on = 1; next } on && /^  [a-z]/ { print $1 } on && /^$/ { exit }')
[ -n "$commands" ] || { echo "FAIL: no commands in kelview-cli --help" >&2; exit 1; }
for command in $commands; do
  # shellcheck disable=SC2046
  for page in "$man1/kelview-cli.1" "$readme"; do
    names "$page" "$command" $("$cli" "$command" --help | options)
  done
done
for page in "$man1/kelview.1" "$readme"; do
  # shellcheck disable=SC2046
  names "$page" $(QT_QPA_PLATFORM=offscreen "$prefix/bin/kelview" --help | options)
done
exit $failed
