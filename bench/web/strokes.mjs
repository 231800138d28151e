// SPDX-License-Identifier: GPL-3.0-or-later
// node bench/web/strokes.mjs --write HOURS FILE: writes the stroke script (strokeScript) to FILE.
// node bench/web/strokes.mjs [--runs N] SCRIPT [--native LABEL PROGRAM] [--node LABEL RUNNER_JS ZSTD_DIR]
//     [--site SITE_DIR --page LABEL MODULE_DIR]...: runs the runner's SCRIPT N times (5) in each way given,
// the runs of all ways interleaved so a busy moment weighs on each alike: the native runner as a
// process, the WebAssembly runner in this Node process (a fresh instance a run), and the page's module
// (vp7.js in MODULE_DIR) in one headless Chromium on a bare page served with the site. Prints a line a
// way: "LABEL MEDIAN_MS SIMULATED_SECONDS_A_SECOND". Give one --node a run: a second runner of another
// build in the same Node process never ends its run.
import { spawnSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { writeFileSync } from 'node:fs';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

import { median, openBenchBrowser } from './browser.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const PAGE_LIMIT_MS = 600000;

// The stroke script: `hours` of full strokes on the virtual clock, the setpoint typed and entered,
// 0 -> 100 % and back every 5 s (each stroke takes 2 s).
export function strokeScript(hours) {
    const halfStrokes = (hours * 3600 * 1000) / 2500;
    const lines = ['# Full strokes, 0 -> 100 % and back every 5 s.', 'start'];
    for (let i = 0; i < halfStrokes; ++i) lines.push(`set SetPointText ${i % 2 ? 0 : 100}`, 'click Enter', 'wait 2500');
    return lines.join('\n') + '\n';
}

export function parseArguments(args) {
    const options = { runs: 5, script: null, site: null, ways: [] };
    for (let i = 0; i < args.length; ++i) {
        const take = (count) => args.slice(i + 1, (i += count) + 1);
        if (args[i] === '--runs') options.runs = Number(take(1)[0]);
        else if (args[i] === '--site') options.site = path.resolve(take(1)[0]);
        else if (args[i] === '--native') options.ways.push({ kind: 'native', ...labelled(take(2), ['program']) });
        else if (args[i] === '--node') options.ways.push({ kind: 'node', ...labelled(take(3), ['runner', 'zstd']) });
        else if (args[i] === '--page') options.ways.push({ kind: 'page', ...labelled(take(2), ['module']) });
        else if (options.script === null) options.script = path.resolve(args[i]);
        else return null;
    }
    const pages = options.ways.some((way) => way.kind === 'page');
    const complete = options.ways.every((way) => Object.values(way).every((v) => v !== undefined));
    if (!options.script || !options.ways.length || !complete || !(options.runs > 0) || (pages && !options.site))
        return null;
    return options;
}

function labelled([label, ...paths], names) {
    return Object.fromEntries([['label', label], ...names.map((name, i) => [name, paths[i] && path.resolve(paths[i])])]);
}

// The simulated time a script passes: the sum of its waits.
export function simulatedMs(script) {
    return script.split('\n').reduce((sum, line) => sum + (Number(/^wait\s+(\d+)/.exec(line.trim())?.[1]) || 0), 0);
}

async function nativeRun(way, script) {
    const begin = performance.now();
    const result = spawnSync(way.program, [script], { stdio: ['ignore', 'ignore', 'pipe'] });
    const ms = performance.now() - begin;
    if (result.status !== 0) throw new Error(`${way.label}: status ${result.status} ${result.stderr}`);
    return ms;
}

async function nodeRun(way, script) {
    const { kHost, loadRunner } = await import('../../web/tests/wasm-runner.mjs');
    way.run ??= await loadRunner(way.runner, way.zstd);
    // This emscripten's JavaScript fetches its WebAssembly when Node has fetch, which reads no file;
    // playwright needs Node's fetch to load, so it is hidden only while the runner runs.
    const fetch = globalThis.fetch;
    globalThis.fetch = undefined;
    const begin = performance.now();
    const result = await way.run([kHost + script]).finally(() => (globalThis.fetch = fetch));
    const ms = performance.now() - begin;
    if (result.status !== 0) throw new Error(`${way.label}: status ${result.status} ${result.err}`);
    return ms;
}

// The bench page under bench/ and each way's module under its label, with the site's zstd beside it.
function benchFiles(options) {
    const files = { 'bench/strokes.vp7s': options.script };
    for (const file of ['strokes.html', 'strokes-page.js']) files[`bench/${file}`] = path.join(here, file);
    for (const way of options.ways.filter((w) => w.kind === 'page')) {
        for (const file of ['vp7.js', 'vp7.wasm']) files[`${way.label}/${file}`] = path.join(way.module, file);
        for (const file of ['packing.mjs', 'zstd']) files[`${way.label}/${file}`] = path.join(options.site, file);
    }
    return files;
}

async function pageRun(way, _script, browser) {
    const page = await browser.page();
    await page.goto(`${browser.origin}/bench/strokes.html?module=${encodeURIComponent(way.label)}`);
    await page.waitForFunction(() => document.getElementById('figure').textContent !== '', null,
        { timeout: PAGE_LIMIT_MS });
    const figure = JSON.parse(await page.textContent('#figure'));
    if (figure.error) throw new Error(`${way.label}: ${figure.error}`);
    return figure.ms;
}

// A fresh page a run: nothing of the last run's module lingers in its memory.
async function openBrowser(options) {
    const opened = await openBenchBrowser(options.site, benchFiles(options));
    let current = null;
    return {
        origin: opened.origin,
        async page() {
            await current?.close();
            current = await opened.browser.newPage();
            return current;
        },
        close: () => opened.close(),
    };
}

async function main() {
    if (process.argv[2] === '--write') {
        writeFileSync(process.argv[4], strokeScript(Number(process.argv[3])));
        return;
    }
    const options = parseArguments(process.argv.slice(2));
    if (!options) {
        console.error('usage: node strokes.mjs [--runs N] SCRIPT [--native LABEL PROGRAM] ' +
            '[--node LABEL RUNNER_JS ZSTD_DIR] [--site SITE_DIR --page LABEL MODULE_DIR]...');
        process.exit(2);
    }
    const simulatedSeconds = simulatedMs(readFileSync(options.script, 'utf8')) / 1000;
    const browser = options.ways.some((way) => way.kind === 'page') ? await openBrowser(options) : null;
    const runs = { native: nativeRun, node: nodeRun, page: pageRun };
    const times = new Map(options.ways.map((way) => [way, []]));
    try {
        for (let i = 0; i < options.runs; ++i)
            for (const way of options.ways) times.get(way).push(await runs[way.kind](way, options.script, browser));
    } finally {
        await browser?.close();
    }
    for (const [way, ms] of times) {
        const ofRuns = median(ms);
        console.log(`${way.label} ${ofRuns.toFixed(1)} ${Math.round(simulatedSeconds / (ofRuns / 1000))}`);
    }
}

// Run as a program; imported, it only lends its rules to the tests.
if (import.meta.url === pathToFileURL(process.argv[1]).href) await main();
