# The checks of the end-to-end scripts: a line "ok - ..." or "not ok - ..."
# each, and the summary "LABEL: N passed, N failed" that the test command
# reads. Source it after lan.sh, with E2E_LABEL set.

passed=0 failed=0

check() {  # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then
    echo "ok - $what"; passed=$((passed + 1))
  else
    echo "not ok - $what"; failed=$((failed + 1))
  fi
}

equals() { [[ "$1" == "$2" ]]; }

now_ms() { date +%s%3N; }

# wait_until SECONDS COMMAND...: true as soon as COMMAND is, false after
# SECONDS; COMMAND is tried every E2E_POLL seconds (default 0.2).
wait_until() {
  local deadline=$(($(now_ms) + $1 * 1000)); shift
  until "$@"; do
    (($(now_ms) >= deadline)) && return 1
    sleep "${E2E_POLL:-0.2}"
  done
}

e2e_summary() { echo "$E2E_LABEL: $passed passed, $failed failed"; }

# e2e_require_built FILE...: ends the script as failed when one is missing.
e2e_require_built() {
  local needed
  for needed in "$@"; do
    [[ -e $needed ]] || { echo "not ok - $needed is not built"; failed=1; e2e_summary; exit 1; }
  done
}

# Ends the script as skipped, with the reason, where no test LAN can be made.
e2e_skip_without_lan() {
  local reason
  reason=$(lan_available) && return 0
  echo "SKIP: the test LAN needs network namespaces: $reason"
  echo "$E2E_LABEL: 0 passed, 0 failed, 1 skipped"
  exit 0
}

# e2e_begin_lan HOST...: the script's test LAN, and a folder $out for its
# files; both go, and the summary is printed, when the script ends.
e2e_begin_lan() {
  e2e_skip_without_lan
  out=$(mktemp -d)
  trap e2e_finish EXIT
  lan_create "$@" || { echo "not ok - test LAN could not be built"; failed=1; exit 1; }
}

e2e_finish() {
  lan_destroy
  rm -rf "$out"
  e2e_summary
}
