# A test LAN of network namespaces, for tests that send broadcasts. Source
# it; it defines functions only. Nothing of it touches this machine's own
# interfaces: the hosts' veth ends meet on a bridge that lives in a
# namespace of its own, and no host has a route out.
#
#   lan_create NAME...           hosts 10.77.0.2, .3, ... named NAME (upper case)
#   lan_create_routed "A..." "B..."
#                                two subnets joined by a router namespace:
#                                hosts A at 10.77.0.2, .3, ..., hosts B at
#                                10.77.1.2, ...; the router is .1 of each and
#                                forwards directed broadcasts. Each subnet's
#                                hosts file names only its own hosts, so a
#                                host of the other subnet can be reached only
#                                by its address.
#   lan_exec NAME CMD...         runs CMD on host NAME, with its own host name
#   lan_spawn NAME OUT CMD...    the same in the background, output to OUT;
#                                LAN_PID is then the PID of CMD itself
#   lan_start_mivlet NAME OUT    starts Mivlet.exe under Wine on NAME with the
#                                UDP carrier; its own prefix and X display
#   lan_mivlet_setting NAME OUT VALUE TYPE DATA
#                                a value under the program's registry key in
#                                NAME's prefix (before or after the start)
#   lan_wine NAME OUT CMD...     runs CMD on NAME in its prefix, on its display
#   lan_wine_template DIR        a ready Wine prefix in DIR, made once; with
#                                LAN_WINE_TEMPLATE=DIR new prefixes are copies
#                                of it (seconds instead of Wine's first start)
#   lan_destroy                  kills what runs on the hosts and removes all
#
# Needs root and iproute2. lan_available tells whether namespaces can be made.

LAN_ID=${LAN_ID:-mv$$}
LAN_SWITCH="${LAN_ID}-sw"
LAN_ROUTER=
LAN_HOSTS=()
LAN_XVFB_PIDS=()
declare -gA LAN_DISPLAYS=()   # host name -> X display of its Mivlet.exe
LAN_DISPLAY=                  # the display of the last lan_start_mivlet
LAN_WINE_TEMPLATE=${LAN_WINE_TEMPLATE:-}

lan_available() {
  [[ $(id -u) -eq 0 ]] || { echo "not root"; return 1; }
  command -v ip >/dev/null || { echo "no ip command (iproute2)"; return 1; }
  ip netns add "${LAN_ID}-probe" 2>/dev/null || { echo "cannot create network namespaces here"; return 1; }
  ip netns del "${LAN_ID}-probe"
}

lan_ns() { echo "${LAN_ID}-$1"; }

lan_create() {
  _lan_switch 0 || return 1
  _lan_subnet 0 "$@"
}

lan_create_routed() {
  local a=($1) b=($2) router=${LAN_ID}-rt subnet
  _lan_switch 0 1 || return 1
  ip netns add "$router" || return 1
  LAN_ROUTER=$router
  for subnet in 0 1; do
    ip -n "$router" link add "eth$subnet" type veth peer name "r$subnet" netns "$LAN_SWITCH" || return 1
    ip -n "$LAN_SWITCH" link set "r$subnet" master "br$subnet"
    ip -n "$LAN_SWITCH" link set "r$subnet" up
    ip -n "$router" addr add "10.77.$subnet.1/24" brd + dev "eth$subnet"
    ip -n "$router" link set "eth$subnet" up
  done
  ip -n "$router" link set lo up
  ip netns exec "$router" sysctl -q -w net.ipv6.conf.all.disable_ipv6=1 2>/dev/null
  ip netns exec "$router" sysctl -q -w net.ipv4.ip_forward=1 || return 1
  # A datagram to the other subnet's directed broadcast address goes out
  # there as a broadcast only when the router is told to forward those.
  for conf in all eth0 eth1; do
    ip netns exec "$router" sysctl -q -w "net.ipv4.conf.$conf.bc_forwarding=1" || return 1
  done
  _lan_subnet 0 "${a[@]}" || return 1
  _lan_subnet 1 "${b[@]}" || return 1
}

