#!/usr/bin/env bash
# The test command: installs what is missing, builds both architectures and runs every test, the
# x86_64 build in a fresh 64-bit Wine prefix and the i686 build in a fresh 32-bit one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
. scripts/wine-env.sh

export LC_ALL=en_US.UTF-8 WINEDEBUG=-all
XVFB_PID=""
registered=""
cleanup() {
  for a in x86_64 i686; do wine_prefix_stop "$root/build/$a/wineprefix"; done
  [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true
  # While it stays registered, every 32-bit program on this machine runs under emulation.
  [ -z "$registered" ] || qemu_i386_unregister
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
ensure_display

for a in x86_64 i686; do
  echo "== building $a"
  # The build's own status: a failed build must not go on to test an older Setup.exe.
  if ! bash scripts/build.sh "$a" | { grep -v '^\[' || true; }; then
    echo "build of $a failed" >&2
    exit 1
  fi
done

# Test names of a build, one a line: tests.sh DIR [CTEST LABEL OPTIONS].
test_names() {
  (cd "$1" && shift && ctest -N "$@" | sed -nE 's/^ *Test +#[0-9]+: //p')
}

declare -A warch=([x86_64]=win64 [i686]=win32)
mode=$(win32_mode)
archs=(x86_64)
emulated="" # the run of the tests labelled shipped32 under emulation
case $mode in
  native)
    archs+=(i686)
    echo "32-bit programs run natively: every test of both builds runs."
    ;;
  emulated)
    emulated=1
    echo "NOTE: a qemu-i386 interpreter registered outside this run is enabled"
    echo "      ($qemu_binfmt/qemu-i386): every 32-bit program runs under emulation, whether or not"
    echo "      the kernel could run it natively. So this run treats 32-bit programs as emulated."
    ;;
  none)
    if [ -n "${SETUP_TEST_FORCE_NO_NATIVE32:-}" ]; then
      echo "NOTE: SETUP_TEST_FORCE_NO_NATIVE32 is set: 32-bit programs are treated as unable to run."
    else
      echo "NOTE: this kernel cannot run 32-bit programs (32-bit emulation disabled)."
    fi
    if qemu_i386_register; then
      registered=1 emulated=1
      qemu_i386_unregister # registered again only for the tests that need it
    else
      echo "!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!"
      echo "!! qemu-i386 could not be registered as the interpreter of 32-bit programs (see above):"
      echo "!! NOTHING RUNS THE SHIPPED 32-BIT Setup.exe IN THIS RUN; its tests are skipped."
      echo "!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!"
    fi
    ;;
esac
if [ -n "$emulated" ]; then
  echo "      The tests labelled shipped32 (the shipped 32-bit Setup.exe in 64-bit prefixes) run"
  echo "      under qemu-i386; the i686 build's tests are skipped: a 32-bit prefix takes far too long"
  echo "      to create under emulation."
fi
for a in "${archs[@]}"; do
  prefix=$root/build/$a/wineprefix
  wine_prefix_stop "$prefix"
  rm -rf "$prefix" "$prefix.lock" "build/$a/e2e"
  wine_prefix_ready "$prefix" "${warch[$a]}"
done

status=0
rm -f build/*/ctest.log build/*/ctest-emulated.log
if [ "$mode" = native ]; then
  # One architecture per core.
  for a in "${archs[@]}"; do
    (cd "build/$a" && ctest --output-on-failure "$@" >"ctest.log" 2>&1) &
    eval "pid_$a=$!"
  done
  for a in "${archs[@]}"; do
    eval "wait \$pid_$a" || status=1
  done
else
  # The emulated tests first and alone, so that the registration lasts no longer than they do.
  if [ -n "$emulated" ]; then
    if [ -n "$registered" ]; then
      qemu_i386_register || { echo "qemu-i386 could not be registered again" >&2; exit 1; }
    fi
    # The scenarios' template prefix is booted here, its 32-bit half emulated too, so that no
    # scenario's time limit counts the minutes this takes.
    echo "== booting the scenarios' 64-bit template prefix under emulation"
    started=$SECONDS
    e2e_template_ready "$root/build/x86_64" win64 || status=1
    echo "   booted in $((SECONDS - started)) s"
    (cd build/x86_64 && ctest --output-on-failure -L shipped32 "$@" >ctest-emulated.log 2>&1) ||
      status=1
    [ -z "$registered" ] || qemu_i386_unregister
    (cd build/x86_64 && ctest --output-on-failure -LE shipped32 "$@" >ctest.log 2>&1) || status=1
  else
    (cd build/x86_64 && ctest --output-on-failure "$@" >ctest.log 2>&1) || status=1
  fi
fi

passed=0 failed=0 skipped=0
declare -A ran # log file -> how its tests ran
ran[build/x86_64/ctest.log]="natively (x86_64 build, 64-bit prefix)"
ran[build/x86_64/ctest-emulated.log]="under emulation, qemu-i386 (x86_64 build, 64-bit prefix)"
ran[build/i686/ctest.log]="natively (i686 build, 32-bit prefix)"
[ "$mode" != emulated ] || ran[build/x86_64/ctest.log]="as 64-bit programs (x86_64 build, 64-bit prefix; their 32-bit helpers under the emulation)"
summary=()
for log in build/x86_64/ctest-emulated.log build/x86_64/ctest.log build/i686/ctest.log; do
  [ -f "$log" ] || continue
  echo "== $log: tests run ${ran[$log]}"
  cat "$log"
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -1 || true)
  if [ -z "$line" ]; then
    # -L with no test of that label prints no summary.
    grep -q 'No tests were found' "$log" || status=1
    continue
  fi
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")
  # CTest counts a skipped test among the passed ones and lists it as not run.
  notrun=$(sed -nE 's/^[[:space:]]+[0-9]+ - (.*) \((Skipped|Disabled|Not Run)\)$/\1/p' "$log")
  skip=$(grep -c . <<<"$notrun" || true)
  passed=$((passed + total - bad - skip)); failed=$((failed + bad)); skipped=$((skipped + skip))
  ranhere=$(sed -nE 's/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: ([^ ]+) \.+ *(Passed|\*\*\*Failed|Failed).*/\1/p' "$log")
  summary+=("ran ${ran[$log]}: $(tr '\n' ' ' <<<"$ranhere")")
  while read -r t; do
    [ -z "$t" ] || summary+=("skipped: $t (it skipped itself; why is in its output, Testing/Temporary/LastTest.log)")
  done <<<"$notrun"
done
if [ "$mode" != native ]; then
  n=0
  names=$(test_names build/i686 || true)
  [ -z "$names" ] || n=$(grep -c . <<<"$names")
  skipped=$((skipped + n))
  summary+=("skipped: the i686 build's $n tests (32-bit prefix; 32-bit programs cannot run natively here)")
  if [ -z "$emulated" ]; then
    summary+=("skipped: no emulation, so the shipped32 tests skip themselves (counted above)")
  fi
fi
echo "== how the tests ran"
printf '%s\n' "${summary[@]}"
echo "total: $passed passed, $failed failed, $skipped skipped"
exit $status
