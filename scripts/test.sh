#!/usr/bin/env bash
# Builds the three flavours and runs every test: the portable unit tests
# natively, again with AddressSanitizer and UndefinedBehaviorSanitizer, and
# cross-compiled under Wine; the fuzz corpus replayed through the sanitizers;
# then the Win32 tests under Wine. Prints each runner's summary and a total;
# exits non-zero on any failure.
set -uo pipefail
source "$(dirname "$0")/lib/common.sh"

bash "$MIVLET_ROOT/scripts/setup.sh" || exit 1
mkdir -p "$MIVLET_BUILD"

build_native || exit 1
build_asan || exit 1
build_windows || exit 1

ensure_display || exit 1
trap 'wine_stop; stop_display' EXIT
wine_env || exit 1
wine_virtual_desktop || { echo "the Wine prefix could not be given a virtual desktop"; exit 1; }

passed=0 failed=0
summary=()

# run_logged LABEL COMMAND...: runs COMMAND with its output in the
# runner's log; sets log and rc for the caller.
run_logged() {
  local label=$1; shift
  log="$MIVLET_BUILD/$label.log"
  echo "=== $label"
  "$@" >"$log" 2>&1
  rc=$?
}

# run_gtest LABEL COMMAND...: runs one test program and adds up its counts.
run_gtest() {
  local label=$1 log rc
  run_logged "$@"
  local ran ok bad
  ran=$(sed -n 's/^\[==========\] \([0-9]*\) tests\{0,1\} from .* ran\..*/\1/p' "$log" | tail -1)
  ok=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\..*/\1/p' "$log" | tail -1)
  bad=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\{0,1\}, listed below.*/\1/p' "$log" | tail -1)
  ok=${ok:-0} bad=${bad:-0}
  if [[ $rc -ne 0 || -z $ran ]]; then
    grep -E '^\[  FAILED  \]|Failure|ERROR|error:' "$log" | head -40
    [[ $bad -eq 0 ]] && bad=1   # crashed or ended without its summary
    tail -20 "$log"
  fi
  grep -E '^\[==========\] .* ran\.|^\[  PASSED  \]|^\[  FAILED  \]' "$log"
  passed=$((passed + ok)) failed=$((failed + bad))
  summary+=("$label: $ok passed, $bad failed")
}

# run_counted LABEL COMMAND...: a script that ends with "label: N passed, N failed".
run_counted() {
  local label=$1 log rc
  run_logged "$@"
  grep -E '^(not ok|SKIP|#)' "$log"
  local line ok bad
  line=$(grep -E '^[a-z0-9-]+: [0-9]+ passed, [0-9]+ failed' "$log" | tail -1)
  echo "$line"
  ok=$(sed -n 's/^[^:]*: \([0-9]*\) passed.*/\1/p' <<<"$line")
  bad=$(sed -n 's/^[^:]*: [0-9]* passed, \([0-9]*\) failed.*/\1/p' <<<"$line")
  ok=${ok:-0} bad=${bad:-0}
  if [[ $rc -ne 0 && $bad -eq 0 ]]; then bad=1; tail -20 "$log"; fi
  passed=$((passed + ok)) failed=$((failed + bad))
  summary+=("$label: $ok passed, $bad failed")
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

bin=$MIVLET_BUILD
run_gtest native-core        "$bin/native/bin/core_tests"
run_gtest sanitized-core     "$bin/asan/bin/core_tests"
run_counted fuzz-replay      bash "$MIVLET_ROOT/scripts/fuzz-replay.sh" "$bin/asan/bin/fuzz"
run_gtest wine-core          wine "$bin/win/bin/core_tests.exe"
run_gtest wine-win32         wine "$bin/win/bin/win32_tests.exe"
run_gtest wine-app           wine "$bin/win/bin/app_tests.exe"
run_gtest wine-chatwindow    wine "$bin/win/bin/chatwindow_tests.exe"
run_counted wine-installer   bash "$MIVLET_ROOT/tests/packaging/wine_installer_test.sh"
run_counted wine-msi         bash "$MIVLET_ROOT/tests/packaging/wine_msi_test.sh"
run_counted admx             python3 "$MIVLET_ROOT/tests/packaging/admx_check.py"
run_counted wine-links       bash "$MIVLET_ROOT/tests/e2e/wine_links_test.sh"
run_counted lan-e2e          bash "$MIVLET_ROOT/tests/e2e/peer_lan_test.sh"
run_counted lan-peer-unicode bash "$MIVLET_ROOT/tests/e2e/peer_unicode_lan_test.sh"
run_counted lan-conversation bash "$MIVLET_ROOT/tests/e2e/conversation_lan_test.sh"
run_counted lan-unicode      bash "$MIVLET_ROOT/tests/e2e/unicode_lan_test.sh"
run_counted lan-route        bash "$MIVLET_ROOT/tests/e2e/route_lan_test.sh"
run_counted lan-carrier      bash "$MIVLET_ROOT/tests/e2e/carrier_lan_test.sh"
run_counted lan-alerts       bash "$MIVLET_ROOT/tests/e2e/alerts_lan_test.sh"
run_counted lan-first-run    bash "$MIVLET_ROOT/tests/e2e/first_run_test.sh"

echo
printf '%s\n' "${summary[@]}"
echo "tests: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
