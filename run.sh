#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sets up what is missing, builds, and starts the simulator. `./run.sh web [PORT]` builds the browser's
# front end instead and serves it to this machine (http://127.0.0.1:PORT/, 8080 unless given) until
# stopped with Ctrl+C.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
bash "$root/scripts/setup.sh"
bash "$root/scripts/build.sh"
if [ "${1:-}" = web ]; then
    bash "$root/scripts/build.sh" web
    exec node "$root/web/serve.mjs" --port "${2:-8080}" "$root/build-web/site"
fi
exec "$root/build/ui/vp7sim" "$@"