# The switch namespace with a bridge for each subnet number given.
_lan_switch() {
  ip netns add "$LAN_SWITCH" || return 1
  local subnet
  for subnet in "$@"; do
    ip -n "$LAN_SWITCH" link add "br$subnet" type bridge || return 1
    ip -n "$LAN_SWITCH" link set "br$subnet" up
  done
}

# _lan_subnet SUBNET NAME...: hosts 10.77.SUBNET.2, .3, ... on bridge
# brSUBNET; with a router (lan_create_routed) it is their default route.
_lan_subnet() {
  local subnet=$1; shift
  local i=2 name ns hosts_file
  hosts_file=$(mktemp)
  echo "127.0.0.1 localhost" >"$hosts_file"
  for name in "$@"; do echo "10.77.$subnet.$i $name" >>"$hosts_file"; i=$((i + 1)); done
  i=2
  for name in "$@"; do
    ns=$(lan_ns "$name")
    ip netns add "$ns" || return 1
    LAN_HOSTS+=("$name")
    ip -n "$ns" link add eth0 type veth peer name "p${subnet}_$i" netns "$LAN_SWITCH" || return 1
    ip -n "$LAN_SWITCH" link set "p${subnet}_$i" master "br$subnet"
    ip -n "$LAN_SWITCH" link set "p${subnet}_$i" up
    ip -n "$ns" addr add "10.77.$subnet.$i/24" brd + dev eth0
    # IPv4 only: no neighbour discovery chatter, nothing but our datagrams.
    ip netns exec "$ns" sysctl -q -w net.ipv6.conf.all.disable_ipv6=1 2>/dev/null
    ip -n "$ns" link set lo up
    ip -n "$ns" link set eth0 up
    [[ -n $LAN_ROUTER ]] && ip -n "$ns" route add default via "10.77.$subnet.1"
    mkdir -p "/etc/netns/$ns"
    cp "$hosts_file" "/etc/netns/$ns/hosts"
    # Names not in the hosts file are asked of nobody: no name server
    # outside the test LAN is ever tried.
    echo "nameserver 127.0.0.1" >"/etc/netns/$ns/resolv.conf"
    i=$((i + 1))
  done
  rm -f "$hosts_file"
}

# lan_exec NAME CMD...: CMD runs in NAME's namespace under the host name NAME.
lan_exec() {
  local name=$1; shift
  ip netns exec "$(lan_ns "$name")" unshare --uts -- sh -c 'hostname "$0"; exec "$@"' "$name" "$@"
}

# lan_spawn NAME OUT CMD...: the exec chain keeps one PID from the
# subshell to CMD, so that signals reach CMD and not a shell in front of it.
LAN_PID=
lan_spawn() {
  local name=$1 out=$2; shift 2
  (exec ip netns exec "$(lan_ns "$name")" unshare --uts -- sh -c 'hostname "$0"; exec "$@"' "$name" "$@") \
    >"$out" 2>&1 </dev/null &
  LAN_PID=$!
}

lan_prefix() { echo "$2/wine-$1"; }  # NAME OUTDIR

# lan_wine_template DIR: Wine's first start is its slow one, so it is done
# once, into a folder of its own that later runs copy.
lan_wine_template() {
  local dir=$1
  [[ -f $dir/system.reg ]] && { _lan_template_fonts "$dir"; return 0; }
  local making="$dir.making.$$"
  rm -rf "$making"
  mkdir -p "$making"
  WINEPREFIX="$making" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY= wine wineboot --init >/dev/null 2>&1
  WINEPREFIX="$making" wineserver -w
  _lan_template_fonts "$making"
  [[ -f $making/system.reg ]] || { rm -rf "$making"; return 1; }
  rm -rf "$dir"
  mv "$making" "$dir"
}

