#!/usr/bin/env bash
# Sets everything up and runs every test: the portable logic natively, a short fuzz run of
# every reader of outside data, the Windows tests and the end-to-end journeys under Wine and Xvfb, and
# the release archives (their programs must be the tested ones, and start).
# Where 32-bit Wine runs, the Windows tests and journeys run on the shipped 32-bit build and
# the in-process tests on the 64-bit build too; elsewhere all of them on the 64-bit build.
# The 32-bit programs' unwind tables are checked everywhere.
# The journeys that drive pointer and keyboard get displays and Wine prefixes of their own;
# the rest, the fuzz run and the release build go alongside them, as they mostly wait on Wine.
# Input driven through Xvfb into Wine is timing-sensitive, so a failed Wine test gets
# one more run (ctest reports it); a second failure fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
echo "[test] the folders of src/ as layers"
scripts/check-layers.py
echo "[test] README.txt names every word, key and menu item of the program"
scripts/check-readme.py
scripts/build.sh

echo "[test] portable logic, native"
ctest --test-dir build/native --output-on-failure

echo "[test] the 32-bit programs' unwind tables (a throw must find its catch)"
scripts/check-unwind.py build/i686/Velvane.exe build/i686/tests/portable_tests.exe \
  build/i686/tests/windows/windows_tests.exe build/i686/tests/e2e/wintool.exe

source scripts/wine-arch.sh
build="build/$VELVANE_ARCH"
if [ "$VELVANE_ARCH" = i686 ]; then
  ran="the Windows tests and journeys on the 32-bit build (i686), the in-process tests on the 64-bit build (x86_64) too"
else
  ran="the Windows tests and journeys on the 64-bit build (x86_64); the 32-bit build (i686) was built and its unwind tables checked, but not run: this machine cannot run 32-bit programs"
fi
echo "[test] $ran"
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT
run() {  # name, command...: in the background, output to a log
  local name=$1
  shift
  (set +e; "$@" >"$logs/$name" 2>&1; echo $? >"$logs/$name.status"; echo "[test] $name finished, its output follows at the end") &
}
echo "[test] fuzzing every reader of outside data (about 25 s), the Windows tests, the journeys and the release archive"
# The release build and the fuzz run give way to the journeys, whose timing the load upsets.
run release nice -n 10 scripts/release.sh
run fuzz nice -n 10 ctest --test-dir build/fuzz --output-on-failure
run windows scripts/with-wine-display.sh bash -c "ctest --test-dir $build -LE input --output-on-failure --repeat until-pass:2 &&
  scripts/check-release.sh $logs/release.status $build/tests/e2e/wintool.exe"
names=(release fuzz windows)
if [ "$VELVANE_ARCH" = i686 ]; then
  run windows64 env VELVANE_WANT_ARCH=x86_64 scripts/with-wine-display.sh \
    ctest --test-dir build/x86_64 -R '^(portable|windows)$' --output-on-failure --repeat until-pass:2
  names+=(windows64)
fi
# Each display has its own pointer and keyboard: one for each journey that drives them. All of them
# run at once on a machine of two cores: a journey whose timing the load upset gets a third try.
journeys=$(ctest --test-dir "$build" -N -L input | sed -n 's/.*Test *#[0-9]*: e2e\.//p')
[ -n "$journeys" ] || { echo "[test] no journeys that drive pointer and keyboard were found" >&2; exit 1; }
for journey in $journeys; do
  run "$journey" scripts/with-wine-display.sh ctest --test-dir "$build" -R "^e2e\.$journey\$" --output-on-failure --repeat until-pass:3
done
wait
status=0
for name in "${names[@]}" $journeys; do
  echo "[test] --- $name ---"
  cat "$logs/$name"
  [ "$(cat "$logs/$name.status" 2>/dev/null)" = 0 ] || status=1
done
echo "[test] ran $ran"
exit "$status"
