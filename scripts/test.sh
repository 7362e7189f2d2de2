#!/usr/bin/env bash
# Sets everything up and runs every test: the portable logic natively, a short fuzz run of
# every reader of outside data, the Windows tests and the end-to-end journeys under Wine and Xvfb, and
# the release archive (its program must be the tested one, and start).
# The journeys that drive pointer and keyboard get displays and Wine prefixes of their own;
# the rest, the fuzz run and the release build go alongside them, as they mostly wait on Wine.
# Input driven through Xvfb into Wine is timing-sensitive, so a failed Wine test gets
# one more run (ctest reports it); a second failure fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
scripts/build.sh

echo "[test] portable logic, native"
ctest --test-dir build/native --output-on-failure

source scripts/wine-arch.sh
build="build/$VELVANE_ARCH"
[ "$VELVANE_ARCH" = i686 ] || echo "[test] this machine cannot run 32-bit programs: the Windows tests run on the 64-bit build"
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
run() {  # name, command...: in the background, output to a log
  local name=$1
  shift
  (set +e; "$@" >"$logs/$name" 2>&1; echo $? >"$logs/$name.status"; echo "[test] $name finished, its output follows at the end") &
}
echo "[test] fuzzing every reader of outside data (about 25 s), the Windows tests, the journeys and the release archive"
run release scripts/release.sh
run fuzz ctest --test-dir build/fuzz --output-on-failure
run windows scripts/with-wine-display.sh bash -c "ctest --test-dir $build -LE input --output-on-failure --repeat until-pass:2 &&
  scripts/check-release.sh $logs/release.status $build/tests/e2e/wintool.exe"
# Each display has its own pointer and keyboard: one for each journey that drives them.
journeys=$(ctest --test-dir "$build" -N -L input | sed -n 's/.*Test *#[0-9]*: e2e\.//p')
[ -n "$journeys" ] || { echo "[test] no journeys that drive pointer and keyboard were found" >&2; exit 1; }
for journey in $journeys; do
  run "$journey" scripts/with-wine-display.sh ctest --test-dir "$build" -R "^e2e\.$journey\$" --output-on-failure --repeat until-pass:2
done
wait
status=0
for name in release fuzz windows $journeys; do
  echo "[test] --- $name ---"
  cat "$logs/$name"
  [ "$(cat "$logs/$name.status" 2>/dev/null)" = 0 ] || status=1
done
exit "$status"
