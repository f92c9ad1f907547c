#!/usr/bin/env bash
# Prints from the command line on a real print server (a private cupsd with a PDF-writing queue
# whose default paper is A4 with a printable area inset from the paper's edges): a puzzle and its
# solution, and a class set. Checks the jobs that arrive: one per page (a class set is one job),
# the queue's paper size, and the title and grid where the page layout puts them, measured from the
# queue's printable area. Also the refusals when there is no printer, no such queue, a queue that
# turns jobs away, or a print server that stops answering. (printing_windows.sh prints from the
# windows.)
# Usage: bash printing.sh <path-to-brivamo>   (needs root for cupsd; exits 77 when not root)
set -euo pipefail

# shellcheck source=common.bash
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"
# shellcheck source=print_server.bash
source "$(dirname "${BASH_SOURCE[0]}")/print_server.bash"
need_root_for_cupsd
run_under_xvfb 240 "$@"

BRIVAMO=$1
prepare_printing_work

# The command line runs without any display.
headless() {
    env -u DISPLAY -u QT_QPA_PLATFORM "$BRIVAMO" "$@"
}

# Refusals: exit status 4 and a one-line reason (that starts with $1).
expect_refusal() {
    local reason=$1 status=0 errors
    shift
    headless "$@" >/dev/null 2>"$WORK/errors" || status=$?
    errors=$(cat "$WORK/errors")
    [ "$status" -eq 4 ] || fail "brivamo $* ended with $status, not 4: $errors"
    [[ $errors == "brivamo: $reason"* && $errors != *$'\n'* ]] ||
        fail "brivamo $* said \"$errors\", not one line starting \"brivamo: $reason\""
}
CUPS_SERVER=$WORK/no-server.sock expect_refusal 'No printer is available.' --make ZOO --print

start_print_server "$WORK.print"
expect_refusal 'There is no printer named "NOPE".' --make ZOO --print --printer NOPE

# Where the page layout puts the title (all pages) and the first grid cell of a 12- and a 30-letter
# square, in inches from the printable area's corner; ink bands are searched from the paper's top.
# The solution page's first row and column may hold only the small dots of unused cells ($5: slack).
check_puzzle_page() {
    local pdf=$1 grid_left=$2 grid_top=$3 what=$4 slack=${5:-0} m=$PRINT_MARGIN_TOP
    check_page_size "$pdf" '595 x 842'
    check_ink_at "$pdf" 0 "$(awk -v m=$m 'BEGIN { print m + 0.88 }')" 1.0 0.8 "$what title"
    check_ink_at "$pdf" "$(awk -v m=$m -v t="$grid_top" 'BEGIN { print m + t - 0.1 }')" \
        "$(awk -v m=$m -v t="$grid_top" 'BEGIN { print m + t + 0.12 }')" "$grid_left" "$grid_top" "$what grid" "$slack"
}

# From the command line: the puzzle page and the solution page as two jobs.
headless --make ZOO --size 12 --seed 5 --quiet --print --solution --dedication Grandma 2>"$WORK/errors" ||
    fail "printing from the command line failed: $(cat "$WORK/errors")"
wait_print_jobs 2
check_puzzle_page "${PRINTED[0]}" 2.7 3.1667 "command line, puzzle page:"
check_puzzle_page "${PRINTED[1]}" 2.7 3.1667 "command line, solution page:" 0.1
# A queue by name, without a solution page: one job.
headless --make ZOO --size 12 --quiet --print --printer "$PRINT_QUEUE" 2>"$WORK/errors" ||
    fail "printing to the named queue failed: $(cat "$WORK/errors")"
wait_print_jobs 3

# A class set from the command line: one job holding every puzzle page, then every solution page.
headless --make ZOO --size 12 --seed 2 --count 3 --quiet --print --solution 2>"$WORK/errors" ||
    fail "printing a class set failed: $(cat "$WORK/errors")"
wait_print_jobs 4
set_pages=$(pdfinfo "${PRINTED[3]}" | sed -n 's/^Pages: *//p')
[ "$set_pages" = 6 ] || fail "a class set of 3 with solutions printed $set_pages pages, not 6"

# A queue that turns jobs away: the command line says so instead of reporting success.
cupsreject "$PRINT_QUEUE"
expect_refusal "The printer \"$PRINT_QUEUE\" did not take the print job" --make ZOO --quiet --print

# A print server that stops answering (stopped, not gone): the command line gives up within its time
# limit and says so.
kill -STOP "$PRINT_PID"
started=$SECONDS
BRIVAMO_PRINT_SERVER_TIME_LIMIT=1 expect_refusal 'The print server does not answer.' --make ZOO --quiet --print
[ $((SECONDS - started)) -lt 30 ] || fail "a stopped print server held the command line $((SECONDS - started)) s"
kill -CONT "$PRINT_PID"

echo "PASS"
