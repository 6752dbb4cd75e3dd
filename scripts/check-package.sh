#!/usr/bin/env bash
# Installs the Debian package from the build folder (default build/) as a
# fresh machine would, checks that the desktop knows albums by the package
# alone, opens one the way a file manager's double click does on a private X
# server, runs the thumbnailer as a file manager would, and removes the
# package again. Any failed step ends the script with a message and status 1.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
SUDO=""
[ "$(id -u)" = 0 ] || SUDO="sudo"

readonly album_type=application/x-neridal-album
readonly prefix=/usr
readonly desktop_entry=$prefix/share/applications/neridal.desktop
readonly thumbnailer=$prefix/share/thumbnailers/neridal.thumbnailer
readonly icon_sizes=(16 22 24 32 48 64 128 256)
readonly thumbnail_sizes=(128 256)
readonly wait_steps=200 # of 0.1 s: how long a window or a server may take

fail() {
    echo "check-package: FAILED: $*" >&2
    exit 1
}
step() { echo "check-package: $*"; }

shopt -s nullglob
debs=("$build"/neridal_*.deb)
shopt -u nullglob
[ ${#debs[@]} = 1 ] || fail "expected one neridal_*.deb in $build, found ${#debs[@]} (run cpack -G DEB there)"
deb=$(realpath "${debs[0]}")
sample=$(realpath "$build/sample/SAMPLE.PXA" 2>/dev/null) || fail "$build/sample/SAMPLE.PXA is missing"

work=$(mktemp -d)
installed=""
xvfb_pid=""
wm_pid=""
# The viewer is started by the desktop, not by this script: it is found by its
# program and the private runtime folder in its environment.
stop_viewers() {
    local p
    for p in /proc/[0-9]*; do
        [ "$(readlink "$p/exe" 2>/dev/null)" = "$prefix/bin/neridal" ] || continue
        if tr '\0' '\n' <"$p/environ" 2>/dev/null | grep -qxF "XDG_RUNTIME_DIR=$work/run"; then
            kill "${p#/proc/}" 2>/dev/null || true
        fi
    done
}
# A process that has ended, even if nobody has collected its status yet.
running() { [ -d "/proc/$1" ] && ! grep -q '^State:[[:space:]]*Z' "/proc/$1/status" 2>/dev/null; }
cleanup() {
    local status=$?
    stop_viewers
    [ -z "$wm_pid" ] || kill "$wm_pid" 2>/dev/null || true
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    if [ -n "$installed" ]; then
        DEBIAN_FRONTEND=noninteractive $SUDO apt-get remove -y -qq neridal >"$work/remove.log" 2>&1 ||
            { cat "$work/remove.log" >&2; status=1; }
    fi
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT

# A desktop session of its own: nothing from the caller's home, settings or
# running programs (the viewer hands a file over to a running instance of the
# same work folder) takes part.
mkdir -p "$work/home" "$work/run" "$work/albums" "$work/thumbnails"
chmod 700 "$work/run"
export HOME=$work/home
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
export XDG_RUNTIME_DIR=$work/run
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/run/no-bus
# The tools' answers are read in English; names stay UTF-8.
export LANG=C.UTF-8 LC_ALL=C.UTF-8
unset LANGUAGE XDG_DATA_DIRS XDG_CONFIG_DIRS XDG_CURRENT_DESKTOP QT_QPA_PLATFORM DISPLAY

step "installing $(basename "$deb")"
installed=yes
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --reinstall "$deb" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log" >&2; fail "apt-get install $deb"; }

for f in $prefix/bin/neridal $prefix/bin/neridal-tool; do
    [ -x "$f" ] || fail "$f is not installed"
done
# "PNG image data, 48 x 48, ..." -> "48 48"
png_size() { file -b "$1" | sed -n 's/^PNG image data, \([0-9]*\) x \([0-9]*\),.*/\1 \2/p'; }
for size in "${icon_sizes[@]}"; do
    for icon in apps/neridal mimetypes/application-x-neridal-album; do
        png=$prefix/share/icons/hicolor/${size}x$size/$icon.png
        [ "$(png_size "$png")" = "$size $size" ] || fail "$png is not a $size x $size PNG"
    done
done
for icon in apps/neridal mimetypes/application-x-neridal-album; do
    [ -f "$prefix/share/icons/hicolor/scalable/$icon.svg" ] || fail "scalable $icon.svg is not installed"
done

step "desktop entry"
desktop-file-validate "$desktop_entry" || fail "desktop-file-validate $desktop_entry"

# The album type by name, whatever the case of the extension, and by the
# header alone. GNOME's file manager asks GIO (xdg-mime's path under GNOME);
# without a desktop xdg-mime asks File::MimeInfo. Both read shared-mime-info.
step "album type by name and by content"
cp "$sample" "$work/albums/SAMPLE.PXA"
cp "$sample" "$work/albums/サンプル アルバム.pxa"
cp "$sample" "$work/albums/album.Pxd"
cp "$sample" "$work/albums/ALBUM"
for file in "$work"/albums/*; do
    for desktop in GNOME ""; do
        got=$(XDG_CURRENT_DESKTOP=$desktop xdg-mime query filetype "$file" 2>&1) || true
        [ "$got" = "$album_type" ] ||
            fail "xdg-mime query filetype $(basename "$file") (desktop '${desktop:-none}') says '$got'"
    done
    got=$(gio info -a standard::content-type "$file" 2>&1 | sed -n 's/^ *standard::content-type: //p')
    [ "$got" = "$album_type" ] || fail "gio info $(basename "$file") says '$got'"
done

# xdg-mime reads the desktop files' caches; GIO, which opens files for GNOME's
# file manager, chooses by its own rules.
step "default program for albums"
got=$(xdg-mime query default "$album_type" 2>&1) || true
[ "$got" = neridal.desktop ] || fail "xdg-mime query default $album_type says '$got'"
got=$(gio mime "$album_type" 2>&1 | sed -n 's/^Default application for .*: //p')
[ "$got" = neridal.desktop ] || fail "gio mime $album_type names '$got' as the default"

# The thumbnailer's own command line with its fields filled in, run without a
# display as a thumbnailing service runs it.
step "thumbnailer"
grep -qx "MimeType=.*$album_type;.*" "$thumbnailer" || fail "$thumbnailer does not name $album_type"
try_exec=$(sed -n 's/^TryExec=//p' "$thumbnailer")
command -v "$try_exec" >/dev/null || fail "thumbnailer TryExec $try_exec is not found"
read -ra exec_words <<<"$(sed -n 's/^Exec=//p' "$thumbnailer")"
[ ${#exec_words[@]} -gt 0 ] || fail "$thumbnailer has no Exec"
for size in "${thumbnail_sizes[@]}"; do
    out=$work/thumbnails/$size.png
    command=()
    for word in "${exec_words[@]}"; do
        word=${word//%i/$work/albums/SAMPLE.PXA}
        word=${word//%o/$out}
        word=${word//%s/$size}
        command+=("$word")
    done
    "${command[@]}" || fail "thumbnailer: ${command[*]}"
    read -r width height <<<"$(png_size "$out")" || true
    [ -n "${width:-}" ] || fail "thumbnailer wrote no PNG at $size"
    [ "$((width > height ? width : height))" = "$size" ] ||
        fail "thumbnail at $size is $width x $height"
done

# A double click in a file manager: GIO finds the file's type and its default
# program and runs the desktop entry's Exec with the file. The name has a space
# and Japanese letters, as albums' names do.
step "opening an album from the desktop"
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq $wait_steps); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; fail "Xvfb did not start"; }
export DISPLAY=:$(head -n1 "$work/display")
openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
for _ in $(seq $wait_steps); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' ||
    { cat "$work/openbox.log" >&2; fail "openbox did not start"; }

album="$work/albums/サンプル アルバム.pxa"
title="アルバーノ - [サンプル アルバム]"
gio open "$album" || fail "gio open $album"
window=""
for _ in $(seq $wait_steps); do
    for id in $(xdotool search --name 'サンプル アルバム' 2>/dev/null); do
        name=$(xprop -id "$id" _NET_WM_NAME 2>/dev/null | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')
        [ "$name" = "$title" ] && window=$id
    done
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || fail "no window named '$title' appeared (windows: $(xdotool search --name . getwindowname %@ 2>/dev/null | tr '\n' '|'))"
pid=$(xprop -id "$window" _NET_WM_PID 2>/dev/null | sed -n 's/^_NET_WM_PID(CARDINAL) = //p') || true
[ -n "$pid" ] || fail "the window '$title' names no process"
[ "$(readlink "/proc/$pid/exe")" = "$prefix/bin/neridal" ] ||
    fail "the window '$title' belongs to $(readlink "/proc/$pid/exe"), not $prefix/bin/neridal"
step "window '$title' of $prefix/bin/neridal is up; closing it"
timeout 10 xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4 ||
    fail "could not close the window '$title'"
for _ in $(seq $wait_steps); do running "$pid" || break; sleep 0.1; done
! running "$pid" || fail "the viewer did not end when its window was closed"

step "passed"
