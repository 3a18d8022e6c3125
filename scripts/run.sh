#!/usr/bin/env bash
# Installs what is missing, builds, and starts the tool in the demo working directory demo/,
# together with the controller simulator on 127.0.0.1 (user "service", password "demo").
#
# demo/controller/   the simulator's root: the controller's folders, a 64 MiB card, a few files
# demo/waves/        sample wave files, spoken once with espeak-ng and converted with sox;
#                    "wrong format.wav" is stereo 48 kHz and is refused by the message set page
# demo/Vantrel.ini   the settings file; made at first run; the "Port" key is set on every run
#                    to the port the simulator got, [Site] Folder to the demo installation
# demo/site/         the demo installation: the simulator as its one controller "demo"
# The simulator is stopped when the tool exits.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
root=$(pwd)
demo="$root/demo"
mkdir -p "$demo/waves" "$demo/controller"
# The file transfer page's local side: the category folders below the upload directory "target"
# (the message set folder is made by the page itself), with a small web root to send.
mkdir -p "$demo/target/rfa/cfg/def" "$demo/target/rfa/fw" "$demo/target/rfa/drv" \
    "$demo/target/rfa/web/img" "$demo/target/boot"
[ -f "$demo/target/rfa/web/index.htm" ] ||
    printf '<html><body>Demo installation</body></html>\r\n' >"$demo/target/rfa/web/index.htm"

demo_user=service
demo_password=demo

# --- files on the simulated controller (only those that are missing) -----------------------------
controller="$demo/controller"
mkdir -p "$controller/rfa/cfg/def" "$controller/rfa/fw" "$controller/rfa/drv" \
    "$controller/rfa/web/img" "$controller/mmu" "$controller/boot"
[ -f "$controller/rfa/cfg/system.cfg" ] ||
    printf '[System]\r\nName=Demo installation\r\nZones=8\r\n' >"$controller/rfa/cfg/system.cfg"
[ -f "$controller/rfa/cfg/def/default.cfg" ] ||
    printf '[System]\r\nName=Factory default\r\nZones=1\r\n' >"$controller/rfa/cfg/def/default.cfg"
[ -f "$controller/rfa/fw/zone.fw" ] || head -c 204800 /dev/urandom >"$controller/rfa/fw/zone.fw"
[ -f "$controller/boot/app.bin" ] || head -c 102400 /dev/urandom >"$controller/boot/app.bin"
[ -f "$controller/rfa/web/index.html" ] ||
    printf '<html><body>Controller</body></html>\n' >"$controller/rfa/web/index.html"

# --- sample wave files (first run only) -----------------------------------------------------------
make_wave() {  # name, spoken text, tone frequency for when speech is not available
    local target="$demo/waves/$1.wav"
    [ -f "$target" ] && return 0
    local spoken="$demo/waves/.spoken.wav"
    if command -v espeak-ng >/dev/null && espeak-ng -w "$spoken" "$2" 2>/dev/null; then
        sox -V1 "$spoken" -r 44100 -c 1 -b 16 -e signed-integer "$target"
        rm -f "$spoken"
    else
        sox -V1 -n -r 44100 -c 1 -b 16 -e signed-integer "$target" synth 1.5 sine "$3"
    fi
}
make_wave "evacuate" "Attention please. Please leave the building by the nearest exit." 440
make_wave "all clear" "The alarm is over. You may return to the building." 660
make_wave "test message" "This is a test of the public address system." 550
make_wave "chime" "Ding dong." 880
if [ ! -f "$demo/waves/wrong format.wav" ]; then
    sox -V1 -n -r 48000 -c 2 -b 16 -e signed-integer "$demo/waves/wrong format.wav" synth 1 sine 500
fi

# --- the simulator --------------------------------------------------------------------------------
ready_file=$(mktemp)
/usr/bin/python3 "$root/simulator/controller_simulator.py" --root "$controller" \
    --user "$demo_user" --password "$demo_password" --card-size $((64 * 1024 * 1024)) \
    >"$ready_file" 2>"$demo/simulator.log" &
