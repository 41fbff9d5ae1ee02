#!/usr/bin/env bash
# Checks the layering of the sources: a folder includes only its own headers and those of the
# folders below it. No subsystem includes another; arrows only run down:
#
#   app                                              program start, the main window, every window
#   cli                                              ptk-cli, the terminal's front end (no ui)
#   shell status settings sales fiscal_memory eklz   subsystems, side by side
#   ui                                               what every window shares
#   trace                                            the exchange trace
#   device                                           register commands several subsystems use
#   link                                             the transactions with the register
#   platform                                         operating-system stand-ins
#   sim                                              the simulated register, on platform (and trace)
#
# Usage: check-includes.sh [source directory]   (default: src of this checkout)
# Prints each include that breaks the rule and fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."
root="${1:-src}"

subsystems="shell status settings sales fiscal_memory eklz"
declare -A below=(
  [platform]=""
  [link]="platform"
  [device]="platform link"
  [trace]="platform link"
  [ui]="platform link device"
  [app]="platform link device trace ui $subsystems"
  [cli]="platform link device trace $subsystems"
  [sim]="platform trace"
)
for subsystem in $subsystems; do below[$subsystem]="platform link device ui"; done

broken=0
while IFS= read -r file; do
  relative="${file#"$root"/}"
  folder="${relative%%/*}"
  if [ -z "${below[$folder]+known}" ]; then
    echo "check-includes: $relative: the folder $folder has no place in the layers" >&2
    broken=1
    continue
  fi
  while IFS=: read -r line included; do
    target="${included%%/*}"
    [ "$target" = "$folder" ] && continue
    case " ${below[$folder]} " in
      *" $target "*) ;;
      *)
        echo "check-includes: $relative:$line includes $included: $folder may include only" \
             "${below[$folder]:-nothing} besides itself" >&2
        broken=1
        ;;
    esac
  done < <(grep -noE '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[a-z_]+/[^"]+"' "$file" |
           sed -E 's/^([0-9]+):.*"([^"]+)".*/\1:\2/')
done < <(find "$root" -mindepth 2 -type f \( -name '*.h' -o -name '*.cpp' \) | sort)

if [ "$broken" -ne 0 ]; then exit 1; fi
echo "check-includes: every include runs down the layers"
