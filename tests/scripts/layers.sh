#!/usr/bin/env bash
# Every include of src/ and keyhook/ runs down the layers, never up: a folder names the
# folders it may include (its own and src/contract.h always), and the core (keys, store,
# typing, bar, editor except their *_win files) includes nothing of the windows.
# Usage: layers.sh SOURCE_DIR
set -uo pipefail
cd "$1/src" || exit 2
declare -A may=(
  [common]=""
  [text]="common"
  [keys]="common text win"
  [win]="common text"
  [store]="common text win"
  [typing]="common text keys store win"
  [bar]="common text keys store typing win"
  [editor]="common text keys store typing win"
  [find]="common text keys store typing win"
  [abbrev]="common text keys store typing editor win"
  [app]="common text keys store typing bar editor find abbrev win"
  [keyhook]="common keys"
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
done < <(grep -rn '^#include "' --include=*.h --include=*.cpp . ../keyhook | sed 's|^\.\{1,2\}/||')
exit $bad
