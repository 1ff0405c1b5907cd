# Sourced by the shell tests: a scratch folder $work, removed on exit, and
# `fail MESSAGE`, which reports a failed check and counts it in $failures so
# that a test goes on to its other checks.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}
