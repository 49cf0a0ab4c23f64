# Shared by scripts/run and scripts/test: the Debian packages the program
# needs, installed when missing, and an incremental build into build/.

ORNAVEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ORNAVEL_BUILD="$ORNAVEL_ROOT/build"

# Building and running.
ORNAVEL_PACKAGES=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-translations-l10n
  libgsf-1-dev libzip-dev
  fonts-liberation2 fontconfig
)

# Only the tests: printed PDF files read back, and a private print queue.
ORNAVEL_TEST_PACKAGES=(poppler-utils cups printer-driver-cups-pdf)

ornavel_install_packages() {
  local missing=() pkg
  for pkg in "${ORNAVEL_PACKAGES[@]}" "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Встановлюю пакети: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
      echo "Потрібні права адміністратора: встановіть пакети ${missing[*]} (apt-get install) і запустіть ще раз." >&2
      return 1
    fi
    sudo=(sudo)
  fi
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

ornavel_build() {
  local jobs
  jobs=$(nproc 2>/dev/null || echo 2)
  cmake -S "$ORNAVEL_ROOT" -B "$ORNAVEL_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$ORNAVEL_BUILD" -j"$jobs" "$@"
}
