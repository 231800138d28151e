// SPDX-License-Identifier: GPL-3.0-or-later
// The runner's WebAssembly build under Node, many runs in one process: each run a fresh instance with
// the machine's files under /host, its output taken instead of printed.
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

import { makePacking } from '../bridge/packing.mjs';

export const kHost = '/host';

// A function that runs the runner at `runnerPath` with some arguments (paths as the machine names
// them, put under /host by the caller) and resolves to {status, out, err}.
export async function loadRunner(runnerPath, zstdDir) {
    const createRunner = createRequire(import.meta.url)(resolve(runnerPath));
    const { Module: zstd } = await import(pathToFileURL(join(resolve(zstdDir), 'zstd.js')).href);
    await new Promise((done) => {
        zstd.onRuntimeInitialized = done;
        zstd.init(readFileSync(join(zstdDir, 'zstd.wasm')));
    });
    const packing = makePacking(zstd);
    // Each instance listens on the process for its own uncaught errors; many run here, one by one.
    process.setMaxListeners(0);
    return (args) => {
        const out = [];
        const err = [];
        return new Promise((finish) => {
            const ended = (status) => finish({ status, out: out.join(''), err: err.join('') });
            createRunner({
                arguments: args,
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
                // The runner ends with exit(); Node itself must go on to the next run.
                quit: (status, toThrow) => {
                    ended(status);
                    throw toThrow;
                },
            }).catch(() => {});
        });
    };
}

// The first line where two outputs part, for a report.
export function firstDifference(got, expected) {
    const a = got.split('\n');
    const b = expected.split('\n');
    for (let i = 0; i < Math.max(a.length, b.length); ++i)
        if (a[i] !== b[i]) return `line ${i + 1}:\n  got      ${a[i] ?? '(end)'}\n  expected ${b[i] ?? '(end)'}`;
    return '';
}
