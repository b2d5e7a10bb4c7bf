#!/usr/bin/env bash
# Checks the Debian package that `make package` built, and the menu entry, AppStream metadata and
# MIME types it installs: lintian must report no error or warning, desktop-file-validate and
# appstreamcli nothing at all, and update-mime-database must find both types of saved games.
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
echo "update-mime-database: the types of saved games"
mkdir "$unpacked/mime"
cp -r "$unpacked"/usr/share/mime/packages "$unpacked/mime/"
XDG_DATA_HOME="$unpacked" update-mime-database "$unpacked/mime"
for glob in "application/x-quillmark-game:\*.qms" "application/x-quillmark-old-game:\*.gls"; do
    grep -q "^50:$glob\$" "$unpacked/mime/globs2" || {
        echo "no $glob in the MIME database"
        exit 1
    }
done
