#!/usr/bin/env bash
# Installs what the build needs (only what is missing), configures and builds Рационарий.
#   scripts/setup.sh          install and build
#   scripts/setup.sh run      ... then start the program
#   scripts/setup.sh test     ... then run all tests
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(g++ cmake ninja-build pkg-config qt6-base-dev libsqlite3-dev libgtest-dev libgmock-dev
          libpugixml-dev libarchive-dev libxlsxwriter-dev fonts-dejavu-core qt6-translations-l10n)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Устанавливаются пакеты: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi

build=build
if [ ! -f "$build/build.ninja" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$build" --parallel "$(nproc)"

case "${1:-}" in
  run)
    shift
    exec "$build/bin/ratsionariy" "$@"
    ;;
  test)
    export QT_QPA_PLATFORM=offscreen
    ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"
    ;;
  "") ;;
  *) echo "Неизвестный режим: $1 (run | test)" >&2; exit 2 ;;
esac
