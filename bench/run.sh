#!/usr/bin/env bash
# Runs every benchmark and prints its figures.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
bash tools/bootstrap.sh
status=0
for script in bench/*/run.sh; do
  echo "== $script"
  bash "$script" || status=1
done
exit $status
