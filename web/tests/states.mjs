// SPDX-License-Identifier: GPL-3.0-or-later
// node states.mjs NATIVE_RUNNER WASM_RUNNER ZSTD_DIR: a state saved by either build loads in the other
// and goes on exactly as it goes on where it was saved: the browser's states and the desktop's are one
// format. Exits 1 on a difference, 77 (skipped) without the browser's build.
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

import { firstDifference, kHost, loadRunner } from './wasm-runner.mjs';

const [nativePath, wasmPath, zstdDir] = process.argv.slice(2);
if (!nativePath || !wasmPath || !zstdDir) {
    console.error('usage: node states.mjs NATIVE_RUNNER WASM_RUNNER ZSTD_DIR');
    process.exit(2);
}
if (!existsSync(wasmPath) || !existsSync(zstdDir)) {
    console.log(`no browser build at ${wasmPath} (scripts/build.sh web makes it)`);
    process.exit(77);
}

const scratch = mkdtempSync(join(tmpdir(), 'vp7-states-'));
// A device somewhere in the middle of things: moving to a setpoint with friction, whose random stop
// offsets draw from the engine the state carries, and a key held when the state is taken.
const saving = (file) => `start
wait 3000
set SetPointText 40
click Enter
wait 2500
set FrictionSelect 1
set SetPointText 62.5
click Enter
wait 1200
press dec
wait 300
savestate ${file}
`;
const going = (file) => `state ${file}
print lcd
print Istwert
release dec
wait 3000
print Istwert
set SetPointText 20
click Enter
wait 4000
print Istwert
print lcd
press mode
wait 5500
release mode
print lcd
`;

const wasmRun = await loadRunner(wasmPath, zstdDir);
const runNative = (script) => execFileSync(nativePath, [script], { encoding: 'utf8' });
const runWasm = async (script) => {
    const result = await wasmRun([kHost + script]);
    if (result.status !== 0) throw new Error(`the browser's runner ended with ${result.status}: ${result.err}`);
    return result.out;
};

let failed = 0;
try {
    const write = (name, text) => {
        const path = join(scratch, name);
        writeFileSync(path, text);
        return path;
    };
    runNative(write('save-native.vp7s', saving(join(scratch, 'native.vp7state'))));
    await runWasm(write('save-wasm.vp7s', saving(kHost + join(scratch, 'wasm.vp7state'))));
    // Where each state goes on in its own build is what the other build must print.
    const loadNative = write('load-native.vp7s', going(join(scratch, 'native.vp7state')));
    const loadWasm = write('load-wasm.vp7s', going(join(scratch, 'wasm.vp7state')));
    const loadWasmInWasm = write('load-wasm-here.vp7s', going(kHost + join(scratch, 'wasm.vp7state')));
    const loadNativeInWasm = write('load-native-here.vp7s', going(kHost + join(scratch, 'native.vp7state')));
    const expected = runNative(loadNative);
    const rows = [
        ['the desktop state in the browser', await runWasm(loadNativeInWasm)],
        ['the browser state on the desktop', runNative(loadWasm)],
        ['the browser state in the browser', await runWasm(loadWasmInWasm)],
    ];
    for (const [label, got] of rows) {
        if (got === expected) continue;
        ++failed;
        console.log(`FAIL ${label}\n${firstDifference(got, expected)}`);
    }
    if (!failed) console.log(`${rows.length} passed: every state goes on alike\n${expected.trimEnd()}`);
} finally {
    rmSync(scratch, { recursive: true, force: true });
}
process.exit(failed ? 1 : 0);
