#!/usr/bin/env bash
# Fails when a C++ file under src/, tests/ or bench/ differs from what clang-format makes of it,
# and names the files. The version is pinned: another clang-format formats some constructs
# differently, and the check must mean the same on every machine.
set -euo pipefail
cd "$(dirname "$0")/.."

formatter=clang-format-14
if ! command -v "$formatter" >/dev/null; then
  echo "check-format: $formatter is missing (scripts/install-deps.sh installs it)" >&2
  exit 1
fi

mapfile -t files < <(git ls-files -- 'src/*' 'tests/*' 'bench/*' | grep -E '\.(cpp|h)$' || true)
differing=()
for file in "${files[@]}"; do
  if ! "$formatter" --style=file "$file" | cmp -s - "$file"; then differing+=("$file"); fi
done

if [ ${#differing[@]} -ne 0 ]; then
  echo "check-format: these files differ from $formatter's output (run '$formatter -i' on them):" >&2
  printf '  %s\n' "${differing[@]}" >&2
  exit 1
fi
echo "check-format: ${#files[@]} files formatted"
