#!/usr/bin/env bash
# Loopback INN 2 news server for the conformance tests (tests/conformance).
#
#   inn2.sh start    install (first run), configure, start, create the test groups
#   inn2.sh stop     stop only the processes this script recorded
#   inn2.sh reset    stop, wipe articles/history/overview, start again with empty groups
#   inn2.sh status   show recorded PIDs and probe every port
#
# Ports (all bound to 127.0.0.1 and ::1 only):
#   119   innd.  Loopback clients are a feed peer there ("transit mode"), so a
#         reader must send MODE READER first; innd then hands it to nnrpd.
#   1119  nnrpd daemon, open reader: read/post without login (AUTHINFO optional).
#   1120  nnrpd daemon, login required: AUTHINFO USER tester / PASS secret.
#   1121  nnrpd daemon, INN's default reader rights: read/post, but NEWNEWS is answered
#         "480 NEWNEWS command disabled by administrator".
#   1563  nnrpd daemon, implicit TLS (nntps), open access as on 1119; certificate for
#         localhost / 127.0.0.1 / ::1 signed by a test CA: $STATE/tls/ca.pem (made once, kept).
set -euo pipefail

PEER_NAME=inn2
# shellcheck source-path=SCRIPTDIR source=peer-lib.sh
. "$(dirname "${BASH_SOURCE[0]}")/peer-lib.sh"

READER_PORT=${INN_READER_PORT:-1119}
AUTH_PORT=${INN_AUTH_PORT:-1120}
NONEWNEWS_PORT=${INN_NONEWNEWS_PORT:-1121}
TLS_PORT=${INN_TLS_PORT:-1563}
FEED_PORT=119
TEST_USER=${INN_TEST_USER:-tester}
TEST_PASS=${INN_TEST_PASS:-secret}
# nnrpd drops a connection that sends no command this long after the greeting
INITIAL_TIMEOUT=${INN_INITIAL_TIMEOUT:-10}

ETC=/etc/news
BIN=/usr/lib/news/bin
DB=/var/lib/news
SPOOL=/var/spool/news
RUN=/run/news
SINK=/usr/local/lib/test-peers/news-mail-sink

# name flag description
GROUP_TABLE=$(cat <<'EOF'
kestrova.test y General read/post test group
kestrova.test.moderated m Moderated test group
kestrova.test.readonly n Read-only test group (no local posting)
kestrova.test.koi8 y Тестовая группа: статьи в KOI8-R
kestrova.test.bench y Bulk articles for benchmarks
local.charsets.test y Articles in many character sets, posted once
EOF
for i in $(seq -w 1 20); do echo "local.test.g$i y Filler group $i"; done)

# ---------------------------------------------------------------- install
# inn2's postinst fails when the host name has no domain part (innconfval
# refuses it); so set up inn.conf, then finish the configuration step.
unpack_and_configure_inn2() {
    apt_install_logged inn2 || true
    [ -f $ETC/inn.conf ] || { cat "$STATE/apt.log" >&2; die "inn2 package did not unpack"; }
    configure_inn_conf
    DEBIAN_FRONTEND=noninteractive dpkg --configure -a >> "$STATE/apt.log" 2>&1 || true
}

install_inn2() {
    if pkg_installed inn2; then
        return
    fi
    install -d -m 755 "$STATE"
    hosts_entry
    refresh_lists_for inn2
    local t0=$SECONDS
    # Keeps innd and exim from starting with stock settings.
    without_service_starts unpack_and_configure_inn2
    pkg_installed inn2 || { cat "$STATE/apt.log" >&2; die "inn2 install failed"; }
    log "installed inn2 in $((SECONDS - t0))s"
}

# ---------------------------------------------------------------- configure
# Replace (or add) one inn.conf parameter.
set_conf() {
    local key=$1 val=$2 f=$ETC/inn.conf
    grep -v -E "^${key}:" "$f" > "$f.tmp" || true
    printf '%-28s %s\n' "$key:" "$val" >> "$f.tmp"
    cat "$f.tmp" > "$f" && rm -f "$f.tmp"
}

