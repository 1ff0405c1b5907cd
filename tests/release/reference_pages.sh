#!/bin/sh
# The manual page and the bash completion that dobrenz prints from its
# command tables: the page is clean troff and names every command and option
# that --help names; the completion offers the commands, each command's
# options, a choice's words and files after a file option.
# Usage: reference_pages.sh DOBRENZ
set -eu
dobrenz=$1
. "$(dirname "$0")/../support/checks.sh"
"$dobrenz" --man-page >"$work/dobrenz.1"
groff -man -ww -z "$work/dobrenz.1" 2>"$work/lint" || fail "groff cannot read the manual page"
[ ! -s "$work/lint" ] || fail "groff warns about the manual page: $(head -n 5 "$work/lint")"
groff -man -Tutf8 -P-cbou "$work/dobrenz.1" 2>/dev/null >"$work/page.txt"
"$dobrenz" --bash-completion >"$work/completion.bash"

commands=$("$dobrenz" --help | sed -n 's/^  \([a-z][a-z-]*\)  .*/\1/p')
[ -n "$commands" ] || fail "dobrenz --help lists no command"
for c in $commands; do
  grep -q "^   dobrenz $c\$" "$work/page.txt" || fail "the manual page has no section for dobrenz $c"
  for option in $("$dobrenz" "$c" --help | sed -n 's/^  \(--[a-z-]*\).*/\1/p'); do
    # Within the command's section: up to the next section.
    sed -n "/^   dobrenz $c\$/,/^   dobrenz /p" "$work/page.txt" | grep -q -- "^       $option\\b" ||
      fail "the manual page lacks $option of dobrenz $c"
  done
done

# What the completion offers for the words typed so far (the last one being
# completed), one word a line, sorted.
complete_words() {
  (
    cd "$work"
    bash -c '
      . ./completion.bash
      COMP_WORDS=("$@")
      COMP_CWORD=$(($# - 1))
      _dobrenz
      [ ${#COMPREPLY[@]} -eq 0 ] || printf "%s\n" "${COMPREPLY[@]}"' completion dobrenz "$@"
  ) | sort | tr '\n' ' '
}

expect() {  # WANTED WORDS...
  wanted=$1
  shift
  got=$(complete_words "$@")
  [ "$got" = "$wanted" ] || fail "completing 'dobrenz $*' offers [$got], expected [$wanted]"
}

mkdir -p "$work/sub dir"
: >"$work/a.qel"
: >"$work/b.txt"
expect "points " po
expect "--help --version " --
expect "--layout " points --la
expect "--far-points " epsw --far
expect "ask convert drop " epsw --far-points ""
expect "convert " epsw --far-points c
expect "convert " epsw --far-points = c
expect "a.qel " points --qel a
expect "sub dir " cass --host-dir s
expect "" points --prefix ""
expect "a.qel " dump a
expect "--help " dump --
for c in $commands; do
  all=$(complete_words "$c" --)
  for option in $("$dobrenz" "$c" --help | sed -n 's/^  \(--[a-z-]*\).*/\1/p'); do
    case " $all" in *" $option "*) ;; *) fail "the completion of dobrenz $c lacks $option" ;; esac
  done
done

[ "$failures" -eq 0 ]
