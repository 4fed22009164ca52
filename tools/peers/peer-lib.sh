# Helpers shared by the loopback peer scripts (inn2.sh, dante.sh, microsocks.sh); sourced, not run.
#
# The sourcing script sets PEER_NAME first: it is the prefix of its log lines and the name of its
# state folder STATE (PID files, logs, generated configs) below PEER_STATE_DIR.
# The SOCKS helpers further expect OPEN_PORT, AUTH_PORT, SOCKS_DAEMON (the name in file names and
# messages), SOCKS_EXE (its executable) and a function launch_instance PORT open|login.
# shellcheck shell=bash disable=SC2154

STATE=${PEER_STATE_DIR:-/var/tmp/test-peers}/${PEER_NAME:?set PEER_NAME before sourcing peer-lib.sh}
POLICY_RC=/usr/sbin/policy-rc.d

log() { printf '[%s] %s\n' "$PEER_NAME" "$*" >&2; }
die() { log "ERROR: $*"; exit 1; }

# Runs do_<command> for the first argument (start when there is none), as root only; COMMANDS is
# the usage list, e.g. "start|stop|status".
peer_main() {
    local commands=$1 command=${2:-start} known list
    [ "$(id -u)" = 0 ] || die "run as root"
    IFS='|' read -ra list <<< "$commands"
    for known in "${list[@]}"; do
        if [ "$command" = "$known" ]; then
            "do_$command"
            return
        fi
    done
    echo "usage: $0 $commands" >&2
    exit 2
}

