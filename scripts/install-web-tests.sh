#!/usr/bin/env bash
# Installs the browser tests' npm packages (puppeteer-core, pngjs,
# fast-check) into tests/web/node_modules, exactly as the committed lock file
# names them.
# Chromium comes from Debian (install-deps.sh --web), so puppeteer is told not
# to download a browser of its own.
set -euo pipefail
cd "$(dirname "$0")/../tests/web"
# npm ci leaves this file behind; newer than the lock file means up to date.
[[ node_modules/.package-lock.json -nt package-lock.json ]] && exit 0
command -v npm >/dev/null || { echo "install-web-tests: no npm; run scripts/install-deps.sh --web" >&2; exit 1; }
PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund
