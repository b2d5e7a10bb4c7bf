#!/usr/bin/env bash
# Fails when a folder under src/ includes a header of a folder it may not depend on: folders
# depend one way only, so that no two of them use each other.
set -euo pipefail
src="${1:-$(dirname "$0")/../src}"

declare -A allowed=(
    [platform]=""
    [state]=""
    [content]="state platform"
    [view]="content state platform"
    [editing]="view content state platform"
    [savegame]="content state platform"
    [live_map]="view content state platform"
    [app]="live_map editing savegame view content state platform"
)

status=0
for folder in "${!allowed[@]}"; do
    while IFS=: read -r file used; do
        [ "$used" = "$folder" ] && continue
        if [[ " ${allowed[$folder]} " != *" $used "* ]]; then
            echo "$file includes a header of $used/, which $folder/ may not use"
            status=1
        fi
    done < <(grep -rHoE '^#include "[a-z_]+/' "$src/$folder" | sed -E 's|^([^:]+):#include "([a-z_]+)/|\1:\2|')
done
exit $status
