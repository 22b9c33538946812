#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks the menu entry, the listing and the icons with
# the freedesktop tools, and runs the installed programs through their links on the installed data.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "install"; }
id=org.velmora.Velmora
folder="$prefix/lib/velmora"
data="$prefix/share/velmora"
# The programs find the data of this prefix as a system's data folder.
export XDG_DATA_DIRS="$prefix/share"

# The programs in their folder, reached through relative links in bin/.
for program in velmora velmora-search velmora-import; do
  [ -x "$folder/$program" ] || fail "$folder/$program is missing"
  [ "$(readlink "$prefix/bin/$program")" = "../lib/velmora/$program" ] || fail "bin/$program is no link to it"
done

# The menu entry, the listing and the icon.
desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop entry"
# The listing with every check, the network's included: where its web addresses cannot be reached
# (no network here), those notes alone are passed over, and what they stand for is checked here:
# each screenshot is a PNG of dist/screenshots, as tools/take-screenshots takes them.
metainfo="$prefix/share/metainfo/$id.metainfo.xml"
appstreamcli validate --pedantic "$metainfo" >"$work/appstream.log" 2>&1 || true
# The one note left: the ID keeps its capitals, as the menu entry and every installed name have it.
python3 - "$work/appstream.log" <<'PY' || { cat "$work/appstream.log"; fail "metainfo"; }
import re, sys
text = open(sys.argv[1]).read()
notes = re.findall(r"^([EWIP]): \S+ (\S+)(.*\n(?:     .*\n)*)", text, re.M)
offline = {"url-not-reachable", "screenshot-image-not-found"}
for kind, tag, detail in notes:
    if tag in offline and "Could not resolve host" in " ".join(detail.split()):
        continue
    if (kind, tag) == ("P", "cid-contains-uppercase-letter"):
        continue
    sys.exit(f"{kind}: {tag} {detail.strip()}")
PY
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
for image in $(grep -o '<image>[^<]*</image>' "$metainfo" | sed 's|<image>.*/\([^/<]*\)</image>|\1|'); do
  head -c 8 "$source_dir/dist/screenshots/$image" | cmp -s - <(printf '\x89PNG\r\n\x1a\n') ||
    fail "screenshot $image is not in dist/screenshots"
done
for size in 16 22 24 32 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
  python3 -c 'import struct, sys
data = open(sys.argv[1], "rb").read(24)
sys.exit(data[:8] != b"\x89PNG\r\n\x1a\n" or struct.unpack(">II", data[16:24]) != (int(sys.argv[2]),) * 2)' \
    "$icon" "$size" || fail "icon $icon is no $size x $size PNG"
done
[ -s "$prefix/share/icons/hicolor/scalable/apps/$id.svg" ] || fail "scalable icon"

# The manual pages, compressed (the terms and the changelog come with the packages: package-check).
for page in velmora velmora-search velmora-import; do
  zcat "$prefix/share/man/man1/$page.1.gz" | grep -q "^\.TH ${page^^} " || fail "manual page of $page"
done

if [ ! -e "$data/PIKTHL.TXT" ]; then
  echo "SKIP: the build names no data folder (VELMORA_DATA_DIR); the programs were not run"
  exit 0
fi
[ ! -L "$data/PIKTHL.TXT" ] || fail "the data files must be files, not links into the build machine"

# The search tool finds its data beside itself, started through its link from another folder.
hits=$(cd "$work" && "$prefix/bin/velmora-search" --count pickthall "straight path")
[ "$hits" = 21 ] || fail "velmora-search counted '$hits' hits"

# The program, offscreen, with a home of its own whose preferences show three texts at start: it
# reads them from its folder and reports nothing. Without one of them it reports where it looked.
home="$work/home"
mkdir -p "$home/.local/state/velmora"
printf '\r\nDejaVu Sans\r\n 9.75 \r\nFalse\r\n 1 \r\n 1 \r\n 1 \r\n' >"$home/.local/state/velmora/Prefs.dat"
run_program() {
  local status=0
  (cd "$work" && HOME="$home" XDG_STATE_HOME= QT_QPA_PLATFORM=offscreen \
     timeout 5 "$prefix/bin/velmora" >"$work/program.log" 2>&1) || status=$?
  [ "$status" = 124 ] || { cat "$work/program.log"; fail "the program ended by itself (status $status)"; }
}
run_program
if grep -q "could not be read" "$work/program.log"; then cat "$work/program.log"; fail "data not found"; fi
mv "$data/PIKTHL.TXT" "$work/PIKTHL.TXT"
run_program
grep -q "PIKTHL.TXT could not be read. The program looked for it in $folder/" "$work/program.log" ||
  { cat "$work/program.log"; fail "no report of the missing file"; }
echo "PASS"
