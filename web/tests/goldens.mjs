// SPDX-License-Identifier: GPL-3.0-or-later
// node goldens.mjs RUNNER ZSTD_DIR FOLDER...: runs every script (*.vp7s) in the FOLDERs through the
// runner's WebAssembly build, in this one Node process, and compares what it prints with the script's
// .out, line for line, as the native runner's tests do. Exits 1 when any differs.
import { readFileSync, readdirSync } from 'node:fs';
import { createRequire } from 'node:module';
import { basename, join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

import { makePacking } from '../bridge/packing.mjs';

const [runnerPath, zstdDir, ...folders] = process.argv.slice(2);
if (!runnerPath || !zstdDir || folders.length === 0) {
    console.error('usage: node goldens.mjs RUNNER ZSTD_DIR FOLDER...');
    process.exit(2);
}

const createRunner = createRequire(import.meta.url)(resolve(runnerPath));
const { Module: zstd } = await import(pathToFileURL(join(resolve(zstdDir), 'zstd.js')).href);
await new Promise((done) => {
    zstd.onRuntimeInitialized = done;
    zstd.init(readFileSync(join(zstdDir, 'zstd.wasm')));
});
const packing = makePacking(zstd);
// Each runner instance listens on the process for its own uncaught errors; many run here, one by one.
process.setMaxListeners(0);

const kHost = '/host';

// One run of the runner on `script`: its exit status and what it printed on each stream.
function run(script) {
    const out = [];
    const err = [];
    return new Promise((finish) => {
        const ended = (status) => finish({ status, out: out.join(''), err: err.join('') });
        createRunner({
            // The machine's files under /host; the runner's own temporary folders stay in memory.
            arguments: [kHost + resolve(script)],
            preRun: [
                (runner) => {
                    runner.FS.mkdir(kHost);
                    runner.FS.mount(runner.FS.filesystems.NODEFS, { root: '/' }, kHost);
                },
            ],
            print: (line) => out.push(line + '\n'),
            printErr: (line) => err.push(line + '\n'),
            vp7Packing: packing,
            onExit: ended,
            // The runner ends with exit(); Node itself must go on to the next script.
            quit: (status, toThrow) => {
                ended(status);
                throw toThrow;
            },
        }).catch(() => {});
    });
}

// The first line where two outputs part, for the report.
function firstDifference(got, expected) {
    const a = got.split('\n');
    const b = expected.split('\n');
    for (let i = 0; i < Math.max(a.length, b.length); ++i)
        if (a[i] !== b[i]) return `line ${i + 1}:\n  got      ${a[i] ?? '(end)'}\n  expected ${b[i] ?? '(end)'}`;
    return '';
}

let failed = 0;
let passed = 0;
for (const folder of folders) {
    for (const name of readdirSync(folder).filter((f) => f.endsWith('.vp7s')).sort()) {
        const script = join(folder, name);
        const expected = readFileSync(script.replace(/\.vp7s$/, '.out'), 'utf8');
        const result = await run(script);
        const label = `${basename(folder)}/${name}`;
        if (result.status === 0 && result.out === expected) {
            ++passed;
            continue;
        }
        ++failed;
        console.log(`FAIL ${label} (status ${result.status})`);
        if (result.err) console.log(result.err.trimEnd());
        console.log(firstDifference(result.out, expected));
    }
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
