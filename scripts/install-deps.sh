#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test and run.
# Idempotent: packages already present are not downloaded again.
set -euo pipefail

packages=(
  build-essential cmake make pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev libnlopt-cxx-dev
  qt6-base-dev qt6-charts-dev qt6-svg-dev qt6-qpa-plugins libgl-dev
  libqt6opengl6-dev  # the charts module's CMake package needs the OpenGL one
  libeigen3-dev  # the fit's Levenberg-Marquardt solver (header-only)
  libsundials-dev  # CVODE, the diffusion model's stiff integrator
  clang libclang-rt-14-dev
  locales xvfb xauth
  fonts-ipafont-gothic fonts-dejavu-core  # the window's faces; its tests use these alone
  fonts-urw-base35 fonts-droid-fallback  # a desktop's other faces: the window tests' second font set
  parallel  # the scale-out recipe for --design, tested
  poppler-utils  # pdftotext, pdfinfo and pdftoppm read the run report back in the tests
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A comma-decimal locale for the locale-independence tests.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  if [ -f /etc/locale.gen ] && ! grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen; then
    echo 'de_DE.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  fi
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