# innd/nnrpd (and inn2's postinst) resolve the host name; make sure
# /etc/hosts answers so no DNS query leaves the machine.
hosts_entry() {
    local h; h=$(hostname)
    if ! grep -qE "^[^#]*[[:space:]]$h([[:space:]]|\$)" /etc/hosts; then
        echo "127.0.1.1 $h" >> /etc/hosts
    fi
}

configure_inn_conf() {
    hosts_entry
    set_conf domain          example.test
    set_conf fromhost        example.test
    set_conf pathhost        news.example.test
    set_conf organization    '"Loopback test news server"'
    set_conf bindaddress     '"127.0.0.1"'
    set_conf bindaddress6    '"::1"'
    set_conf port            $FEED_PORT
    set_conf allownewnews    true
    set_conf artcutoff       0
    set_conf doinnwatch      false
    set_conf pgpverify       false
    set_conf nnrpdflags      '"-n"'
    set_conf nnrpdloadlimit  0
    set_conf initialtimeout  "$INITIAL_TIMEOUT"
    set_conf mta             "\"$SINK %s\""
}

configure_all() {
    configure_inn_conf

    # Mail (moderator submissions, server notices) goes to a local mbox.
    install -d /usr/local/lib/test-peers
    cat > $SINK <<'EOF'
#!/bin/sh
# Stand-in MTA for the loopback news server: keep mail in a local mbox.
{ echo "From mail-sink $(date -u '+%a %b %e %T %Y')"; echo "X-Envelope-To: $*"; cat; echo; } \
    >> /var/log/news/mail-sink.mbox
EOF
    chmod 755 $SINK

    # Readers: open access from loopback; logging in is optional.
    [ -f $ETC/readers.conf.dist ] || cp -p $ETC/readers.conf $ETC/readers.conf.dist
    cat > $ETC/readers.conf <<EOF
# Loopback test server: local clients read and post without logging in.
# AUTHINFO USER/PASS is accepted too ($TEST_USER, see passwd.test).
auth "loopback" {
    hosts: "127.0.0.1, ::1, localhost, stdin"
    auth: "ckpasswd -f $ETC/passwd.test"
    default: "<loopback>"
}
access "loopback" {
    users: "<loopback>, $TEST_USER"
    newsgroups: "*"
    access: RPAN
    domain: "example.test"
    addcanlockuser: none
}
EOF
    # Second nnrpd (-c readers-auth.conf): nothing works before AUTHINFO.
    cat > $ETC/readers-auth.conf <<EOF
# Loopback test server, login-required port.
auth "loopback-login" {
    hosts: "127.0.0.1, ::1, localhost"
    auth: "ckpasswd -f $ETC/passwd.test"
}
access "login" {
    users: "$TEST_USER"
    newsgroups: "*"
    access: RPAN
    domain: "example.test"
    addcanlockuser: none
}
EOF
    local hash; hash=$(perl -e 'print crypt($ARGV[0], q($6$peersalt$))' "$TEST_PASS")
    printf '%s:%s\n' "$TEST_USER" "$hash" > $ETC/passwd.test
    chown root:news $ETC/passwd.test $ETC/readers-auth.conf
    chmod 640 $ETC/passwd.test
    # Third nnrpd (-c readers-nonewnews.conf): what most servers give readers, no NEWNEWS.
    cat > $ETC/readers-nonewnews.conf <<EOF
# Loopback test server, default reader rights: NEWNEWS is refused (no N).
auth "loopback" {
    hosts: "127.0.0.1, ::1, localhost"
    auth: "ckpasswd -f $ETC/passwd.test"
    default: "<loopback>"
}
access "loopback" {
    users: "<loopback>, $TEST_USER"
    newsgroups: "*"
    access: RPA
    domain: "example.test"
    addcanlockuser: none
}
EOF
    chown root:news $ETC/readers-nonewnews.conf

    # Moderated test groups: submissions end up in the mail sink.
    grep -q '^kestrova\.\*:' $ETC/moderators \
        || sed -i '1i kestrova.*:%s@moderators.example.test' $ETC/moderators

    install -d -o news -g news -m 775 $RUN
    install -d -m 755 "$STATE"
    make_tls_files
}