# ---------------------------------------------------------------- packages
pkg_installed() {
    [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" = "install ok installed" ]
}

# Refreshes the package lists only when PACKAGE has no install candidate yet.
refresh_lists_for() {
    grep -q 'Candidate: [0-9]' <<< "$(apt-cache policy "$1" 2>/dev/null)" || apt-get update -q
}

# apt-get install PACKAGE, its output kept in $STATE/apt.log.
apt_install_logged() {
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "$1" \
        > "$STATE/apt.log" 2>&1
}

# Runs COMMAND... while package maintainer scripts may not start services (so no stock daemon
# starts with its stock settings). A policy file that was already there is left as it is; one
# put there here is removed afterwards, also when COMMAND makes the script exit.
without_service_starts() {
    if [ -e "$POLICY_RC" ]; then
        "$@"
        return
    fi
    printf '#!/bin/sh\nexit 101\n' > "$POLICY_RC"
    chmod 755 "$POLICY_RC"
    trap 'rm -f "$POLICY_RC"' EXIT
    "$@"
    rm -f "$POLICY_RC"
    trap - EXIT
}

apt_install_or_die() {
    apt_install_logged "$1" || { cat "$STATE/apt.log" >&2; die "apt-get failed"; }
}

# Installs PACKAGE unless it is installed already.
install_package() {
    local package=$1 t0=$SECONDS
    if pkg_installed "$package"; then
        return
    fi
    refresh_lists_for "$package"
    without_service_starts apt_install_or_die "$package"
    log "installed $package in $((SECONDS - t0))s"
}

# ---------------------------------------------------------------- processes
# Running and not yet a zombie (PID 1 may be slow to reap).
alive() {
    local s
    read -r s 2>/dev/null < "/proc/$1/stat" || return 1
    s=${s##*) }
    [ "${s%% *}" != Z ]
}

gone() { ! alive "$1"; }

# PID recorded in FILE, only if that process still runs the executable EXE (compared through
# /proc, since some daemons rewrite their argv).
live_pid() {
    local file=$1 exe=$2 pid
    [ -s "$file" ] || return 1
    pid=$(tr -dc 0-9 < "$file")
    [ -n "$pid" ] && alive "$pid" \
        && [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = "$exe" ] || return 1
    echo "$pid"
}

# Processes forked by PID that run the executable EXE (a daemon's connection handlers).
children_of() {
    local parent=$1 exe=$2 f s ppid pid
    for f in /proc/[0-9]*/stat; do
        read -r s 2>/dev/null < "$f" || continue
        s=${s##*) }
        read -r _ ppid _ <<< "$s"
        [ "$ppid" = "$parent" ] || continue
        pid=${f#/proc/}; pid=${pid%/stat}
        [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = "$exe" ] && echo "$pid"
    done
    return 0
}

# Runs COMMAND... (output discarded) every tenth of a second until it succeeds, at most TRIES
# times; fails if it never does.
wait_until() {
    local tries=$1 i
    shift
    for ((i = 1; i <= tries; i++)); do
        "$@" > /dev/null 2>&1 && return 0
        [ "$i" = "$tries" ] || sleep 0.1
    done
    return 1
}

# Gives PID up to TRIES tenths of a second to end, then kills it outright.
reap() {
    if ! wait_until "$2" gone "$1"; then kill -9 "$1" 2>/dev/null || true; fi
}

# Stops the process recorded in FILE if it still runs EXE (and so was started by this script),
# then the connection handlers running CHILD_EXE it had forked; LABEL names it in the log.
# Removes FILE either way.
stop_recorded() {
    local file=$1 exe=$2 label=$3 child_exe=${4:-} pid kids='' k
    if pid=$(live_pid "$file" "$exe"); then
        if [ -n "$child_exe" ]; then kids=$(children_of "$pid" "$child_exe"); fi
        kill "$pid" 2>/dev/null || true
        reap "$pid" 50
        for k in $kids; do kill "$k" 2>/dev/null || true; done
        log "stopped $label (pid $pid)"
    fi
    rm -f "$file"
}

# ---------------------------------------------------------------- SOCKS servers
# SOCKS5 greeting offering "none" and "username/password"; prints the
# server's choice as hex: 0500 = no auth, 0502 = username/password.
socks5_probe() {
    local port=$1 reply
    exec 3<>"/dev/tcp/127.0.0.1/$port" || return 1
    printf '\x05\x02\x00\x02' >&3
    reply=$(timeout 5 head -c 2 <&3 | od -An -tx1 | tr -d ' \n') || true
    exec 3<&- 3>&-
    echo "$reply"
}

socks_answers() { [ "$(socks5_probe "$1" 2>/dev/null)" = "$2" ]; }

# File of the instance on PORT in STATE: socks_file PORT pid|log|conf.
socks_file() { echo "$STATE/$SOCKS_DAEMON-$1.$2"; }

# Starts the instance on PORT (MODE open or login) unless it runs, and waits until its greeting
# reply is WANT.
socks_start_one() {
    local port=$1 mode=$2 want=$3 pid
    if pid=$(live_pid "$(socks_file "$port" pid)" "$SOCKS_EXE"); then
        log "port $port already running (pid $pid)"
        return
    fi
    launch_instance "$port" "$mode"
    wait_until 100 socks_answers "$port" "$want" \
        || die "$SOCKS_DAEMON on $port did not answer (see $(socks_file "$port" log))"
    live_pid "$(socks_file "$port" pid)" "$SOCKS_EXE" > /dev/null \
        || die "$SOCKS_DAEMON on $port exited or left no PID"
}

# Installs PACKAGE when missing, runs PREPARE... if given, starts both instances.
socks_start() {
    local package=$1 t0=$SECONDS
    shift
    mkdir -p "$STATE"
    install_package "$package"
    if [ $# -gt 0 ]; then "$@"; fi
    socks_start_one "$OPEN_PORT" open 0500
    socks_start_one "$AUTH_PORT" login 0502
    log "ready in $((SECONDS - t0))s"
    socks_status
}

socks_stop() {
    local port
    for port in "$OPEN_PORT" "$AUTH_PORT"; do
        stop_recorded "$(socks_file "$port" pid)" "$SOCKS_EXE" "$SOCKS_DAEMON on $port"
    done
}

# One line per instance; fails if either is down.
socks_status() {
    local port pid rc=0
    for port in "$OPEN_PORT" "$AUTH_PORT"; do
        if pid=$(live_pid "$(socks_file "$port" pid)" "$SOCKS_EXE"); then
            echo "$SOCKS_DAEMON 127.0.0.1:$port pid $pid socks5-greeting-reply $(socks5_probe "$port" 2>/dev/null)"
        else
            echo "$SOCKS_DAEMON 127.0.0.1:$port not running"; rc=1
        fi
    done
    return $rc
}
