#!/usr/bin/env bash
# Builds the Debian package from this build folder and checks what it would
# install: the two programs (and that they still run once stripped), the
# manual, the menu entry, every icon and the design file type. Exits 77
# (skipped) where dpkg-deb is missing, that is off Debian and its kin.
#
#   deb.sh CPACK CPACK_CONFIG VERSION
set -u
cpack=$1
config=$2
version=$3

command -v dpkg-deb >/dev/null 2>&1 || { echo "skipped: dpkg-deb is not installed"; exit 77; }
# Beyond dpkg-deb the tools are named, not skipped: ./run-tests installs them.
for tool in dpkg-shlibdeps:dpkg-dev desktop-file-validate:desktop-file-utils \
    update-mime-database:shared-mime-info; do
    command -v "${tool%%:*}" >/dev/null 2>&1 ||
        { echo "FAILED: ${tool%%:*} is missing; install the package ${tool#*:}"; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAILED: $*"
    failures=$((failures + 1))
}

# The package, built into a folder of its own so that the build folder and
# tests running beside this one are left alone.
if ! "$cpack" -G DEB --config "$config" -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    echo "FAILED: cpack could not build the package"
    exit 1
fi
packages=("$work"/out/*.deb)
if [ "${#packages[@]}" -ne 1 ] || [ ! -f "${packages[0]}" ]; then
    echo "FAILED: expected one .deb, found: ${packages[*]}"
    exit 1
fi
deb=${packages[0]}
arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "kestrelvane_${version}_${arch}.deb" ] ||
    fail "package file named $(basename "$deb")"

# The control fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = kestrelvane ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), not $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = sound ] || fail "Section: $(field Section)"
[ "$(field Maintainer)" = Veldrasound ] || fail "Maintainer: $(field Maintainer)"
[ "$(field Description | wc -l)" -gt 1 ] || fail "no long description: $(field Description)"
field Description | awk 'length > 80 { exit 1 }' || fail "Description lines beyond 80 columns"
# Only dpkg-shlibdeps names the libraries with their packages' versions.
depends=$(field Depends)
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6; do
    [[ ", $depends," == *", $library ("* ]] || fail "Depends lacks $library: $depends"
done
dpkg-deb -I "$deb" | grep -Eq '^ *(postinst|postrm|preinst|prerm) ' &&
    fail "maintainer scripts in the package; the desktop and MIME triggers need none"

# Exactly these files, owned by root, programs executable and data readable.
icons=/usr/share/icons/hicolor
sizes=(16 24 32 48 64 128 256)
expected=(
    "-rwxr-xr-x /usr/bin/kestrelvane"
    "-rwxr-xr-x /usr/bin/kestrelvane-cli"
    "-rw-r--r-- /usr/share/applications/kestrelvane.desktop"
    "-rw-r--r-- /usr/share/doc/kestrelvane/manual.md"
    "-rw-r--r-- /usr/share/doc/kestrelvane/examples/three-way.ksv"
    "-rw-r--r-- /usr/share/doc/kestrelvane/examples/two-way.ksv"
    "-rw-r--r-- /usr/share/doc/kestrelvane/examples/drivers/midrange.frd"
    "-rw-r--r-- /usr/share/doc/kestrelvane/examples/drivers/tweeter.frd"
    "-rw-r--r-- /usr/share/doc/kestrelvane/examples/drivers/woofer.frd"
    "-rw-r--r-- $icons/scalable/apps/kestrelvane.svg"
    "-rw-r--r-- /usr/share/mime/packages/kestrelvane.xml"
)
for size in "${sizes[@]}"; do
    expected+=("-rw-r--r-- $icons/${size}x${size}/apps/kestrelvane.png")
done
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {
    if ($2 != "root/root") print "owner " $2 " of " $6 > "/dev/stderr"
    sub(/^\./, "", $6); print $1 " " $6 }' | sort >"$work/files" 2>"$work/owners"
[ -s "$work/owners" ] && fail "$(cat "$work/owners")"
printf '%s\n' "${expected[@]}" | sort >"$work/expected"
diff -u "$work/expected" "$work/files" >"$work/files.diff" ||
    fail "the package's files differ from the expected (- expected, + in the package):
$(cat "$work/files.diff")"

root="$work/root"
dpkg-deb -x "$deb" "$root"

# The menu entry: valid, and naming the program, icon and type the package holds.
desktop="$root/usr/share/applications/kestrelvane.desktop"
if ! validation=$(desktop-file-validate "$desktop" 2>&1) || [ -n "$validation" ]; then
    fail "desktop-file-validate: $validation"
fi
entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Exec)" = "kestrelvane %f" ] || fail "Exec=$(entry Exec)"
[ "$(entry Icon)" = kestrelvane ] || fail "Icon=$(entry Icon)"
[ "$(entry MimeType)" = "application/x-kestrelvane;" ] || fail "MimeType=$(entry MimeType)"
grep -q '<mime-type type="application/x-kestrelvane">' "$root/usr/share/mime/packages/kestrelvane.xml" ||
    fail "the MIME package does not define application/x-kestrelvane"

# Every PNG is of the size its folder promises (the width and height of the
# PNG header, big-endian at bytes 16 to 23).
for size in "${sizes[@]}"; do
    read -r width height < <(od -An -tu1 -j16 -N8 "$root$icons/${size}x${size}/apps/kestrelvane.png" |
        awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4, $5 * 16777216 + $6 * 65536 + $7 * 256 + $8 }')
    [ "$width x $height" = "$size x $size" ] || fail "the ${size}x${size} icon is $width x $height"
done

# The type compiles as the Debian trigger compiles it, with its glob.
mime="$root/usr/share/mime"
if ! warnings=$(XDG_DATA_DIRS="$root/usr/share" update-mime-database "$mime" 2>&1) ||
    [ -n "$warnings" ]; then
    fail "update-mime-database: $warnings"
fi
grep -qx '[0-9]*:application/x-kestrelvane:\*\.ksv' "$mime/globs2" 2>/dev/null ||
    fail "no *.ksv glob in the compiled MIME database"

# The shipped example opens, and the unit can run it.
"$root/usr/bin/kestrelvane-cli" cfg "$root/usr/share/doc/kestrelvane/examples/three-way.ksv" \
    -o "$work/three-way.cfg" || fail "the packaged 3-way example does not make a TAS3103 image"

# The stripped programs still run and write a design.
"$root/usr/bin/kestrelvane-cli" new --ways 3 --title Packaged -o "$work/design.ksv" ||
    fail "the packaged kestrelvane-cli could not write a design"
"$root/usr/bin/kestrelvane-cli" info "$work/design.ksv" | grep -q Packaged ||
    fail "the packaged kestrelvane-cli could not read its design back"

[ "$failures" -eq 0 ] || exit 1
echo "kestrelvane_${version}_${arch}.deb: $(wc -l <"$work/files") files, all as expected"