simulator_pid=$!
stop_simulator() {
    kill "$simulator_pid" 2>/dev/null || true
    wait "$simulator_pid" 2>/dev/null || true
    rm -f "$ready_file"
}
trap stop_simulator EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

port=""
for _ in $(seq 1 100); do
    port=$(sed -n 's/.*ready on .* port \([0-9]*\).*/\1/p' "$ready_file")
    [ -n "$port" ] && break
    kill -0 "$simulator_pid" 2>/dev/null || break
    sleep 0.1
done
if [ -z "$port" ]; then
    echo "The controller simulator did not start; see $demo/simulator.log" >&2
    exit 1
fi
echo "Controller simulator on 127.0.0.1 port $port (user $demo_user, password $demo_password)"

# --- the demo installation -----------------------------------------------------------------------
# The Site page opens the fleet demo's installation while its simulators run
# (scripts/fleet-demo.sh), else demo/site with the bundled simulator as its one controller.
site_tool="$root/build/tools/vantrel-site/vantrel-site"
site_folder="$demo/site"
fleet_site="$demo/fleet/site"
fleet_port=""
if [ -f "$demo/fleet/nc01.ready" ]; then
    fleet_port=$(sed -n 's/.*ready on .* port \([0-9]*\).*/\1/p' "$demo/fleet/nc01.ready")
fi
if [ -f "$fleet_site/site.ini" ] && [ -n "$fleet_port" ] &&
    (exec 3<>"/dev/tcp/127.0.0.1/$fleet_port") 2>/dev/null; then
    site_folder="$fleet_site"
    echo "The Site page opens the fleet demo's installation ($fleet_site, password demo)"
elif [ ! -f "$site_folder/site.ini" ]; then
    "$site_tool" init "$site_folder" --name "Demo installation" --engineer "${USER:-engineer}" \
        >/dev/null
    "$site_tool" add demo 127.0.0.1 --port "$port" --user "$demo_user" --site "$site_folder" \
        >/dev/null
fi

# --- the settings files ---------------------------------------------------------------------------
# Sets keys in sections of an INI file (CRLF): FILE SECTION KEY VALUE [SECTION KEY VALUE...],
# keeping every other line as it is.
set_ini() {
    /usr/bin/python3 - "$@" <<'EOF'
import os
import sys

path, settings = sys.argv[1], sys.argv[2:]
lines = []
if os.path.exists(path):
    with open(path, newline="") as ini:
        lines = ini.read().splitlines()
for i in range(0, len(settings), 3):
    wanted, key, value = settings[i].lower(), settings[i + 1], settings[i + 2]
    out, section, done = [], None, False
    for line in lines:
        stripped = line.strip()
        if stripped.startswith("[") and stripped.endswith("]"):
            if section == wanted and not done:
                out.append(key + "=" + value)
                done = True
            section = stripped[1:-1].strip().lower()
        elif section == wanted and stripped.split("=", 1)[0].strip().lower() == key.lower():
            if not done:
                out.append(key + "=" + value)
                done = True
            continue
        out.append(line)
    if not done:
        if section != wanted:
            out.append("[" + settings[i] + "]")
        out.append(key + "=" + value)
    lines = out
with open(path, "w", newline="") as ini:
    ini.write("\r\n".join(lines) + "\r\n")
EOF
}
if [ ! -f "$demo/Vantrel.ini" ]; then
    set_ini "$demo/Vantrel.ini" Login IP0 127 Login IP1 0 Login IP2 0 Login IP3 1 \
        Login "User Name" "$demo_user"
fi
set_ini "$demo/Vantrel.ini" Login Port "$port" Site Folder "$site_folder"
if [ "$site_folder" = "$demo/site" ]; then
    set_ini "$site_folder/site.ini" demo Port "$port"
fi

# --- the tool -------------------------------------------------------------------------------------
cd "$demo"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: running the tool on a virtual X server (xvfb-run)." >&2
    xvfb-run -a "$root/build/Vantrel"
else
    "$root/build/Vantrel"
fi
