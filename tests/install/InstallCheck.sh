#!/usr/bin/env bash
# What "cmake --install" and cpack make of a build folder, checked as a person's
# desktop and package manager would see it.
#   InstallCheck.sh validate BUILD  the launcher entry and the metainfo pass their validators and name installed files
#   InstallCheck.sh prefix BUILD    installed below a prefix, the files lie where they belong and brindle-cli runs from there
#   InstallCheck.sh package BUILD   the Debian package declares its libraries, unpacks into a scratch root and runs from there
set -euo pipefail
mode=$1
build=$(readlink -f "$2")
id=org.brindleworkbench.Brindle
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

install_into() { cmake --install "$build" --prefix "$1" >/dev/null; }

# check_runs ROOT: the executables below ROOT/bin find every library they need,
# and brindle-cli queries the catalogue installed with them.
check_runs() {
  local root=$1 missing output program
  for program in brindle brindle-cli; do
    [ -x "$root/bin/$program" ] || fail "no $root/bin/$program"
  done
  missing=$(ldd "$root/bin/brindle" "$root/bin/brindle-cli" | grep 'not found' || true)
  [ -z "$missing" ] || fail "libraries not found: $missing"
  output=$("$root/bin/brindle-cli" select "$root/share/brindle/catalog.xml" "name = 'book' and @lang = 'en'")
  [ "$(cut -f1 <<<"$output" | tr '\n' ' ')" = "2 11 25 33 " ] || fail "the English books of the installed catalogue: $output"
}

# png_size FILE: "WIDTHxHEIGHT" from the PNG header.
png_size() {
  local bytes
  read -r -a bytes <<<"$(od -An -tu1 -j16 -N8 "$1")"
  echo "$(( (bytes[2] << 8) | bytes[3] ))x$(( (bytes[6] << 8) | bytes[7] ))"
}

case $mode in
  validate)
    install_into "$scratch"
    desktop=$scratch/share/applications/$id.desktop
    metainfo=$scratch/share/metainfo/$id.metainfo.xml
    desktop-file-validate "$desktop" || fail "desktop-file-validate refused $desktop"
    appstreamcli validate --no-net "$metainfo" || fail "appstreamcli refused $metainfo"
    # What the entries name must be there: the program, its icon, the entry itself.
    exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
    [ -x "$scratch/bin/$exec" ] || fail "the launcher starts $exec, which is not installed"
    icon=$(sed -n 's/^Icon=//p' "$desktop")
    [ -f "$scratch/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "the launcher's icon $icon is not installed"
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "the metainfo launches no installed entry"
    ;;
  prefix)
    install_into "$scratch"
    for file in bin/brindle bin/brindle-cli share/brindle/samples.txt share/brindle/help/Brindle.html \
                share/brindle/catalog.xml share/brindle/catalog.xsl share/brindle/book-card.xsl \
                share/brindle/xel-samples.xml share/brindle/inventory-table.xml \
                share/icons/hicolor/scalable/apps/$id.svg; do
      [ -f "$scratch/$file" ] || fail "$file is not installed"
    done
    for size in 16 22 24 32 48 64 128 256; do
      png=$scratch/share/icons/hicolor/${size}x$size/apps/$id.png
      [ -f "$png" ] || fail "no ${size}x$size icon"
      [ "$(png_size "$png")" = "${size}x$size" ] || fail "the ${size}x$size icon is $(png_size "$png")"
    done
    check_runs "$scratch"
    ;;
  package)
    (cd "$build" && cpack -G DEB -B "$scratch/out" >/dev/null) || fail "cpack failed"
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
    deb=$scratch/out/brindle_${version}_$(dpkg --print-architecture).deb
    [ -f "$deb" ] || fail "no $(basename "$deb"); cpack wrote: $(ls "$scratch/out")"
    depends=$(dpkg-deb -f "$deb" Depends)
    for package in libqt6widgets6 libqscintilla2-qt6-15 libexpat1 libstdc++6; do
      grep -q "\b$package\b" <<<"$depends" || fail "the package does not depend on $package: $depends"
    done
    dpkg -x "$deb" "$scratch/root"
    check_runs "$scratch/root/usr"
    ;;
  *)
    fail "unknown mode $mode"
    ;;
esac
