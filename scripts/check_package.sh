#!/usr/bin/env bash
# Checks the Debian package that `make package` built, and the menu entry and AppStream metadata
# it installs: lintian must report no error or warning, desktop-file-validate and appstreamcli
# nothing at all.
#
#     check_package.sh <build folder>
set -euo pipefail
build=$1
shopt -s nullglob
packages=("$build"/quillmark_*_amd64.deb)
if [ ${#packages[@]} -ne 1 ]; then
    echo "expected one quillmark_<version>_amd64.deb in $build, found ${#packages[@]}"
    exit 1
fi
package=${packages[0]}
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$package" "$unpacked"

echo "lintian $(basename "$package")"
lintian --allow-root --fail-on error,warning "$package"
for entry in "$unpacked"/usr/share/applications/*.desktop; do
    echo "desktop-file-validate $(basename "$entry")"
    desktop-file-validate "$entry"
done
for metainfo in "$unpacked"/usr/share/metainfo/*.xml; do
    echo "appstreamcli validate $(basename "$metainfo")"
    appstreamcli validate --no-net --strict "$metainfo"
done
