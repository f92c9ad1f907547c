#!/usr/bin/env bash
# Prints from the windows on a real print server (a private cupsd with a PDF-writing queue whose
# default paper is A4 with a printable area inset from the paper's edges): a puzzle and its solution
# from the puzzle window, and a help topic from the help window. Checks the jobs that arrive: one
# per page, the queue's paper size, and the title, grid and heading where the page layout puts
# them, measured from the queue's printable area. A queue that turns jobs away gives the puzzle
# window's error message. (printing.sh prints from the command line.)
# Usage: bash printing_windows.sh <path-to-brivamo>   (needs root for cupsd; exits 77 when not root)
set -euo pipefail

# shellcheck source=common.bash
source "$(dirname "${BASH_SOURCE[0]}")/common.bash"
# shellcheck source=print_server.bash
source "$(dirname "${BASH_SOURCE[0]}")/print_server.bash"
need_root_for_cupsd
run_under_xvfb 240 "$@"

BRIVAMO=$1
prepare_printing_work

start_print_server "$WORK.print"

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

# From the puzzle window: make a 30-letter puzzle of ZOO and print it with its solution page.
export QT_QPA_PLATFORM=xcb
"$BRIVAMO" >"$WORK/brivamo.log" 2>&1 &
APP_PID=$!
title=$(wait_window '^Brivamo$')
keys_to "$title" Return
# The lobby and the puzzle window have the title window's caption: each replaces the one before.
wait_gone_id "$title"
lobby=$(wait_window '^Brivamo$')
# ZOO sorts last in the catalogue, which has the focus; Enter opens the puzzle window.
keys_to "$lobby" End Return
wait_gone_id "$lobby"
puzzle=$(wait_window '^Brivamo$')
keys_to "$puzzle" alt+m
# Printing is offered once the puzzle is made: Alt+P then asks whether to add a solution page.
question=$(ask_to_print "$puzzle")
keys_to "$question" alt+y
personalize=$(wait_window '^Personalize\?$')
keys_to "$personalize" alt+n
wait_print_jobs 2
check_puzzle_page "${PRINTED[0]}" 0.9 1.6667 "puzzle window, puzzle page:"
check_puzzle_page "${PRINTED[1]}" 0.9 1.6667 "puzzle window, solution page:" 0.1

# The help window prints its topic as one job: the heading at (1, 1) inches.
keys_to "$puzzle" F1
help=$(wait_window '^ Help Window$')
keys_to "$help" alt+p
wait_print_jobs 3
check_page_size "${PRINTED[2]}" '595 x 842'
check_ink_at "${PRINTED[2]}" 0 "$(awk -v m=$PRINT_MARGIN_TOP 'BEGIN { print m + 1.08 }')" 1.0 1.0 \
    "help window, heading"

# A queue that turns jobs away: the puzzle window says so instead of reporting success.
cupsreject "$PRINT_QUEUE"
keys_to "$help" Escape
wait_gone_id "$help"
keys_to "$puzzle" alt+p
question=$(new_window '^Brivamo$' "$puzzle" 30) || fail "no question besides the puzzle window after Alt+P"
keys_to "$question" alt+n
personalize=$(wait_window '^Personalize\?$')
keys_to "$personalize" alt+n
error=$(wait_window '^Error$')
keys_to "$error" Return

echo "PASS"
