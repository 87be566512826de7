#!/usr/bin/env bash
# Builds the Debian package, installs it into a clean Debian 12 root (made with debootstrap,
# nothing else installed by hand), runs `motor-protector --version` (offscreen) and
# `motor-protector-sim --help` from the installed paths, checks the plant service's user, unit
# and configuration, removes the package and checks that
# nothing of it is left. Needs root (debootstrap, chroot) and the Debian mirror.
#
#   scripts/package-check.sh [build-dir]
#
# The pristine root is downloaded once and kept as a tarball in the build folder; every run
# unpacks a fresh copy. Set MP_MIRROR to use another mirror.
set -euo pipefail

root_dir="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root_dir/build/package}"
mirror="${MP_MIRROR:-http://deb.debian.org/debian}"
jobs="${MP_JOBS:-2}"

"$root_dir/scripts/setup.sh" debootstrap

echo "== Building the package =="
cmake -S "$root_dir" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMP_BUILD_TESTS=OFF
cmake --build "$build" -j"$jobs"
(cd "$build" && cpack -G DEB)
deb="$(ls -t "$build"/motor-protector_*.deb | head -n 1)"
echo "package: $deb"
dpkg-deb --field "$deb"
dpkg-deb --contents "$deb"
if command -v appstreamcli >/dev/null 2>&1; then
    meta="$(mktemp -d)"
    dpkg-deb -x "$deb" "$meta"
    appstreamcli validate --no-net "$meta"/usr/share/metainfo/*.metainfo.xml
    rm -rf "$meta"
fi

echo "== A clean Debian 12 root =="
base="$build/debian12-base.tar.gz"
if [ ! -f "$base" ]; then
    fresh="$(mktemp -d)"
    debootstrap --variant=minbase bookworm "$fresh" "$mirror"
    tar -C "$fresh" -czf "$base.part" .
    rm -rf "$fresh"
    mv "$base.part" "$base"
fi
chroot_dir="$(mktemp -d)"
cleanup() {
    umount "$chroot_dir/proc" 2>/dev/null || true
    rm -rf "$chroot_dir"
}
trap cleanup EXIT INT TERM
tar -C "$chroot_dir" -xzf "$base"
mount -t proc proc "$chroot_dir/proc"
cp /etc/resolv.conf "$chroot_dir/etc/resolv.conf"
cp "$deb" "$chroot_dir/tmp/"
in_root() { chroot "$chroot_dir" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin \
    DEBIAN_FRONTEND=noninteractive HOME=/root "$@"; }

echo "== Installing =="
in_root apt-get update -qq
in_root dpkg-query -W -f='${Package}\n' > "$chroot_dir/tmp/before.txt"
in_root apt-get install -y -qq --no-install-recommends "/tmp/$(basename "$deb")"

echo "== Running the installed programs =="
version="$(in_root env QT_QPA_PLATFORM=offscreen /usr/bin/motor-protector --version)"
echo "$version"
case "$version" in
    "motor-protector "*) ;;
    *) echo "unexpected --version output" >&2; exit 1 ;;
esac
in_root /usr/bin/motor-protector-sim --help
# The translation is built into the program: its help follows the language.
for lang in en_US.UTF-8 zh_CN.UTF-8; do
    help="$(in_root env QT_QPA_PLATFORM=offscreen LANG=$lang /usr/bin/motor-protector --help)"
    echo "$help" | head -n 3
    case "$lang:$help" in
        en_*"Configuration and monitoring tool"*|zh_*"配置与监视工具"*) ;;
        *) echo "--help is not in the language of $lang" >&2; exit 1 ;;
    esac
done
status=0
in_root env QT_QPA_PLATFORM=offscreen /usr/bin/motor-protector --baud 9601 2>/dev/null || status=$?
[ "$status" -eq 2 ] || { echo "a bad option value gave exit code $status, not 2" >&2; exit 1; }
for f in /usr/share/applications/example.quellar.MotorProtector.desktop \
         /usr/share/metainfo/example.quellar.MotorProtector.metainfo.xml \
         /usr/share/icons/hicolor/48x48/apps/motor-protector.png \
         /usr/lib/systemd/system/motor-protector-service.service \
         /etc/motor-protector/service.conf; do
    [ -f "$chroot_dir$f" ] || { echo "$f is missing" >&2; exit 1; }
done
# The plant service: its own user in the serial ports' group, its help, its refusal of a bad
# option, and its unit not enabled.
in_root /usr/bin/motor-protector-service --version
in_root id motor-protector | grep -q dialout || { echo "motor-protector is not in dialout" >&2; exit 1; }
status=0
in_root /usr/bin/motor-protector-service --plant /x --broker h:0 2>/dev/null || status=$?
[ "$status" -eq 2 ] || { echo "the service's bad option gave exit code $status, not 2" >&2; exit 1; }
[ ! -e "$chroot_dir/etc/systemd/system/multi-user.target.wants/motor-protector-service.service" ] ||
    { echo "the service is enabled before it is configured" >&2; exit 1; }

echo "== Removing =="
in_root apt-get purge -y -qq motor-protector
in_root apt-get autoremove --purge -y -qq
in_root dpkg-query -W -f='${Package}\n' > "$chroot_dir/tmp/after.txt"
if ! diff -u "$chroot_dir/tmp/before.txt" "$chroot_dir/tmp/after.txt"; then
    echo "packages differ from the clean root after removal" >&2
    exit 1
fi
for f in /usr/bin/motor-protector /usr/bin/motor-protector-sim /usr/bin/motor-protector-service \
         /etc/motor-protector/service.conf /usr/lib/systemd/system/motor-protector-service.service \
         /usr/share/applications/example.quellar.MotorProtector.desktop \
         /usr/share/metainfo/example.quellar.MotorProtector.metainfo.xml; do
    [ ! -e "$chroot_dir$f" ] || { echo "$f left behind" >&2; exit 1; }
done
if [ -n "$(find "$chroot_dir/usr/share/icons" -name 'motor-protector*' 2>/dev/null)" ]; then
    echo "icons left behind" >&2
    exit 1
fi
echo "== Package check passed: $(basename "$deb") =="
