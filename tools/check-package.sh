#!/usr/bin/env bash
# Makes the Debian package from an already built release tree and checks it as a user's machine would
# meet it: lintian, the menu entry, the AppStream file, the puzzle file type, the dependencies, both
# programs run from the unpacked tree, and a dpkg install and purge in a throwaway root that must leave
# nothing behind. Takes seconds; `make test` runs it.
# Usage: tools/check-package.sh [build-dir]   (default ./build)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"

# On a developer's machine a missing tool skips the check; under CI (CI=true) it fails it, so that a
# missing install step cannot pass for a checked package.
for tool in dpkg-deb lintian desktop-file-validate appstreamcli update-mime-database; do
  if ! command -v "$tool" >/dev/null; then
    if [ "${CI:-}" = true ]; then
      echo "check-package: FAIL: $tool is missing (tools/install-deps.sh installs it)" >&2
      exit 1
    fi
    echo "check-package: skipped, $tool is missing (tools/install-deps.sh installs it)"
    exit 0
  fi
done

failures=0
fail() { echo "check-package: FAIL: $*" >&2; failures=$((failures + 1)); }

rm -f "$build"/korvane_*.deb
cmake --build "$build" --target package >"$build/check-package-cpack.log" 2>&1 ||
  { cat "$build/check-package-cpack.log"; echo "check-package: FAIL: cpack" >&2; exit 1; }
debs=("$build"/korvane_*_amd64.deb)
deb="${debs[0]}"
[ -f "$deb" ] || { echo "check-package: FAIL: no package in $build" >&2; exit 1; }
echo "check-package: $deb, $(stat -c %s "$deb") bytes"

# Errors fail; warnings and the rest are shown for the reader.
lintian_status=0
report=$(lintian --fail-on error --pedantic --display-info "$deb" 2>&1) || lintian_status=$?
grep -v '^running with root privileges' <<<"$report" || true
[ "$lintian_status" -eq 0 ] || fail "lintian reports errors"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root="$work/unpacked"
dpkg-deb -x "$deb" "$root"

expected=(
  usr/bin/korvane usr/bin/korvane-solve usr/bin/korvane-make
  usr/share/applications/io.github.korvane.Korvane.desktop
  usr/share/metainfo/io.github.korvane.Korvane.metainfo.xml
  usr/share/mime/packages/io.github.korvane.Korvane.xml
  usr/share/icons/hicolor/scalable/apps/korvane.svg
  usr/share/man/man6/korvane.6.gz usr/share/man/man6/korvane-solve.6.gz usr/share/man/man6/korvane-make.6.gz
  usr/share/man/fr/man6/korvane.6.gz usr/share/man/fr/man6/korvane-solve.6.gz usr/share/man/fr/man6/korvane-make.6.gz
  usr/share/doc/korvane/copyright usr/share/doc/korvane/changelog.gz
  usr/share/doc/korvane/examples/zebra.e65
)
for size in 16 22 24 32 48 64 128 256; do expected+=("usr/share/icons/hicolor/${size}x${size}/apps/korvane.png"); done
for file in "${expected[@]}"; do [ -s "$root/$file" ] || fail "the package lacks /$file"; done

desktop="$root/usr/share/applications/io.github.korvane.Korvane.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate"
grep -qx 'Exec=korvane %f' "$desktop" || fail "the menu entry does not pass the file to korvane"
grep -qx 'MimeType=application/x-korvane-puzzle;' "$desktop" || fail "the menu entry does not open puzzles"
# The whole tree, so that the metainfo's menu entry is checked to be there as well.
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree"

# One version everywhere: the package's (the project's), the changelog's and the newest release's.
version=$(dpkg-deb -f "$deb" Version)
changelog=$(gzip -dc "$root/usr/share/doc/korvane/changelog.gz" | head -n 1)
[[ "$changelog" == "korvane ($version) "* ]] || fail "the changelog starts with '$changelog', not version $version"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/io.github.korvane.Korvane.metainfo.xml" ||
  fail "the metainfo has no release $version"
for page in "$root"/usr/share/man/man6/*.gz "$root"/usr/share/man/fr/man6/*.gz; do
  gzip -dc "$page" | grep -q "^\.TH .*\"Korvane $version\"" || fail "$page is not of version $version"
done

# The type must reach the database that file managers read, for both extensions, whatever their case.
mkdir -p "$work/mime/packages"
cp "$root/usr/share/mime/packages/io.github.korvane.Korvane.xml" "$work/mime/packages/"
XDG_DATA_DIRS="$work" update-mime-database "$work/mime" || fail "update-mime-database refuses the puzzle type"
for glob in '*.e65' '*.eni'; do
  grep -qxF "50:application/x-korvane-puzzle:$glob" "$work/mime/globs2" || fail "no $glob in the MIME database"
done

# dpkg-shlibdeps found the linked libraries; what Qt loads at run time is declared by hand.
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libqt6svg6 qt6-translations-l10n libc6; do
  [[ ", $depends," == *", $package"[\ ,]* ]] || fail "Depends lacks $package: $depends"
done

# The programs run from the package: the solver solves, the maker makes a puzzle that the solver finds
# unique, the window starts with a puzzle and stays up.
verdict=$("$root/usr/bin/korvane-solve" --count "$root/usr/share/doc/korvane/examples/zebra.e65") || fail "korvane-solve from the package"
[ "$verdict" = "Solution unique trouvée : FÉLICITATIONS" ] || fail "korvane-solve says: $verdict"
"$root/usr/bin/korvane-make" --grade Difficile --names "$root/usr/share/doc/korvane/examples/zebra.e65" "$work/made.e65" >/dev/null ||
  fail "korvane-make from the package"
verdict=$("$root/usr/bin/korvane-solve" --count "$work/made.e65") || fail "korvane-solve on korvane-make's puzzle"
[ "$verdict" = "Solution unique trouvée : FÉLICITATIONS" ] || fail "korvane-solve says of korvane-make's puzzle: $verdict"
status=0
QT_QPA_PLATFORM=offscreen timeout 2 "$root/usr/bin/korvane" "$root/usr/share/doc/korvane/examples/zebra.e65" >/dev/null 2>&1 || status=$?
[ "$status" -eq 124 ] || fail "korvane with a puzzle ended with status $status instead of running"

# Installed and purged by dpkg in an empty root: only dpkg's own records may stay.
target="$work/root"
mkdir -p "$target/var/lib/dpkg/info" "$target/var/lib/dpkg/updates"
touch "$target/var/lib/dpkg/status"
dpkg_root=(dpkg --root="$target" --force-depends --force-not-root --force-script-chrootless --log=/dev/null)
# The dependencies are not there, on purpose: dpkg names each one it goes without.
"${dpkg_root[@]}" --install "$deb" >/dev/null 2>"$work/dpkg.log" || { cat "$work/dpkg.log"; fail "dpkg --install"; }
[ -x "$target/usr/bin/korvane" ] || fail "dpkg --install put no korvane in /usr/bin"
"${dpkg_root[@]}" --purge korvane >/dev/null 2>>"$work/dpkg.log" || { cat "$work/dpkg.log"; fail "dpkg --purge"; }
left=$(cd "$target" && find . -mindepth 1 ! -path './var/lib/dpkg*' ! -path './var' ! -path './var/lib')
[ -z "$left" ] || fail "purging left: $left"

if [ "$failures" -ne 0 ]; then
  echo "check-package: $failures failure(s)" >&2
  exit 1
fi
echo "check-package: passed"
