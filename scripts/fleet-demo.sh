#!/usr/bin/env bash
# Starts N controller simulators on 127.0.0.1 (default 5), writes an installation folder for them
# (demo/fleet/), and prints the vantrel-site commands to try. With --faulty K, the last K
# simulators misbehave: one closes the session with "421" once (a transient failure that a
# second try gets over), one answers "552" (storage full) to any upload beyond 16 bytes (a push
# fails there, with the restore command), one refuses the login (permanent: no second try), one
# resets data connections after 20000 bytes (a backup of its firmware fails three times), and
# one stalls its data (held by the time limit); further ones repeat the list. The simulators stop
# when the script is ended (Ctrl+C).
#
#     bash scripts/fleet-demo.sh [N] [--faulty K]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
count=5
faulty=0
while [ $# -gt 0 ]; do
    case "$1" in
        --faulty) faulty=${2:?--faulty takes a number}; shift 2 ;;
        -h|--help) sed -n '2,14p' "$0"; exit 0 ;;
        *) count=$1; shift ;;
    esac
done
if ! [[ "$count" =~ ^[0-9]+$ ]] || [ "$count" -lt 1 ] || ! [[ "$faulty" =~ ^[0-9]+$ ]] ||
    [ "$faulty" -gt "$count" ]; then
    echo "usage: bash scripts/fleet-demo.sh [N] [--faulty K]   (1 <= N, 0 <= K <= N)" >&2
    exit 2
fi
tool="$root/build/tools/vantrel-site/vantrel-site"
[ -x "$tool" ] || bash scripts/build.sh
fleet="$root/demo/fleet"
rm -rf "$fleet"
mkdir -p "$fleet"
password=demo
printf '%s\n' "$password" >"$fleet/password"
chmod 600 "$fleet/password"

pids=()
sleeper=""
stop_all() {
    if [ -n "$sleeper" ]; then kill "$sleeper" 2>/dev/null || true; fi
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
}
trap stop_all EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

faults=("--close-421-after 3" "--store-full-after 16" "--refuse-login" "--drop-after 20000"
    "--stall-after 4096")
"$tool" init "$fleet/site" --name "Demo campus" --engineer "${USER:-engineer}" >/dev/null
for i in $(seq 1 "$count"); do
    name=$(printf 'nc%02d' "$i")
    controller="$fleet/controllers/$name"
    mkdir -p "$controller/rfa/cfg/def" "$controller/rfa/fw" "$controller/rfa/web/img" \
        "$controller/mmu" "$controller/boot" "$controller/rfa/drv"
    printf '[System]\r\nName=%s\r\nZones=8\r\n' "$name" >"$controller/rfa/cfg/system.cfg"
    printf '[System]\r\nName=Factory default\r\n' >"$controller/rfa/cfg/def/default.cfg"
    printf '<html><body>%s</body></html>\r\n' "$name" >"$controller/rfa/web/index.htm"
    head -c 65536 /dev/zero >"$controller/rfa/fw/zone.uim"
    switches=""
    if [ "$i" -gt $((count - faulty)) ]; then
        switches=${faults[$(((i - count + faulty - 1) % ${#faults[@]}))]}
    fi
    ready="$fleet/$name.ready"
    # shellcheck disable=SC2086
    /usr/bin/python3 "$root/simulator/controller_simulator.py" --root "$controller" --port 0 \
        --user service --password "$password" $switches >"$ready" 2>"$fleet/$name.log" &
    pids+=($!)
    port=""
    for _ in $(seq 1 100); do
        port=$(sed -n 's/.*ready on .* port \([0-9]*\).*/\1/p' "$ready")
        [ -n "$port" ] && break
        sleep 0.1
    done
    if [ -z "$port" ]; then
        echo "The simulator $name did not start; see $fleet/$name.log" >&2
        exit 1
    fi
    "$tool" add "$name" 127.0.0.1 --port "$port" --site "$fleet/site" >/dev/null
    echo "$name  127.0.0.1 port $port  ${switches:-(healthy)}"
done
printf '[System]\r\nName=Campus\r\nZones=16\r\n' >"$fleet/system.cfg"

cat <<TEXT

Installation folder: $fleet/site (password: $password, also in $fleet/password)
Try, in another terminal:
  cd $fleet/site
  $tool backup --password-file ../password
  $tool push configuration ../system.cfg --dry-run --password-file ../password
  $tool push configuration ../system.cfg --password-file ../password --json ../push.json
  $tool status --password-file ../password
  $tool log
  $tool backup --time-limit 10 --password-file ../password
The simulators run until you press Ctrl+C here.
TEXT
# Waited for in the background, so that Ctrl+C (or a TERM) runs the trap at once.
while true; do
    sleep 3600 &
    sleeper=$!
    wait "$sleeper" || true
done