# A test CA and a server certificate for localhost, 127.0.0.1 and ::1, made once and kept, so
# clients that trust the CA keep trusting the server across restarts.
make_tls_files() {
    local dir=$STATE/tls
    install -d -m 755 "$dir"
    if [ ! -s "$dir/server.pem" ]; then
        openssl req -x509 -newkey rsa:2048 -nodes -days 3650 -subj "/CN=Kestrova Test CA" \
            -keyout "$dir/ca.key" -out "$dir/ca.pem" > /dev/null 2>&1
        openssl req -newkey rsa:2048 -nodes -subj "/CN=localhost" \
            -keyout "$dir/server.key" -out "$dir/server.csr" > /dev/null 2>&1
        printf 'subjectAltName=DNS:localhost,IP:127.0.0.1,IP:::1\n' > "$dir/san.ext"
        openssl x509 -req -in "$dir/server.csr" -CA "$dir/ca.pem" -CAkey "$dir/ca.key" \
            -CAcreateserial -days 3650 -extfile "$dir/san.ext" -out "$dir/server.pem" \
            > /dev/null 2>&1
        [ -s "$dir/server.pem" ] || die "could not make the test certificate"
    fi
    install -o news -g news -m 644 "$dir/server.pem" $ETC/test-tls-cert.pem
    install -o news -g news -m 600 "$dir/server.key" $ETC/test-tls-key.pem
    set_conf tlscertfile "$ETC/test-tls-cert.pem"
    set_conf tlskeyfile "$ETC/test-tls-key.pem"
}

# ---------------------------------------------------------------- helpers
# Print the greeting of an NNTP server; succeed if it is 200/201.
probe() {
    local host=$1 port=$2 line=
    exec 3<>"/dev/tcp/$host/$port" || return 1
    IFS= read -r -t 5 line <&3 || true
    printf 'QUIT\r\n' >&3 2>/dev/null || true
    exec 3<&- 3>&- || true
    line=${line%$'\r'}
    printf '%s\n' "$line"
    [[ $line == 20[01]* ]]
}

wait_ready() {
    wait_until 100 probe 127.0.0.1 "$1" || die "nothing answers on 127.0.0.1:$1"
}

# Greeting through TLS, checked against the test CA and the name localhost.
tls_probe() {
    local line
    line=$(printf 'QUIT\r\n' | timeout 5 openssl s_client -quiet -verify_return_error \
        -CAfile "$STATE/tls/ca.pem" -verify_hostname localhost -connect "127.0.0.1:$1" \
        2> /dev/null | head -n 1) || true
    line=${line%$'\r'}
    printf '%s\n' "$line"
    [[ $line == 20[01]* ]]
}

wait_tls_ready() {
    wait_until 100 tls_probe "$1" || die "no TLS greeting on 127.0.0.1:$1"
}

record() { echo "$2" > "$STATE/$1.pid"; }

# ---------------------------------------------------------------- start/stop
start_innd() {
    local pid
    if pid=$(live_pid $RUN/innd.pid "$BIN/innd"); then
        record innd "$pid"
        return
    fi
    runuser -u news -- $BIN/rc.news > "$STATE/rc.news.log" 2>&1 \
        || { cat "$STATE/rc.news.log" >&2; die "rc.news failed"; }
    wait_ready $FEED_PORT
    pid=$(live_pid $RUN/innd.pid "$BIN/innd") || die "innd did not write its PID"
    record innd "$pid"
}

create_groups() {
    local name flag desc created=0
    while read -r name flag desc; do
        if ! grep -q "^$name " $DB/active; then
            $BIN/ctlinnd -s newgroup "$name" "$flag" "$TEST_USER" || die "newgroup $name"
            created=$((created + 1))
        fi
        grep -q "^${name}[[:space:]]" $DB/newsgroups \
            || printf '%s\t%s\n' "$name" "$desc" >> $DB/newsgroups
    done <<< "$GROUP_TABLE"
    [ $created = 0 ] || log "created $created newsgroups"
}

