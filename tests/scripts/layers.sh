#!/usr/bin/env bash
# Every include of src/ runs down the layers, never up: a folder names the folders it may
# include (its own and src/contract.h always), and the core (store, typing, bar, editor
# except their *_win files) includes nothing of the windows.
# Usage: layers.sh SOURCE_DIR
set -uo pipefail
cd "$1/src" || exit 2
declare -A may=(
  [common]=""
  [text]="common"
  [win]="common text"
  [store]="common text win"
  [typing]="common text store win"
  [bar]="common text store typing win"
  [editor]="common text store typing win"
  [find]="common text store typing win"
  [abbrev]="common text store typing editor win"
  [app]="common text store typing bar editor find abbrev win"
)
bad=0
while IFS=: read -r file line include; do
  folder=${file%%/*}
  [[ $include =~ ^#include\ \"([^\"]*)\" ]] && target=${BASH_REMATCH[1]}
  to=${target%%/*}
  # contract.h, version.h, a file beside it, the resources
  [ "$to" = "$target" ] || [ "$to" = ".." ] && continue
  [ "$to" = "$folder" ] && [[ $target != *_win.h || $file == *_win.* ]] && continue
  if [[ " ${may[$folder]-} " == *" $to "* ]] &&
     { [[ $file == *_win.* || $folder == win || $folder == app ]] ||
       [[ $to != win && $target != *_win.h ]]; }; then
    continue
  fi
  echo "$file:$line includes $target"
  bad=1
done < <(grep -rn '^#include "' --include=*.h --include=*.cpp .  | sed 's|^\./||')
exit $bad
