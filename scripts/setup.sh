#!/usr/bin/env bash
# Installs everything the viewer and its tests need on Debian 12 and makes sure
# a CUPS test printer exists. Safe to run again.
set -euo pipefail
SUDO=""
[ "$(id -u)" = 0 ] || SUDO="sudo"

packages=(
    build-essential cmake ninja-build ccache pkg-config git file
    qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins qt6-svg-dev libgl-dev
    zlib1g-dev libdeflate-dev libgtest-dev libbenchmark-dev qt6-translations-l10n
    clang libclang-rt-dev clang-format
    fonts-ipafont fonts-noto-cjk fonts-liberation2 fonts-crosextra-carlito fonts-crosextra-caladea fonts-urw-base35
    cups cups-client cups-bsd printer-driver-cups-pdf
    xvfb x11-utils xdotool openbox imagemagick poppler-utils desktop-file-utils shared-mime-info python3 python3-numpy python3-pil
    xdg-utils libfile-mimeinfo-perl libglib2.0-bin
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# A printer for the printing code to talk to: CUPS with a PDF queue.
if ! pgrep -x cupsd >/dev/null 2>&1; then
    $SUDO cupsd || true
    for _ in 1 2 3 4 5 6 7 8 9 10; do lpstat -r >/dev/null 2>&1 && break; sleep 0.5; done
fi
if ! lpstat -p NeridalTestPrinter >/dev/null 2>&1; then
    $SUDO lpadmin -p NeridalTestPrinter -E -v cups-pdf:/ \
        -m lsb/usr/cups-pdf/CUPS-PDF_opt.ppd >/dev/null 2>&1 || true
    $SUDO lpadmin -d NeridalTestPrinter >/dev/null 2>&1 || true
fi
