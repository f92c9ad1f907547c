# A private print server for the printing tests (sourced): cupsd with its own configuration,
# spool and socket, and one queue that writes each job into a PDF file of its own.
#
# start_print_server DIR starts it (DIR must not exist yet) and exports CUPS_SERVER, so that this
# shell and the programs it starts see only this server. The queue's default paper is A4 with a
# printable area 0.05 inch in from the left and 0.5 inch down from the top, so that a position
# measured from the paper's corner instead of the printable area shows. Its jobs land in
# $PRINT_OUT. stop_print_server ends the server and removes what start_print_server made; call
# it from the script's exit trap. Needs root (cupsd and its backend run as root).

PRINT_DIR=
PRINT_OUT=
PRINT_QUEUE=
PRINT_PID=
PRINT_BACKEND_CONF=

# The printable area's offset from the paper's top-left corner, in inches.
PRINT_MARGIN_LEFT=0.05
PRINT_MARGIN_TOP=0.5

start_print_server() {
    PRINT_DIR=$1
    local ppd_source=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
    command -v cupsd >/dev/null && [ -f "$ppd_source" ] && [ -x /usr/lib/cups/backend/cups-pdf ] ||
        fail "cupsd or the CUPS-PDF backend is missing (run ./setup.sh)"
    # The backend's settings are read from a fixed folder, one file per device name.
    local device
    device=brivamo-test-$$-$RANDOM
    PRINT_BACKEND_CONF=/etc/cups/cups-pdf-$device.conf
    PRINT_QUEUE=BrivamoTest
    PRINT_OUT=$PRINT_DIR/out

    # cupsd runs filters as the lp user: the folders must be reachable by it.
    mkdir -m 755 "$PRINT_DIR"
    mkdir -p "$PRINT_DIR/conf/ppd" "$PRINT_DIR/spool/tmp" "$PRINT_DIR/cache" "$PRINT_DIR/state" \
        "$PRINT_DIR/log" "$PRINT_OUT"
    chmod 755 "$PRINT_DIR"/*
    cat >"$PRINT_DIR/conf/cups-files.conf" <<EOF
ServerRoot $PRINT_DIR/conf
RequestRoot $PRINT_DIR/spool
TempDir $PRINT_DIR/spool/tmp
CacheDir $PRINT_DIR/cache
StateDir $PRINT_DIR/state
ErrorLog $PRINT_DIR/log/error_log
AccessLog $PRINT_DIR/log/access_log
PageLog $PRINT_DIR/log/page_log
ServerBin /usr/lib/cups
DataDir /usr/share/cups
SystemGroup root
EOF
    cat >"$PRINT_DIR/conf/cupsd.conf" <<EOF
Listen $PRINT_DIR/cups.sock
LogLevel warn
Browsing No
WebInterface No
DefaultAuthType None
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
    printf 'Out %s\n' "$PRINT_OUT" >"$PRINT_BACKEND_CONF"
    # A4, printable from 3.6 pt in on the left (less than the 10 points Qt starts with), 18 pt on the
    # right, 36 pt from the top and 27 pt from the bottom.
    sed -e 's|^\*ImageableArea A4/A4: .*|*ImageableArea A4/A4: "3.6 27 577 806"|' "$ppd_source" \
        >"$PRINT_DIR/queue.ppd"

    cupsd -f -c "$PRINT_DIR/conf/cupsd.conf" -s "$PRINT_DIR/conf/cups-files.conf" \
        >"$PRINT_DIR/log/cupsd.out" 2>&1 &
    PRINT_PID=$!
    export CUPS_SERVER=$PRINT_DIR/cups.sock
    local deadline=$((SECONDS + 30))
    until lpstat -r >/dev/null 2>&1; do
        kill -0 "$PRINT_PID" 2>/dev/null || fail "cupsd did not start: $(cat "$PRINT_DIR/log/cupsd.out")"
        [ $SECONDS -lt $deadline ] || fail "cupsd did not answer within 30 s"
        sleep 0.1
    done
    # A scheduler that has just begun to answer may still turn the new queue away: ask again.
    until lpadmin -p "$PRINT_QUEUE" -v "cups-pdf:/$device" -E -P "$PRINT_DIR/queue.ppd" -o PageSize=A4 \
        2>"$PRINT_DIR/log/lpadmin.out"; do
        [ $SECONDS -lt $deadline ] ||
            fail "cannot add the print queue: $(cat "$PRINT_DIR/log/lpadmin.out" "$PRINT_DIR/log/error_log")"
        sleep 0.2
    done
    lpadmin -d "$PRINT_QUEUE" || fail "cannot make the print queue the default"
}

stop_print_server() {
    if [ -n "$PRINT_PID" ]; then
        kill "$PRINT_PID" 2>/dev/null || true
        wait "$PRINT_PID" 2>/dev/null || true
        PRINT_PID=
    fi
    [ -n "$PRINT_BACKEND_CONF" ] && rm -f "$PRINT_BACKEND_CONF"
    [ -n "$PRINT_DIR" ] && rm -rf "$PRINT_DIR"
    return 0
}

# Waits until $1 print jobs have been completed in all (the queue keeps their history) and none is
# pending, then sets PRINTED to the PDF files that arrived, oldest job first.
PRINTED=()
wait_print_jobs() {
    local count=$1 seconds=${2:-90} deadline done_jobs
    deadline=$((SECONDS + seconds))
    while :; do
        done_jobs=$(lpstat -W completed -o "$PRINT_QUEUE" 2>/dev/null | grep -c .) || done_jobs=0
        if [ "$done_jobs" -ge "$count" ] && [ -z "$(lpstat -o "$PRINT_QUEUE" 2>/dev/null)" ]; then
            break
        fi
        [ $SECONDS -lt $deadline ] ||
            fail "$done_jobs of $count print jobs done after $seconds s: $(lpstat -W all -o 2>&1); $(tail -n 20 "$PRINT_DIR/log/error_log" 2>/dev/null)"
        sleep 0.2
    done
    [ "$done_jobs" -eq "$count" ] || fail "$done_jobs print jobs arrived, not $count"
    # cups-pdf names each file after the job's title and number ("...-job_7.pdf").
    mapfile -t PRINTED < <(find "$PRINT_OUT" -name '*.pdf' | sed -E 's/.*-job_([0-9]+)\.pdf$/\1 &/' |
        sort -n | cut -d' ' -f2-)
    [ "${#PRINTED[@]}" -eq "$count" ] || fail "$count jobs done, but ${#PRINTED[@]} PDF files arrived"
}

# Checks that the PDF $1 holds one page of the paper size $2 ("595 x 842" points).
check_page_size() {
    local info
    info=$(pdfinfo "$1") || fail "pdfinfo cannot read $1"
    grep -q '^Pages: *1$' <<<"$info" || fail "$1 is not one page: $info"
    grep -q "^Page size: *$2 pts" <<<"$info" || fail "$1 is not $2 points: $(grep 'Page size' <<<"$info")"
}

# Sets INK to the top-left corner "LEFT TOP", in inches from the paper's corner, of the dark pixels
# of the first page of the PDF $1 within the band from $2 to $3 inches from the paper's top.
INK=
ink_corner() {
    local pdf=$1 from=$2 to=$3 dpi=100 image box
    image=$(mktemp --suffix=.pgm)
    pdftoppm -r "$dpi" -gray -singlefile -f 1 -l 1 "$pdf" >"$image" 2>/dev/null || fail "cannot rasterise $pdf"
    box=$(awk -v d=$dpi -v a="$from" -v b="$to" 'BEGIN { printf "%dx%d+0+%d", 10000, (b - a) * d, a * d }')
    # The crop's corner pixel is paper, so trimming leaves the bounding box of the ink.
    box=$(convert "$image" -crop "$box" +repage -threshold 50% -format '%@' info: 2>/dev/null)
    rm -f "$image"
    [[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] && [ "${BASH_REMATCH[1]}" -gt 1 ] ||
        fail "no ink in $pdf between $from and $to inches"
    INK=$(awk -v d=$dpi -v a="$from" -v x="${BASH_REMATCH[3]}" -v y="${BASH_REMATCH[4]}" \
        'BEGIN { printf "%.3f %.3f\n", x / d, a + y / d }')
}

# Checks that the ink of the PDF $1 between $2 and $3 inches from the paper's top lies where text
# placed at ($4, $5) inches from the printable area's corner puts it: the ink starts a little right
# of and below the text's top-left corner (side bearing and the space above capitals), never left
# of or above it. $7 (inches, default 0) widens the allowance right and down, for text whose first
# characters may be small marks rather than capitals.
check_ink_at() {
    local x=$4 y=$5 what=$6 slack=${7:-0} measured
    ink_corner "$1" "$2" "$3"
    measured=$INK
    awk -v m="$measured" -v x="$x" -v y="$y" -v l="$PRINT_MARGIN_LEFT" -v t="$PRINT_MARGIN_TOP" -v s="$slack" 'BEGIN {
        split(m, p, " "); dx = p[1] - (l + x); dy = p[2] - (t + y)
        exit !(dx > -0.02 && dx < 0.05 + s && dy > -0.02 && dy < 0.07 + s)
    }' || fail "$what: ink at $measured inches from the paper's corner, expected just right of and below ($x, $y) from the printable area's corner, which is ($PRINT_MARGIN_LEFT, $PRINT_MARGIN_TOP) in"
    echo "$what: ink at $measured in from the paper corner (placed at $x, $y from the printable corner)"
}

# A printing test's own home, settings and lists folder (holding ZOO.lst) in a new $WORK, made the
# current folder; everything, the print server included, goes again when the test ends.
prepare_printing_work() {
    WORK=$(mktemp -d)
    APP_PID=
    trap printing_cleanup EXIT
    export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config XDG_RUNTIME_DIR=$WORK/runtime
    mkdir -p "$XDG_CONFIG_HOME/Brivamo" "$XDG_RUNTIME_DIR" "$WORK/lists"
    chmod 700 "$XDG_RUNTIME_DIR"
    printf '[Defaults]\nNewUser=NoShow\n' >"$XDG_CONFIG_HOME/Brivamo/Brivamo.conf"
    printf 'LION\r\nTIGER\r\nZEBRA\r\nGIRAFFE\r\n' >"$WORK/lists/ZOO.lst"
    unset PULSE_SERVER
    cd "$WORK/lists"
}

printing_cleanup() {
    local status=$?
    stop_app
    # A stopped server must run again to hear that it should end.
    [ -n "$PRINT_PID" ] && kill -CONT "$PRINT_PID" 2>/dev/null
    stop_print_server
    rm -rf "$WORK"
    exit $status
}

fail() {
    echo "FAIL: $* (at lines ${BASH_LINENO[*]})" >&2
    [ -s "$WORK/brivamo.log" ] && { echo "program output:" >&2; cat "$WORK/brivamo.log" >&2; }
    exit 1
}

# Skips the calling test (exit 77) unless it runs as root, which a private cupsd needs.
need_root_for_cupsd() {
    if [ "$(id -u)" -ne 0 ]; then
        echo "SKIP: a private cupsd with the PDF backend needs root"
        exit 77
    fi
}
