#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the window need.
# Quiet, idempotent, and a no-op when everything is already present.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qtbase5-dev qtdeclarative5-dev qtscript5-dev qt3d5-dev libeigen3-dev libyaml-cpp-dev
  qml-module-qtquick2 qml-module-qtquick-window2 qml-module-qtquick-layouts
  qml-module-qtquick-controls qml-module-qtquick-controls2 qml-module-qtquick-dialogs
  qml-module-qtquick-privatewidgets qml-module-qt-labs-folderlistmodel
  qml-module-qt-labs-settings qml-module-qtquick-scene3d qml-module-qt3d
  qml-module-qttest libqt5svg5 libqt5svg5-dev libqt5charts5-dev qml-module-qtcharts python3-vtk9
  calculix-ccx xvfb xauth imagemagick openbox xdotool wmctrl slurm-wlm munge
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=""
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null 2>&1 || { echo "install-deps: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq >/dev/null
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
