#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks that the program, its desktop entry, icons, AppStream
# data and guide land where desktops look for them, and that the entry and the metadata validate.
set -euo pipefail
build=${1:?build folder}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
id=io.github.framequill.Framequill
failures=0
check() { if "$@"; then :; else echo "failed: $*"; failures=$((failures + 1)); fi; }
check test -x "$prefix/bin/framequill"
for size in 16 24 32 48 64 128 256; do
    check test -s "$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
done
check test -s "$prefix/share/doc/framequill/index.html"
check desktop-file-validate "$prefix/share/applications/$id.desktop"
check appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/$id.metainfo.xml"
echo "$((12 - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]