# start_nnrpd PORT CONFIG [-S]: -S serves implicit TLS.
start_nnrpd() {
    local port=$1 conf=$2 tls=${3:-} pid
    if pid=$(live_pid "$RUN/nnrpd-$port.pid" "$BIN/nnrpd"); then
        record "nnrpd-$port" "$pid"
        return
    fi
    runuser -u news -- $BIN/nnrpd -D -p "$port" -4 127.0.0.1 -6 ::1 -n -c "$conf" $tls
    if [ -n "$tls" ]; then wait_tls_ready "$port"; else wait_ready "$port"; fi
    pid=$(live_pid "$RUN/nnrpd-$port.pid" "$BIN/nnrpd") || die "nnrpd $port wrote no PID"
    record "nnrpd-$port" "$pid"
}

do_start() {
    local t0=$SECONDS
    install_inn2
    configure_all
    start_innd
    create_groups
    start_nnrpd "$READER_PORT" readers.conf
    start_nnrpd "$AUTH_PORT" readers-auth.conf
    start_nnrpd "$NONEWNEWS_PORT" readers-nonewnews.conf
    start_nnrpd "$TLS_PORT" readers.conf -S
    log "ready in $((SECONDS - t0))s"
    do_status
}

# Each reader daemon forks one nnrpd per open connection; those go too.
do_stop() {
    local port pid kids k
    for port in "$READER_PORT" "$AUTH_PORT" "$NONEWNEWS_PORT" "$TLS_PORT"; do
        stop_recorded "$STATE/nnrpd-$port.pid" "$BIN/nnrpd" "nnrpd-$port" "$BIN/nnrpd"
    done
    if pid=$(live_pid "$STATE/innd.pid" "$BIN/innd"); then
        kids=$(children_of "$pid" "$BIN/nnrpd")
        $BIN/ctlinnd -s -t 20 shutdown "test run finished" || kill "$pid" || true
        reap "$pid" 100
        for k in $kids; do kill "$k" 2>/dev/null || true; done
        rm -f $RUN/innd.pid
        log "stopped innd (pid $pid)"
    fi
    rm -f "$STATE/innd.pid"
}

# Empty spool, history and overview; keep configuration.  Groups are
# recreated (with fresh creation times) by the next start.
do_reset() {
    do_stop
    install_inn2
    rm -rf "${SPOOL:?}"/articles/* "${SPOOL:?}"/overview/* \
           "${SPOOL:?}"/incoming/bad/* "${SPOOL:?}"/outgoing/*
    install -o news -g news -m 644 /usr/lib/news/examples/active $DB/active
    install -o news -g news -m 644 /usr/lib/news/examples/newsgroups $DB/newsgroups
    : > $DB/active.times
    rm -f $DB/history $DB/history.*
    runuser -u news -- sh -c "cd $DB && : > history && $BIN/makedbz -i -o"
    rm -f /var/log/news/mail-sink.mbox
    : > /var/log/news/news
    log "spool and history wiped"
    do_start
}

do_status() {
    local name rc=0
    for name in innd "nnrpd-$READER_PORT" "nnrpd-$AUTH_PORT" "nnrpd-$NONEWNEWS_PORT" \
        "nnrpd-$TLS_PORT"; do
        if [ -s "$STATE/$name.pid" ] && alive "$(cat "$STATE/$name.pid")"; then
            echo "$name pid $(cat "$STATE/$name.pid")"
        else
            echo "$name not running"; rc=1
        fi
    done
    local port line
    for port in $FEED_PORT $READER_PORT $AUTH_PORT $NONEWNEWS_PORT; do
        line=$(probe 127.0.0.1 "$port" 2>/dev/null) || rc=1
        echo "127.0.0.1:$port ${line:-no answer}"
    done
    line=$(tls_probe "$TLS_PORT" 2>/dev/null) || rc=1
    echo "127.0.0.1:$TLS_PORT (TLS) ${line:-no answer}"
    return $rc
}

peer_main "start|stop|reset|status" "$@"
