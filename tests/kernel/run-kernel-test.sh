#!/usr/bin/env bash
# The kernel test of the Linux HID back end (label `kernel`).
#
# The machines' own kernel has no uhid, so this boots the installed Debian kernel under qemu (TCG)
# with a tiny initramfs built here, at test time, from installed packages only: busybox-static as
# the shell, hid.ko / uhid.ko / hid-generic.ko from /lib/modules/<version>, and the probe program
# with the shared libraries `ldd` names (and, for a Qt GUI probe, the offscreen platform plugin
# and a font). The probes create virtual meters through /dev/uhid and check the HID layer
# (KernelHidProbe.cpp) or the whole program (KernelProgramProbe.cpp) with LinuxHidPlatform
# against the real /dev/hidrawN.
#
# Usage: run-kernel-test.sh PROBE WORKDIR [PROGRAM...]
# The PROGRAMs are put beside the probe in /probe, with their libraries, for the probe to start.
# Environment: ZR_KERNEL_TEST_KERNEL=/boot/vmlinuz-<version> to pick a kernel.
# Exit status: 0 pass, 1 fail, 77 skipped (not run as root: /boot/vmlinuz-* is root-only).
set -euo pipefail

probe=$1
work=$2
shift 2
programs=("$@")

fail() { echo "kernel test: $*" >&2; exit 1; }