# The fonts and font links of common.sh in the template, so that every
# copy draws text of every script.
_lan_template_fonts() {
  wine_add_fonts "$1"
  (export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY= && wine_link_fonts && wineserver -w)
}

# An X display of host NAME's own, started at its first use.
_lan_display() {
  [[ -n ${LAN_DISPLAYS[$1]:-} ]] && return 0
  local display_file
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
  LAN_XVFB_PIDS+=($!)
  for _ in $(seq 100); do [[ -s $display_file ]] && break; sleep 0.1; done
  LAN_DISPLAYS[$1]=":$(tr -d '[:space:]' <"$display_file")"
  rm -f "$display_file"
}

# The environment of Wine programs on host NAME: its prefix, made from the
# template when there is one, and its display. Every program of a prefix
# gets the same display: the first one starts the session's desktop
# process, and windows made later on another display are not found from it.
LAN_WINE_ENV=()
_lan_wine_env() {
  local prefix
  _lan_display "$1"
  prefix=$(lan_prefix "$1" "$2")
  if [[ ! -d $prefix ]]; then
    if [[ -n $LAN_WINE_TEMPLATE && -f $LAN_WINE_TEMPLATE/system.reg ]]; then
      cp -a "$LAN_WINE_TEMPLATE" "$prefix"
    else
      mkdir -p "$prefix"
    fi
    wine_add_fonts "$prefix"
  fi
  LAN_WINE_ENV=(env WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY="${LAN_DISPLAYS[$1]}")
}

# lan_wine NAME OUTDIR CMD...: CMD on host NAME inside its Wine session. The
# first call for a host starts its display: make it outside $(...), so that
# lan_destroy learns of it.
lan_wine() {
  local name=$1 out=$2; shift 2
  _lan_wine_env "$name" "$out"
  lan_exec "$name" "${LAN_WINE_ENV[@]}" "$@"
}

# lan_mivlet_setting NAME OUTDIR VALUE TYPE DATA, TYPE as reg.exe has it
# (REG_SZ, REG_DWORD).
lan_mivlet_setting() {
  local name=$1 out=$2 value=$3 type=$4 data=$5
  lan_wine "$name" "$out" wine reg add 'HKLM\Software\Pellandor\Mivlet' /v "$value" /t "$type" /d "$data" /f \
    >/dev/null 2>&1
}

# lan_start_mivlet NAME OUTDIR [EXE]: Mivlet.exe on host NAME with
# the UDP carrier ("Transport" udp); WINEPREFIX and display of its own under OUTDIR. LAN_PID
# is then the PID of the wine process that runs it, LAN_DISPLAY its display.
lan_start_mivlet() {
  local name=$1 out=$2 exe=${3:-$MIVLET_BUILD/win/bin/Mivlet.exe}
  lan_mivlet_setting "$name" "$out" Transport REG_SZ udp
  _lan_wine_env "$name" "$out"
  LAN_DISPLAY=${LAN_DISPLAYS[$name]}
  lan_spawn "$name" "$out/mivlet-$name.log" "${LAN_WINE_ENV[@]}" wine "$exe"
}

lan_destroy() {
  local name ns pid
  for name in "${LAN_HOSTS[@]}"; do
    ns=$(lan_ns "$name")
    for pid in $(ip netns pids "$ns" 2>/dev/null); do kill -9 "$pid" 2>/dev/null; done
  done
  for pid in "${LAN_XVFB_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  sleep 0.2
  for name in "${LAN_HOSTS[@]}"; do
    ns=$(lan_ns "$name")
    ip netns del "$ns" 2>/dev/null
    rm -rf "/etc/netns/$ns"
  done
  ip netns del "$LAN_SWITCH" 2>/dev/null
  [[ -n $LAN_ROUTER ]] && ip netns del "$LAN_ROUTER" 2>/dev/null
  LAN_ROUTER=
  LAN_HOSTS=()
  LAN_XVFB_PIDS=()
  LAN_DISPLAYS=()
}
