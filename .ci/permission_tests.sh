#!/usr/bin/env bash
# .ci/permission_tests.sh [BUILD_DIR (default build)]: the tests of files and folders the user
# may not read or write, run as an unprivileged user. They skip when run as root, who may read
# and write anything, and CI runs as root; here a skip, or a test that did not run, fails.
# Started by root, they run as the user textdump-ci, made if it is missing; the build must be
# readable by it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
user=textdump-ci
tests=(
  LoadTable.table_without_read_permission_is_reported_like_a_missing_one
  BadInputs/BadInputRun.ends_with_the_documented_outcome_and_writes_only_a_whole_script/text_folder_is_read_only
  BadInputs/BadInputRun.ends_with_the_documented_outcome_and_writes_only_a_whole_script/script_is_read_only
)

binary=$(realpath "$build/tests/textdump_tests")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ "$(id -u)" -eq 0 ]; then
  id -u "$user" >/dev/null 2>&1 ||
    useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user"
  chown "$user:" "$work"
  as_user() {
    (cd "$work" && setpriv --reuid="$user" --regid="$user" --clear-groups \
      env -i PATH="$PATH" HOME="$work" TMPDIR="$work" "$@")
  }
else
  user=$(id -un)
  as_user() { (cd "$work" && TMPDIR="$work" "$@"); }
fi
# A checkout under a private folder (root's home, say) is out of the user's reach: let it pass
# through the folders above the build, without leave to list or change them.
if [ "$(id -u)" -eq 0 ]; then
  dir=/
  for part in $(dirname "$binary" | tr / ' '); do
    dir=${dir%/}/$part
    if [ -z "$(find "$dir" -maxdepth 0 -perm -o+x)" ]; then
      echo "permission tests: letting $user pass through $dir"
      chmod o+x "$dir"
    fi
  done
fi
as_user test -x "$binary" -a -x "$(realpath "$build/src/textdump")" ||
  { echo "permission tests: $user cannot run the programs in $build" >&2; exit 1; }

filter=$(IFS=:; echo "${tests[*]}")
log=$work/log.txt
status=0
as_user "$binary" --gtest_filter="$filter" >"$log" 2>&1 || status=$?
passed=$(grep -c '^\[       OK \]' "$log" || true)
if [ "$status" -ne 0 ] || [ "$passed" -ne ${#tests[@]} ]; then
  cat "$log"
  echo "permission tests: $passed of ${#tests[@]} passed as $user (status $status)" >&2
  exit 1
fi
echo "permission tests: all ${#tests[@]} passed as $user"
