#!/usr/bin/env bash
# The layer check stops every spelling of an include against the arrows, and lets a folder's own
# and the allowed ones through. Usage: layers_test.sh SOURCE_DIR
set -euo pipefail
check=$1/cmake/CheckLayers.cmake
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/core" "$work/shell"
touch "$work/shell/form1.h" "$work/core/ansi.h"
runs() { cmake -DSOURCE_DIR="$work" -P "$check" >/dev/null 2>&1; }
for include in '#include "../shell/form1.h"' '#include <shell/form1.h>' '  #  include "shell/form1.h"' \
  '#include "./../shell/form1.h"'; do
  echo "$include" >"$work/core/probe.cpp"
  runs && { echo "FAIL: passed from core/: $include"; exit 1; }
done
for include in '#include "ansi.h"' '#include "core/ansi.h"' '#include <vector>' '#include <QString>'; do
  echo "$include" >"$work/core/probe.cpp"
  runs || { echo "FAIL: stopped from core/: $include"; exit 1; }
done
echo '#include "../core/ansi.h"' >"$work/shell/probe.cpp"
runs || { echo "FAIL: stopped from shell/: the core"; exit 1; }
# A library inside another's folder is its own: the player channels build on the platform, not it
# on them.
rm "$work/shell/probe.cpp"
mkdir -p "$work/platform/player"
echo '#include "platform/paths.h"' >"$work/platform/player/probe.cpp"
runs || { echo "FAIL: stopped from platform/player/: the platform"; exit 1; }
echo '#include "player/probe.h"' >"$work/platform/probe.cpp"
touch "$work/platform/player/probe.h"
runs && { echo "FAIL: passed from platform/: the player channels"; exit 1; }
echo "the layer check holds"
