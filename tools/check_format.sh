#!/usr/bin/env bash
# Fails when a C++ file that changed since the tree was last formatted as a
# whole (the last commit that changed .clang-format) is not formatted as
# .clang-format says. Uncommitted and new files count as changed.
#
#   tools/check_format.sh          check
#   tools/check_format.sh --fix    format those files in place
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
command -v clang-format >/dev/null || { echo "check_format: clang-format is not installed" >&2; exit 1; }
if base=$(git log -1 --format=%H -- .clang-format 2>/dev/null) && [ -n "$base" ]; then
  mapfile -t files < <({ git diff --name-only "$base" -- '*.cpp' '*.h'
                         git ls-files --others --exclude-standard -- '*.cpp' '*.h'; } | sort -u)
else
  mapfile -t files < <(git ls-files -- '*.cpp' '*.h' 2>/dev/null || find . -name '*.cpp' -o -name '*.h')
fi
present=()
for f in "${files[@]}"; do [ -f "$f" ] && present+=("$f"); done
if [ ${#present[@]} -eq 0 ]; then echo "format: no C++ file changed since the tree was formatted"; exit 0; fi
if [ "${1:-}" = --fix ]; then
  clang-format -i "${present[@]}"
  echo "format: ${#present[@]} files formatted"
  exit 0
fi
bad=()
for f in "${present[@]}"; do
  clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done
if [ ${#bad[@]} -gt 0 ]; then
  echo "format: ${#bad[@]} of ${#present[@]} changed files are not formatted (tools/check_format.sh --fix):"
  printf '  %s\n' "${bad[@]}"
  exit 1
fi
echo "format: the ${#present[@]} changed files are formatted"
