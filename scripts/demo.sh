#!/usr/bin/env bash
# Installs what the build needs, builds Velcroft and renders a demo through the built plug-in:
# the same four seconds of music-like test signal through two factory presets, each chosen
# with a MIDI program change at the first sample; then a screenshot of the editor with the
# demo signal playing, taken on a private X server.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/build.sh

plugin=$(realpath build/plugin/Velcroft.so)
host=build/tools/velcroft_host
mkdir -p build/demo

"$host" demo-signal build/demo/demo-input.wav --rate 44100 --seconds 4
"$host" render "$plugin" --in build/demo/demo-input.wav --out build/demo/velcroft-mpc60.wav --program 0:0
"$host" render "$plugin" --in build/demo/demo-input.wav --out build/demo/velcroft-phone-call.wav --program 0:25
xvfb-run -a -s "-screen 0 1280x1024x24" "$host" editor "$plugin" --out build/demo \
    --actions "audio 4000 demo; wait 1500; screenshot velcroft-editor" >/dev/null
xvfb-run -a -s "-screen 0 1280x1024x24" "$host" editor "$plugin" --out build/demo/editor-tour \
    --script tools/host/scripts/editor-tour.txt >/dev/null

cat <<EOT

Plug-in:    $plugin
Demo input: $(realpath build/demo/demo-input.wav)
Through factory preset 0, "MPC 60":      $(realpath build/demo/velcroft-mpc60.wav)
Through factory preset 25, "Phone Call": $(realpath build/demo/velcroft-phone-call.wav)
The editor (as docs/editor.png):         $(realpath build/demo/velcroft-editor.png)
A tour of the editor, one picture a step: $(realpath build/demo/editor-tour)

To use Velcroft in a Linux VST 2.4 host (Ardour, Reaper, Bitwig):
    mkdir -p ~/.vst && cp "$plugin" ~/.vst/
then rescan plug-ins in the host.
EOT
