#!/usr/bin/env bash
# Checks the package on a fresh Debian 12: a minimal system made by
# debootstrap installs it with apt (which fetches what it depends on), starts
# the installed program on a private Xvfb display until its window shows, asks
# it to quit as a session does, and purges the package, which must leave none
# of its files. Needs root and Debian's mirror; the system is kept in FOLDER
# for the next check.
#   check-fresh-debian.sh PACKAGE.deb [FOLDER]
set -euo pipefail
deb=$(readlink -f "${1:?the package}")
system=$(readlink -f "${2:-build/fresh-debian}")
display=:57
apt-get install -y -qq --no-install-recommends debootstrap xvfb xauth xdotool >/dev/null
[ -x "$system/usr/bin/apt-get" ] || debootstrap --variant=minbase bookworm "$system" http://deb.debian.org/debian

xvfb=
cleanup() {
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    for mount in tmp/.X11-unix dev proc; do umount -R "$system/$mount" 2>/dev/null || true; done
}
trap cleanup EXIT
mkdir -p "$system/tmp/.X11-unix"
mount -t proc proc "$system/proc"
mount --rbind /dev "$system/dev"
mount --bind /tmp/.X11-unix "$system/tmp/.X11-unix"
cp /etc/resolv.conf "$system/etc/resolv.conf"
cp "$deb" "$system/tmp/repeta.deb"
clean_env=(env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive)
in_system() { chroot "$system" "${clean_env[@]}" "$@"; }

in_system apt-get update -qq
in_system apt-get install -y -qq /tmp/repeta.deb >/dev/null
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp 2>/dev/null &
xvfb=$!
sleep 1
rm -rf "$system/root/.local/share/repeta" # a learner's very first start
# Not through a function, which would run in a subshell of its own: chroot,
# env, the launcher and the program exec one another, so $! is the program.
chroot "$system" "${clean_env[@]}" DISPLAY="$display" QT_QPA_PLATFORM=xcb /usr/bin/repeta >/dev/null 2>&1 &
program=$!
if ! DISPLAY="$display" timeout 60 xdotool search --sync --onlyvisible --pid "$program" >/dev/null; then
    echo "no window of the installed program" >&2
    exit 1
fi
kill -TERM "$program"
wait "$program" || { echo "the program did not quit cleanly" >&2; exit 1; }
grep -q '^FullPlaying=true' "$system/root/.local/share/repeta/profile.ini" \
    || { echo "the first start did not play the help video" >&2; exit 1; }

in_system apt-get purge -y -qq repeta >/dev/null
# Back to the minimal system, so that the next check starts fresh as well.
in_system apt-get autoremove --purge -y -qq >/dev/null
left=$(cd "$system" && ls -d usr/bin/repeta* usr/libexec/repeta usr/share/repeta usr/share/doc/repeta \
    usr/share/metainfo/*.metainfo.xml usr/share/applications/*.Repeta.desktop 2>/dev/null || true)
[ -z "$left" ] || { echo "left behind: $left" >&2; exit 1; }
echo "fresh Debian 12: $(basename "$deb") installed, started, quit and purged cleanly"
