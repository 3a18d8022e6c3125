#!/usr/bin/env bash
# Renders the README's pictures from the real window:
#   bash scripts/screenshot.sh [--scale FACTOR] [login|messagesets|filetransfer|extract|loudness|site]
# writes docs/main-window.png on the given page, or docs/main-window-FACTORx.png at a scale factor
# other than 1 (e.g. --scale 1.5 gives docs/main-window-1.5x.png, as a high-density screen shows
# the window); with "extract", docs/extract.png: the message set page showing a set that has no
# info file; with "loudness", docs/loudness.png: the page's Loudness column and spread for a set of
# spoken messages recorded at different levels; with "site", docs/site.png: the Site page of five
# simulated controllers after a push that failed on one of them (its storage is full).
# The window starts in a scratch folder whose settings file fills in the login fields.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scale=1
if [[ ${1:-} == --scale ]]; then
    scale=${2:?"--scale needs a factor, e.g. 1.5"}
    shift 2
fi
output="$root/docs/main-window.png"
if [[ $scale != 1 && $scale != 1.0 ]]; then
    output="$root/docs/main-window-${scale}x.png"
fi
bash scripts/build.sh >/dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
printf '[Login]\r\nIP0=192\r\nIP1=168\r\nIP2=0\r\nIP3=5\r\nUser Name=engineer\r\n' > "$scratch/Vantrel.ini"
mkdir -p "$scratch/target"
page=${1:-login}
if [ "$page" = extract ]; then
    # A set built from waves that are then removed, so the page can only read the set itself.
    mkdir -p "$scratch/sets"
    (cd "$scratch/sets" &&
        sox -n -r 44100 -c 1 -b 16 chime.wav synth 1.5 sine 880 fade 0 1.5 1.2 &&
        sox -n -r 44100 -c 1 -b 16 evacuate.wav synth 6 sine 600:900 &&
        sox -n -r 44100 -c 1 -b 16 all-clear.wav synth 3 sine 440 &&
        "$root/build/tools/vantrel-set/vantrel-set" build --name Lobby.SET Lobby.SET \
            chime.wav evacuate.wav all-clear.wav >/dev/null &&
        rm chime.wav evacuate.wav all-clear.wav)
    printf '[Message Set]\r\nLast Dir=%s\r\n' "$scratch/sets/Lobby.SET" >> "$scratch/Vantrel.ini"
    page=messagesetlist
    output="$root/docs/extract.png"
elif [ "$page" = loudness ]; then
    # Spoken messages at different levels, one of them far too quiet; shown from the set file.
    mkdir -p "$scratch/sets"
    speak() { # NAME GAIN_DB TEXT: a message wave of TEXT spoken, at GAIN_DB
        espeak-ng -w "raw-$1.wav" "$3" &&
            sox "raw-$1.wav" -r 44100 -c 1 -b 16 "$1.wav" vol "$2" dB && rm "raw-$1.wav"
    }
    (cd "$scratch/sets" &&
        speak evacuate -2 "Attention please. Leave the building by the nearest exit." &&
        speak all-clear -4 "The alarm has ended. You may return to the building." &&
        speak test -1 "This is a test of the public address system." &&
        speak closing -12 "The building closes in fifteen minutes." &&
        sox -n -r 44100 -c 1 -b 16 chime.wav synth 0.3 sine 880 vol -6 dB &&
        "$root/build/tools/vantrel-set/vantrel-set" build --name Lobby.SET Lobby.SET \
            chime.wav evacuate.wav all-clear.wav test.wav closing.wav >/dev/null &&
        rm ./*.wav)
    printf '[Message Set]\r\nLast Dir=%s\r\n' "$scratch/sets/Lobby.SET" >> "$scratch/Vantrel.ini"
    output="$root/docs/loudness.png"
fi
extra=()
if [ "$page" = site ]; then
    pids=()
    trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done; rm -rf "$scratch"' EXIT
    site_tool="$root/build/tools/vantrel-site/vantrel-site"
    "$site_tool" init "$scratch/site" --name "Demo campus" --engineer "Jane Doe" >/dev/null
    names=(east-wing west-wing library sports-hall car-park)
    for i in "${!names[@]}"; do
        name=${names[$i]}
        mkdir -p "$scratch/controllers/$name/rfa/cfg"
        printf '[System]\r\nName=%s\r\nZones=8\r\n' "$name" >"$scratch/controllers/$name/rfa/cfg/system.cfg"
        switches=()
        if [ "$i" -eq 4 ]; then switches=(--store-full-after 16); fi
        /usr/bin/python3 "$root/simulator/controller_simulator.py" --root "$scratch/controllers/$name" \
            --port 0 --user service --password demo "${switches[@]}" >"$scratch/$name.ready" 2>/dev/null &
        pids+=($!)
        port=""
        for _ in $(seq 1 100); do
            port=$(sed -n 's/.*ready on .* port \([0-9]*\).*/\1/p' "$scratch/$name.ready")
            [ -n "$port" ] && break
            sleep 0.1
        done
        [ -n "$port" ] || { echo "a simulator did not start" >&2; exit 1; }
        "$site_tool" add "$name" 127.0.0.1 --port "$port" --site "$scratch/site" >/dev/null
    done
    printf '[System]\r\nName=Campus\r\nZones=16\r\n' >"$scratch/system.cfg"
    printf '[Site]\r\nFolder=%s\r\n' "$scratch/site" >>"$scratch/Vantrel.ini"
    extra=(demo "$scratch/system.cfg")
    output="$root/docs/site.png"
fi
cd "$scratch"
QT_QPA_PLATFORM=offscreen QT_QPA_FONTDIR=/usr/share/fonts/truetype/dejavu QT_SCALE_FACTOR=$scale \
    "$root/build/tools/vantrel-screenshot" "$output" "$page" "${extra[@]}"
echo "wrote ${output#"$root"/}"