# --- the kernel and its modules ------------------------------------------------------------------
kernel=${ZR_KERNEL_TEST_KERNEL:-}
if [ -z "$kernel" ]; then
    for candidate in $(ls -1 /boot/vmlinuz-* 2>/dev/null | sort -V -r); do
        version=${candidate#/boot/vmlinuz-}
        if [ -e "/lib/modules/$version/kernel/drivers/hid/uhid.ko" ]; then
            kernel=$candidate
            break
        fi
    done
fi
[ -n "$kernel" ] || fail "no /boot/vmlinuz-* with uhid.ko under /lib/modules (scripts/setup --test installs linux-image-amd64)"
version=${kernel#/boot/vmlinuz-}
moddir=/lib/modules/$version
if [ ! -r "$kernel" ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "kernel test: $kernel is readable by root only; skipped" >&2
        exit 77
    fi
    fail "cannot read $kernel"
fi
for tool in qemu-system-x86_64 timeout; do
    command -v "$tool" >/dev/null || fail "$tool missing (scripts/setup --test installs qemu-system-x86)"
done
# busybox-static's binary needs no libraries: it is the VM's whole userland besides the probe.
busybox=/bin/busybox
[ -x "$busybox" ] || fail "$busybox missing (scripts/setup --test installs busybox-static)"
[[ "$(ldd "$busybox" 2>&1 || true)" == *"not a dynamic"* ]] || fail "$busybox is not static (install busybox-static)"

# Modules in load order: the dependencies named by modules.dep (last first), then the module.
modules=()
add_module() {
    local name=$1 line dep deps i
    line=$(grep -m1 -E "(^|/)${name}\.ko(\.[a-z]+)?:" "$moddir/modules.dep") ||
        fail "$name not in $moddir/modules.dep"
    deps=(${line#*:})
    for ((i = ${#deps[@]} - 1; i >= 0; i--)); do
        dep=$(basename "${deps[$i]}")
        add_module "${dep%%.ko*}"
    done
    local path=${line%%:*}
    for i in "${modules[@]:-}"; do [ "$i" = "$path" ] && return 0; done
    modules+=("$path")
}
add_module hid
add_module uhid
add_module hid-generic
for m in "${modules[@]}"; do
    case $m in *.ko) ;; *) fail "compressed module $m: busybox insmod needs a plain .ko" ;; esac
done

# --- the initramfs -------------------------------------------------------------------------------
rm -rf "$work"
root=$work/root
mkdir -p "$root"/{bin,dev,proc,sys,tmp,run,probe,lib/modules}
cp "$busybox" "$root/bin/busybox"
load=""
for m in "${modules[@]}"; do
    cp "$moddir/$m" "$root/lib/modules/"
    load+="insmod /lib/modules/$(basename "$m") || echo 'insmod $(basename "$m") failed'"$'\n'
done
cp "$probe" "$root/probe/probe"
for program in "${programs[@]}"; do
    cp "$program" "$root/probe/"
done
# A probe with Qt's GUI module also needs the offscreen platform plugin, at the path Qt looks in,
# and a font to lay text out with.
# (ldd's list is read whole first: `grep -q` would stop reading at the first match and, under
# pipefail, ldd's SIGPIPE would make the test look false on a machine where ldd writes late.)
binaries=("$probe" "${programs[@]}")
probe_libraries=$(ldd "$probe")
if [[ "$probe_libraries" == *libQt6Gui* ]]; then
    plugin=$(find /usr/lib -path '*qt6/plugins/platforms/libqoffscreen.so' -print -quit)
    [ -n "$plugin" ] || fail "Qt's offscreen platform plugin is missing"
    mkdir -p "$root$(dirname "$plugin")"
    cp -L "$plugin" "$root$plugin"
    binaries+=("$plugin")
    mkdir -p "$root/usr/share/fonts/truetype/dejavu" "$root/etc"
    cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf "$root/usr/share/fonts/truetype/dejavu/"
    cp -r /etc/fonts "$root/etc/"
fi
# The shared libraries at their own paths, and the dynamic loader.
for binary in "${binaries[@]}"; do
    ldd "$binary" | awk '/=> \//{print $3} /^\s*\/[^ ]+ \(/{print $1}'
done | sort -u | while read -r lib; do
    mkdir -p "$root$(dirname "$lib")"
    cp -L "$lib" "$root$lib"
done
# /lib64 is a link to usr/lib64 on merged-/usr systems; the loader's path must resolve either way.
interp=$(awk '/ld-linux/{print $1; exit}' <<<"$probe_libraries")
[ -e "$root$interp" ] || { mkdir -p "$root$(dirname "$interp")"; cp -L "$interp" "$root$interp"; }

cat >"$root/init" <<INIT
#!/bin/busybox sh
/bin/busybox --install -s /bin
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
$load
mkdir -p -m 0700 /tmp/runtime
export QT_QPA_PLATFORM=offscreen HOME=/tmp XDG_RUNTIME_DIR=/tmp/runtime QT_NO_GLIB=1
export ASAN_OPTIONS=detect_leaks=0
echo "ZR-KERNEL-PROBE-START"
timeout 150 /probe/probe
echo "ZR-KERNEL-TEST-RESULT=\$?"
poweroff -f
INIT
chmod +x "$root/init"
(cd "$root" && find . | "$busybox" cpio -o -H newc >"$work/initramfs.cpio" 2>/dev/null)

# --- the VM --------------------------------------------------------------------------------------
log=$work/console.log
echo "kernel test: booting $kernel ($(du -m "$work/initramfs.cpio" | cut -f1) MB initramfs)"
set +e
# On a busy host the emulated timer can be late at boot, and the kernel's IO-APIC timer check then
# panics: no_timer_check skips that check, as on any virtual machine.
timeout 210 qemu-system-x86_64 -accel tcg -cpu max -smp 1 -m 1024 \
    -nographic -no-reboot -nic none -monitor none -serial stdio \
    -kernel "$kernel" -initrd "$work/initramfs.cpio" \
    -append "console=ttyS0 quiet loglevel=3 panic=-1 oops=panic no_timer_check" \
    </dev/null >"$log" 2>&1
qemu_status=$?
set -e
tr -d '\r' <"$log" | sed -n '/ZR-KERNEL-PROBE-START/,$p'
result=$(tr -d '\r' <"$log" | sed -n 's/^ZR-KERNEL-TEST-RESULT=\([0-9]*\).*/\1/p' | tail -n1)
if [ -z "$result" ]; then
    echo "---- console (qemu exit status $qemu_status) ----"
    tr -d '\r' <"$log" | tail -n 60
    fail "the probe did not report a result"
fi
[ "$result" = 0 ] || fail "the probe failed (status $result)"
echo "kernel test: passed"
