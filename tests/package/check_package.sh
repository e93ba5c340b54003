#!/usr/bin/env bash
# Builds the .deb from a build tree with CPack and checks it as Debian's tools and a laboratory
# PC see it: control fields, the exact file list and modes, the maintainer scripts on a system
# without udev, the desktop entry, the AppStream metainfo, lintian errors, and the packaged
# program answering --version and a wrong option without a display.
# Usage: check_package.sh BUILD_DIR VERSION APP_ID FONT_PACKAGE
set -euo pipefail
build=$1
version=$2
id=$3
font=$4

for tool in cpack dpkg-deb desktop-file-validate appstreamcli lintian python3; do
    if ! command -v "$tool" >/dev/null; then
        echo "FAIL: $tool is missing (scripts/setup --test installs it)" >&2
        exit 1
    fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

if ! cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    echo "FAIL: cpack could not build the package" >&2
    exit 1
fi
debs=("$work"/out/zr6040usb_"$version"_*.deb)
if [ ! -f "${debs[0]}" ]; then
    ls -l "$work/out" >&2
    echo "FAIL: no zr6040usb_${version}_*.deb" >&2
    exit 1
fi
deb=${debs[0]}
echo "package: $(basename "$deb")"

# Control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = zr6040usb ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ "$(field Section)" = science ] || fail "Section is '$(field Section)'"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture '$(field Architecture)'"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^@\>]+\>$ ]] || fail "Maintainer '$(field Maintainer)'"
[[ "$(field Homepage)" == https://* ]] || fail "Homepage '$(field Homepage)'"
depends=$(field Depends)
echo "Depends: $depends"
# Computed from the shared libraries, plus the fonts, Qt's window system plugins and translations.
for need in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 \
    libqt6charts6 libqt6svg6 libxlsxwriter4 libudev1 libsqlite3-0 libpq5 libqt6network6 \
    fonts-dejavu-core \
    "$font" qt6-qpa-plugins qt6-translations-l10n; do
    [[ ", $depends" == *", $need"* ]] || fail "Depends lacks $need"
done

# The file list, exactly, with owners and modes.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $1, $2, $6}' | sort >"$work/files"
{
    echo "-rwxr-xr-x root/root ./usr/bin/zr6040ctl"
    echo "-rwxr-xr-x root/root ./usr/bin/zr6040usb"
    echo "-rw-r--r-- root/root ./usr/lib/udev/rules.d/70-zr6040.rules"
    echo "-rw-r--r-- root/root ./usr/lib/zr6040usb/zr6040usb-chart.so"
    echo "-rw-r--r-- root/root ./usr/lib/zr6040usb/zr6040usb-history.so"
    echo "-rw-r--r-- root/root ./usr/lib/zr6040usb/zr6040usb-mirror.so"
    echo "-rw-r--r-- root/root ./usr/share/applications/$id.desktop"
    echo "-rw-r--r-- root/root ./usr/share/doc/zr6040usb/ZR-6040.pdf"
    echo "-rw-r--r-- root/root ./usr/share/doc/zr6040usb/changelog.gz"
    echo "-rw-r--r-- root/root ./usr/share/doc/zr6040usb/copyright"
    echo "-rw-r--r-- root/root ./usr/share/doc/zr6040usb/server-roles.sql"
    for size in 48 128 256; do
        echo "-rw-r--r-- root/root ./usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
    done
    echo "-rw-r--r-- root/root ./usr/share/man/man1/zr6040ctl.1.gz"
    echo "-rw-r--r-- root/root ./usr/share/man/man1/zr6040usb.1.gz"
    echo "-rw-r--r-- root/root ./usr/share/metainfo/$id.metainfo.xml"
} | sort >"$work/expected"
diff -u "$work/expected" "$work/files" || fail "the file list differs (- expected, + packaged)"

dpkg-deb -x "$deb" "$work/root"
dpkg-deb -e "$deb" "$work/control"
share=$work/root/usr/share

# Icons: each PNG is as large as its hicolor directory says.
for size in 48 128 256; do
    png=$share/icons/hicolor/${size}x${size}/apps/$id.png
    [ -f "$png" ] || continue
    got=$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print("%dx%d" % struct.unpack(">II", d[16:24]) if d[:8]==b"\x89PNG\r\n\x1a\n" else "not a PNG")' "$png")
    [ "$got" = "${size}x${size}" ] || fail "the ${size} px icon is $got"
done

# Desktop entry and metainfo.
desktop=$share/applications/$id.desktop
metainfo=$share/metainfo/$id.metainfo.xml
desktop-file-validate "$desktop" || fail "desktop-file-validate"
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry's icon is not $id"
grep -qx "Exec=zr6040usb" "$desktop" || fail "the desktop entry does not start zr6040usb"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
for needle in "<id>$id</id>" "<launchable type=\"desktop-id\">$id.desktop</launchable>" \
    "<modalias>usb:v04D7p013F*</modalias>" "docs/main-window.png</image>" \
    "<release version=\"$version\"" '<summary xml:lang="ru">' '<p xml:lang="ru">'; do
    grep -qF "$needle" "$metainfo" || fail "the metainfo lacks $needle"
done
grep -qF 'ATTRS{idVendor}=="04d7", ATTRS{idProduct}=="013f", TAG+="uaccess"' \
    "$work/root/usr/lib/udev/rules.d/70-zr6040.rules" || fail "the udev rule does not match the meter"

# Maintainer scripts: executable, and harmless where udev does not run, even when udevadm fails.
mkdir "$work/fakebin"
printf '#!/bin/sh\nexit 1\n' >"$work/fakebin/udevadm"
chmod +x "$work/fakebin/udevadm"
for script in postinst postrm; do
    [ -x "$work/control/$script" ] || {
        fail "no executable $script"
        continue
    }
    grep -q 'udevadm control --reload-rules' "$work/control/$script" || fail "$script does not reload udev rules"
done
grep -q 'udevadm trigger --subsystem-match=hidraw' "$work/control/postinst" || fail "postinst does not trigger hidraw"
for run in "postinst configure" "postrm remove" "postrm purge"; do
    # shellcheck disable=SC2086
    PATH="$work/fakebin:$PATH" sh "$work/control/${run%% *}" ${run#* } || fail "$run failed"
done

# The packaged program, as installed, answers without a display.
program=$work/root/usr/bin/zr6040usb
got=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --version) ||
    fail "zr6040usb --version exited with $?"
[ "$got" = "zr6040usb $version" ] || fail "zr6040usb --version printed '$got'"
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --no-such-option \
    >"$work/stdout" 2>"$work/stderr" || status=$?
[ "$status" -eq 2 ] && [ ! -s "$work/stdout" ] && grep -q '^Usage:' "$work/stderr" ||
    fail "a wrong option gave status $status"

# The chart and the history window come from modules loaded when first shown: the program links
# neither Qt Charts nor Qt SVG, and the modules lie where the program looks for them.
readelf -d "$program" >"$work/dynamic"
if grep -q 'libQt6Charts\|libQt6Svg' "$work/dynamic"; then
    fail "zr6040usb links Qt Charts or Qt SVG itself"
fi
module_dir=$(strings "$program" | grep -x '\.\./lib[^ ]*/zr6040usb' | head -n 1)
for module in zr6040usb-chart.so zr6040usb-history.so; do
    [ -n "$module_dir" ] && [ -f "$work/root/usr/bin/$module_dir/$module" ] ||
        fail "the module $module is not where zr6040usb looks for it ('$module_dir')"
done

# The command-line companion, as installed: no display, a wrong command, a reading as JSON, and
# its manual page.
ctl=$work/root/usr/bin/zr6040ctl
got=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$ctl" --version) ||
    fail "zr6040ctl --version exited with $?"
[ "$got" = "zr6040ctl $version" ] || fail "zr6040ctl --version printed '$got'"
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$ctl" no-such-command \
    >"$work/stdout" 2>"$work/stderr" || status=$?
[ "$status" -eq 2 ] && [ ! -s "$work/stdout" ] && grep -q '^Usage:' "$work/stderr" ||
    fail "zr6040ctl with a wrong command gave status $status"
HOME=$work/home XDG_DATA_HOME=$work/home/data env -u DISPLAY -u WAYLAND_DISPLAY \
    -u QT_QPA_PLATFORM "$ctl" --simulate status --json >"$work/status.json" ||
    fail "zr6040ctl --simulate status --json exited with $?"
python3 -c 'import json, sys; s = json.load(open(sys.argv[1])); assert s["method"] in (1, 2, 3)' \
    "$work/status.json" || fail "zr6040ctl --simulate status --json wrote no status"
zcat "$share/man/man1/zr6040ctl.1.gz" | grep -q '^\.SH EXIT STATUS' ||
    fail "the manual page of zr6040ctl has no EXIT STATUS"

# lintian: no errors; its warnings are printed for the record.
lintian --no-tag-display-limit "$deb" >"$work/lintian" 2>&1 || true
cat "$work/lintian"
if grep -q '^E: ' "$work/lintian"; then
    fail "lintian reports errors"
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "package checks passed"
