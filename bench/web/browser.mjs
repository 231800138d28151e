// SPDX-License-Identifier: GPL-3.0-or-later
// One headless Chromium on a copy of the site served on the loopback, with bench files added to the
// copy, for the browser's benchmarks.
import { cpSync, mkdtempSync, rmSync } from 'node:fs';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..', '..');
const CHROMIUM = process.env.VP7_CHROMIUM ?? '/usr/bin/chromium';
const CHROMIUM_ARGS = [
    '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
];

// The system's Chromium, headless, for a bench that serves its pages itself.
export function launchBenchChromium() {
    const { chromium } = createRequire(path.join(root, 'web', 'package.json'))('playwright-core');
    return chromium.launch({ executablePath: CHROMIUM, args: CHROMIUM_ARGS, headless: true });
}

// `added` maps a path in the copy to a file or folder of the machine. Resolves to {browser, origin, close()}.
export async function openBenchBrowser(site, added) {
    const { startServer } = await import('../../web/serve.mjs');
    const dir = mkdtempSync(path.join(os.tmpdir(), 'vp7-bench-site-'));
    cpSync(site, dir, { recursive: true });
    for (const [to, from] of Object.entries(added)) cpSync(from, path.join(dir, to), { recursive: true });
    const server = await startServer(dir, 0);
    const browser = await launchBenchChromium();
    return {
        browser,
        origin: `http://127.0.0.1:${server.address().port}`,
        async close() {
            await browser.close();
            server.close();
            rmSync(dir, { recursive: true, force: true });
        },
    };
}

export function median(values) {
    const sorted = [...values].sort((a, b) => a - b);
    return sorted[Math.floor((sorted.length - 1) / 2)];
}
