// SPDX-License-Identifier: GPL-3.0-or-later
// node bench/web/page.mjs [--runs N] [--idle SECONDS] SITE_DIR: the page's figures in one headless
// Chromium, the site served on the loopback, each beside a bare page's: navigation to the first
// picture on the canvas (bare: its first paint), N times in fresh storage; a device key tapped, its release
// to the frame that shows its changed pixels, N times; and the renderer's CPU while the page sits idle for
// SECONDS (30) after its start (bare: the same). Prints "figure VALUE BARE" lines in ms.
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

import { median, openBenchBrowser } from './browser.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const WAIT_LIMIT_MS = 30000;
const SETTLE_MS = 2000; // after a start or a close, before the idle CPU is taken
const KEY_GAP_MS = 400; // between one tap's pixels and the next tap
const VIEWPORT = { width: 1400, height: 1000 };

function parseArguments(args) {
    const options = { runs: 5, idleSeconds: 30, site: null };
    for (let i = 0; i < args.length; ++i) {
        if (args[i] === '--runs') options.runs = Number(args[++i]);
        else if (args[i] === '--idle') options.idleSeconds = Number(args[++i]);
        else if (options.site === null) options.site = path.resolve(args[i]);
        else return null;
    }
    return options.site && options.runs > 0 && options.idleSeconds > 0 ? options : null;
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// A page in storage of its own, the canvas watched from before the page's scripts run.
async function visit(opened, url) {
    const context = await opened.browser.newContext({ viewport: VIEWPORT });
    const page = await context.newPage();
    await page.addInitScript({ content: readFileSync(path.join(here, 'watch-canvas.js'), 'utf8') });
    await page.goto(url);
    return { context, page };
}

async function firstPicture(opened) {
    const { context, page } = await visit(opened, `${opened.origin}/`);
    await page.waitForFunction(() => window.vp7Bench.pictures.length > 0, null, { timeout: WAIT_LIMIT_MS });
    const shown = await page.evaluate(() => window.vp7Bench.pictures[0].shown);
    await context.close();
    return shown;
}

async function bareFirstPaint(opened) {
    const { context, page } = await visit(opened, `${opened.origin}/bench/bare.html`);
    await page.waitForFunction(() => performance.getEntriesByName('first-paint').length > 0, null,
        { timeout: WAIT_LIMIT_MS });
    const paint = await page.evaluate(() => performance.getEntriesByName('first-paint')[0].startTime);
    await context.close();
    return paint;
}

// The device started, the start's questions and splash answered as a user would.
async function readyDevice(opened) {
    const visited = await visit(opened, `${opened.origin}/`);
    const { page } = visited;
    await page.waitForFunction(() => document.body.classList.contains('ready'), null, { timeout: WAIT_LIMIT_MS });
    for (let i = 0; i < 3 && (await page.locator('.overlay').count()) > 0; ++i)
        await page.locator('.overlay button').first().click();
    if (await page.locator('.splash').isVisible()) await page.locator('.splash').click();
    await page.locator('.splash').waitFor({ state: 'hidden' });
    return visited;
}

// The mode key tapped on the keyboard (its short press acts when it comes up, as a held one enters the
// configuration): from the key's release to the frame that paints the picture's change, in ms.
async function keyToPixels(page) {
    const before = await page.evaluate(() => window.vp7Bench.pictures.length);
    await page.keyboard.press('m');
    await page.waitForFunction((count) => window.vp7Bench.pictures.length > count, before, { timeout: WAIT_LIMIT_MS });
    const latency = await page.evaluate(() => {
        const key = window.vp7Bench.keys.at(-1);
        return window.vp7Bench.pictures.find((picture) => picture.drawn >= key).shown - key;
    });
    await sleep(KEY_GAP_MS);
    return latency;
}

// The CPU the renderers took over `seconds`, in ms.
async function rendererCpuMs(opened, seconds) {
    const cdp = await opened.browser.newBrowserCDPSession();
    const cpu = async () => {
        const { processInfo } = await cdp.send('SystemInfo.getProcessInfo');
        return new Map(processInfo.filter((p) => p.type === 'renderer').map((p) => [p.id, p.cpuTime]));
    };
    const before = await cpu();
    await sleep(seconds * 1000);
    const after = await cpu();
    await cdp.detach();
    // A renderer that came or went meanwhile (a spare one Chromium keeps) is no page's idling.
    let cpuSeconds = 0;
    for (const [id, time] of after) if (before.has(id)) cpuSeconds += time - before.get(id);
    return cpuSeconds * 1000;
}

async function idleCpuMs(opened, url, seconds) {
    const { context } = url ? await visit(opened, url) : await readyDevice(opened);
    await sleep(SETTLE_MS);
    const ms = await rendererCpuMs(opened, seconds);
    await context.close();
    await sleep(SETTLE_MS);
    return ms;
}

const options = parseArguments(process.argv.slice(2));
if (!options) {
    console.error('usage: node page.mjs [--runs N] [--idle SECONDS] SITE_DIR');
    process.exit(2);
}
const opened = await openBenchBrowser(options.site, { 'bench/bare.html': path.join(here, 'bare.html') });
try {
    const pictures = [];
    const paints = [];
    for (let i = 0; i < options.runs; ++i) { // interleaved, so a busy moment weighs on both alike
        pictures.push(await firstPicture(opened));
        paints.push(await bareFirstPaint(opened));
    }
    console.log(`first-picture ${median(pictures).toFixed(1)} ${median(paints).toFixed(1)}`);

    const { context, page } = await readyDevice(opened);
    const latencies = [];
    for (let i = 0; i < options.runs; ++i) latencies.push(await keyToPixels(page));
    await context.close();
    console.log(`key-to-pixels ${median(latencies).toFixed(1)} ${Math.max(...latencies).toFixed(1)}`);

    const bare = await idleCpuMs(opened, `${opened.origin}/bench/bare.html`, options.idleSeconds);
    const device = await idleCpuMs(opened, null, options.idleSeconds);
    console.log(`idle-cpu ${device.toFixed(1)} ${bare.toFixed(1)} ${options.idleSeconds}`);
} finally {
    await opened.close();
}
