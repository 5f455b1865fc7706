#!/usr/bin/env bash
# check-package.sh BUILD_DIR PROGRAM... : builds the package from BUILD_DIR into a scratch folder
# and checks its files, its control fields, its desktop entry and, where lintian is installed,
# Debian's own checks. Exit 77: skipped.
set -euo pipefail
build="$1"
shift
if ! command -v dpkg-deb >/dev/null; then
    echo "dpkg-deb not found: the package cannot be built here (skipped)"
    exit 77
fi
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

if ! "${CPACK:-cpack}" --config "$build/CPackConfig.cmake" -B "$scratch" >"$scratch/cpack.log" 2>&1; then
    cat "$scratch/cpack.log"
    echo "FAILED: cpack"
    exit 1
fi
debs=("$scratch"/talvern_*.deb)
[ -f "${debs[0]}" ] || { echo "FAILED: no talvern_*.deb in $scratch"; ls "$scratch"; exit 1; }
deb="${debs[0]}"
echo "built $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB)"

files="$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\.||')"
expected=(/usr/share/talvern/support/FaultErrCodes.txt /usr/share/talvern/support/CommErrCodes.txt
          /usr/share/talvern/Help/index.html
          /usr/share/applications/talvern.desktop
          /usr/share/icons/hicolor/scalable/apps/talvern.svg
          /usr/share/doc/talvern/copyright /usr/share/doc/talvern/changelog.gz)
for program in "$@"; do expected+=("/usr/bin/$program" "/usr/share/man/man1/$program.1.gz"); done
for path in "${expected[@]}"; do
    grep -qxF "$path" <<<"$files" || fail "$path is not in the package"
done
outside="$(grep -v -e '^/$' -e '^/usr/' <<<"$files" || true)"
[ -z "$outside" ] || fail "files outside /usr: $outside"

[ "$(dpkg-deb -f "$deb" Package)" = talvern ] || fail "the package is not named talvern"
depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
for library in libc6 libqt6core6 libqt6widgets6 libqt6serialport6 fonts-liberation; do
    grep -q "\b$library\b" <<<"$depends" || fail "Depends lacks $library"
done

dpkg-deb -x "$deb" "$scratch/root"
desktop="$scratch/root/usr/share/applications/talvern.desktop"
grep -qx 'Exec=talvern' "$desktop" || fail "the desktop entry does not start talvern"
grep -qx 'Icon=talvern' "$desktop" || fail "the desktop entry does not name the talvern icon"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate"
else
    echo "desktop-file-validate not found: the desktop entry is checked by its keys only"
fi
zcat "$scratch/root/usr/share/man/man1/talvern-cli.1.gz" | grep -q '^\.TH "\?TALVERN-CLI' ||
    fail "the talvern-cli manual page has no title"

# Debian's own checks: any error or warning fails the package.
if command -v lintian >/dev/null; then
    if lintian --fail-on error,warning "$deb" >"$scratch/lintian.log" 2>&1; then
        echo "lintian: no error, no warning"
    else
        cat "$scratch/lintian.log"
        fail "lintian"
    fi
else
    echo "lintian not found: Debian's checks of the package are skipped"
fi

[ "$failures" -eq 0 ] || exit 1
echo "package checked"
