// SPDX-License-Identifier: GPL-3.0-or-later
// node goldens.mjs RUNNER ZSTD_DIR FOLDER...: runs every script (*.vp7s) in the FOLDERs through the
// runner's WebAssembly build, in this one Node process, and compares what it prints with the script's
// .out, line for line, as the native runner's tests do. Exits 1 when any differs, 77 (skipped) when
// the browser's build is not there.
import { existsSync, readFileSync, readdirSync } from 'node:fs';
import { basename, join, resolve } from 'node:path';

import { firstDifference, kHost, loadRunner } from './wasm-runner.mjs';

const [runnerPath, zstdDir, ...folders] = process.argv.slice(2);
if (!runnerPath || !zstdDir || folders.length === 0) {
    console.error('usage: node goldens.mjs RUNNER ZSTD_DIR FOLDER...');
    process.exit(2);
}
if (!existsSync(runnerPath) || !existsSync(zstdDir)) {
    console.log(`no browser build at ${runnerPath} (scripts/build.sh web makes it)`);
    process.exit(77);
}

const run = await loadRunner(runnerPath, zstdDir);
let failed = 0;
let passed = 0;
for (const folder of folders) {
    for (const name of readdirSync(folder).filter((f) => f.endsWith('.vp7s')).sort()) {
        const script = join(folder, name);
        const expected = readFileSync(script.replace(/\.vp7s$/, '.out'), 'utf8');
        const result = await run([kHost + resolve(script)]);
        if (result.status === 0 && result.out === expected) {
            ++passed;
            continue;
        }
        ++failed;
        console.log(`FAIL ${basename(folder)}/${name} (status ${result.status})`);
        if (result.err) console.log(result.err.trimEnd());
        console.log(firstDifference(result.out, expected));
    }
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
