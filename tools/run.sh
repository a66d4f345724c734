#!/usr/bin/env bash
# Sets the machine up, builds the program and runs it under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
# The main window is not built yet: build and run the tests instead.
exec tools/test.sh
