// SPDX-License-Identifier: GPL-3.0-or-later
// node web/tests/run.mjs [--site DIR] [PATTERN]: runs every *.test.mjs here in one process, in order,
// against one headless Chromium (the system's, never a downloaded one) with a fresh profile and the
// page's own server on a free port. Each test has its own time limit; a line a test, and the exit
// status says whether all passed. PATTERN keeps the tests whose file or name holds it.
import { mkdtemp, readdir, rm } from 'node:fs/promises';
import { existsSync } from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';
import { startServer } from '../serve.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const root = path.resolve(here, '..', '..');
const CHROMIUM = process.env.VP7_CHROMIUM ?? '/usr/bin/chromium';
const CHROMIUM_ARGS = [
    '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync',
];
const TEST_TIMEOUT_MS = 60000;

function parseArguments(args) {
    let site = process.env.VP7_SITE ?? path.join(root, 'build-web', 'site');
    let pattern = '';
    for (let i = 0; i < args.length; ++i) {
        if (args[i] === '--site') site = path.resolve(args[++i]);
        else pattern = args[i];
    }
    return { site, pattern };
}

function withTimeout(promise, ms, name) {
    let timer;
    const limit = new Promise((_, reject) => {
        timer = setTimeout(() => reject(new Error(`${name} took longer than ${ms} ms`)), ms);
    });
    return Promise.race([promise, limit]).finally(() => clearTimeout(timer));
}

// What a test gets: the site's address, a way to open pages in the shared browser (closed after the
// test), and the site's folder.
class Harness {
    constructor(context, origin, site) {
        this.context = context;
        this.origin = origin;
        this.site = site;
        this.pages = [];
    }

    async open(options = {}) {
        const page = await this.context.newPage();
        this.pages.push(page);
        if (options.viewport) await page.setViewportSize(options.viewport);
        return page;
    }

    // What the pages of a failed test showed, for whoever looks into it.
    async keepScreens(number) {
        for (const [i, page] of this.pages.entries()) {
            const file = path.join(os.tmpdir(), `vp7-page-test-${number}-${i}.png`);
            if (await page.screenshot({ path: file }).then(() => true, () => false)) console.log(`     screen: ${file}`);
        }
    }

    async closePages() {
        await Promise.all(this.pages.map((p) => p.close().catch(() => {})));
        this.pages = [];
    }
}

async function main() {
    const { site, pattern } = parseArguments(process.argv.slice(2));
    const files = (await readdir(here)).filter((f) => f.endsWith('.test.mjs')).sort();
    const suites = [];
    for (const file of files) {
        const { tests, needsSite } = await import(pathToFileURL(path.join(here, file)).href);
        suites.push({ file, tests: tests.filter((t) => file.includes(pattern) || t.name.includes(pattern)), needsSite });
    }
    const browserWanted = suites.some((s) => s.needsSite && s.tests.length > 0);
    if (browserWanted && !existsSync(path.join(site, 'index.html'))) {
        console.error(`no page in ${site}: build it first (scripts/build.sh web) or give --site DIR`);
        process.exit(77); // skipped: the suite of a build without the browser's beside it
    }
    let server = null;
    let context = null;
    let profile = null;
    if (browserWanted) {
        server = await startServer(site, 0);
        profile = await mkdtemp(path.join(os.tmpdir(), 'vp7-chromium-'));
        context = await chromium.launchPersistentContext(profile, {
            executablePath: CHROMIUM,
            args: CHROMIUM_ARGS,
            headless: true,
            viewport: { width: 1400, height: 1000 },
        });
    }
    const origin = server ? `http://127.0.0.1:${server.address().port}` : null;
    let failed = 0;
    let passed = 0;
    for (const suite of suites) {
        for (const test of suite.tests) {
            const harness = new Harness(context, origin, site);
            const started = Date.now();
            try {
                await withTimeout(test.run(harness), test.timeout ?? TEST_TIMEOUT_MS, test.name);
                passed += 1;
                console.log(`ok   ${suite.file}: ${test.name} (${Date.now() - started} ms)`);
            } catch (error) {
                failed += 1;
                console.log(`FAIL ${suite.file}: ${test.name}: ${error.message}`);
                await harness.keepScreens(failed);
            } finally {
                await harness.closePages();
            }
        }
    }
    await context?.close();
    server?.close();
    if (profile) await rm(profile, { recursive: true, force: true });
    console.log(`${passed} passed, ${failed} failed`);
    process.exit(failed > 0 ? 1 : 0);
}

await main();
