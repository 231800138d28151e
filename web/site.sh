#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# web/site.sh WEB_BUILD NATIVE_BUILD: assembles the browser front end's static files in WEB_BUILD/site:
# the page, the device's module, the desktop's artwork as the plain build in NATIVE_BUILD drew it, the
# fonts the desktop draws text in, the shipped exercises and the npm files the page imports (the
# classroom's MQTT client among them). Everything
# the page loads comes from its own origin.
set -euo pipefail
web="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(dirname "$web")"
build="$1"
native="$2"
site="$build/site"
modules="$web/node_modules"

rm -rf "$site"
mkdir -p "$site/zstd" "$site/lib/uplot" "$site/fonts" "$site/exercises"
# The page's modules as three bundles, the page's and the two its head starts early, each whole: a
# browser asks a server for six files at a time, and twenty-odd modules kept the module and the artwork
# waiting in that queue; and a chunk the head's scripts shared with the page's would hold them back until
# it came. Not minified: what runs is what was written.
for file in "$web"/page/*; do
    case "$file" in *.js) ;; *) cp -r "$file" "$site/" ;; esac
done
esbuild "$web/page/main.js" "$web/page/early-artwork.js" "$web/page/early-module.js" --bundle \
    --format=esm --outdir="$site" --log-level=warning
cp "$build/web/vp7.js" "$build/web/vp7.wasm" "$web/bridge/packing.mjs" "$site/"
cp "$modules/@bokuweb/zstd-wasm/dist/web/zstd.js" "$modules/@bokuweb/zstd-wasm/dist/web/zstd.wasm" "$site/zstd/"
# The classroom's MQTT client, its bundle for browsers; loaded only by a page opened to join a room.
mkdir -p "$site/lib/mqtt"
cp "$modules/mqtt/dist/mqtt.esm.js" "$site/lib/mqtt/"
if [ -d "$modules/uplot/dist" ]; then
    cp "$modules/uplot/dist/uPlot.esm.js" "$modules/uplot/dist/uPlot.min.css" "$site/lib/uplot/"
fi
# The desktop's font, cut down to the letters and signs the device and the page write (Western
# European, dashes, quotes, arrows): 25 KB a face instead of 740.
for face in DejaVuSans DejaVuSans-Bold; do
    pyftsubset "/usr/share/fonts/truetype/dejavu/$face.ttf" --flavor=woff2 --output-file="$site/fonts/$face.woff2" \
        --unicodes="U+0020-007E,U+00A0-017F,U+2010-2027,U+2030,U+20AC,U+2190-2193,U+2212,U+2264-2265" 2>/dev/null
done
cp -r "$native/web/artwork" "$site/"

# The page's modules and the sheets of the artwork its screen takes (scale 2 on a screen of more than
# one pixel a point) are asked for with the page itself, not one round of imports after the other; the
# sheets of the first picture first of all, those of the piston's travel frames after the modules.
sheet_preloads() { # FIRST|LATER: the preloads of those sheets at both scales
    (cd "$site" && node --input-type=module -e '
        import { readFileSync } from "node:fs";
        import { laterSheets } from "'"$web"'/page/artwork.js";
        const listing = JSON.parse(readFileSync("artwork/sprites.json", "utf8"));
        const later = laterSheets(listing), wantLater = process.argv[1] === "LATER";
        const format = listing.format === "webp" ? "webp" : "png";
        const media = { 1: "(max-resolution: 1dppx)", 2: "(min-resolution: 1.01dppx)" };
        for (const scale of [1, 2])
            listing.sheets.forEach((_, n) => later.includes(n) === wantLater && console.log(
                `<link rel="preload" href="artwork/${scale}/sheet${n}.${format}" as="fetch" crossorigin media="${media[scale]}">`));
    ' "$1")
}
preloads="$(
    cd "$site"
    for module in *.js; do
        if [ "$module" != vp7.js ]; then printf '<link rel="modulepreload" href="%s">\n' "$module"; fi
    done
)
$(sheet_preloads LATER)"
PRELOADS="$preloads" perl -0pi -e 's/<!-- preloads -->\n/$ENV{PRELOADS}\n/' "$site/index.html"
FIRST="$(sheet_preloads FIRST)" perl -0pi -e 's/<!-- first sheets -->\n/$ENV{FIRST}\n/' "$site/index.html"
# The artwork's listing in the page itself, as data: the sheets are asked for at once instead of after
# one more round trip, while the page's modules still take the main thread.
LISTING="$(node -e 'process.stdout.write(JSON.stringify(JSON.parse(require("fs").readFileSync(0, "utf8"))).replace(/</g, "\\u003c"))' \
    <"$site/artwork/sprites.json")" \
    perl -0pi -e 's/<!-- artwork listing -->\n/<script type="application\/json" id="artwork-listing">$ENV{LISTING}<\/script>\n/' \
    "$site/index.html"

# The shipped exercises and their list, which the page offers as the desktop's dialog does.
cp "$root"/exercises/*.vp7x "$site/exercises/"
(cd "$site/exercises" && printf '%s\n' *.vp7x | node -e '
    const names = require("fs").readFileSync(0, "utf8").split("\n").filter(Boolean);
    process.stdout.write(JSON.stringify(names) + "\n");' >index.json)
