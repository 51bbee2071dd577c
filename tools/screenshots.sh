#!/usr/bin/env bash
# Renders both windows to docs/screenshots (at natural size and at 3x for reading).
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."
"$build/tools/screenshots" docs/screenshots 1
"$build/tools/screenshots" docs/screenshots/3x 3
