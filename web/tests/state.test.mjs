// SPDX-License-Identifier: GPL-3.0-or-later
// The session's menu in a real Chromium, as a trainee uses it: a state saved by the desktop's runner
// loads into the page and one saved in the page loads on the desktop, the device goes back to a moment
// of the session, the session saved as a recording plays on the desktop and in the page alike, and a
// hostile upload is refused with a message while the device goes on untouched.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

import { chooseMenu, openDevice, printed, run, waitForPrinted } from './page.test.mjs';

export const needsSite = true;

const here = path.dirname(fileURLToPath(import.meta.url));
export const HEADLESS = process.env.VP7_HEADLESS ??
    path.resolve(here, '..', '..', 'build', 'headless', 'vp7-headless');
const MENU = 'pageSession';

// Runs a script in the desktop's runner, in a folder of its own; what it printed, and the folder.
export function runDesktop(script, files = {}) {
    const folder = mkdtempSync(path.join(tmpdir(), 'vp7-session-'));
    try {
        for (const [name, data] of Object.entries(files)) writeFileSync(path.join(folder, name), data);
        writeFileSync(path.join(folder, 'script.vp7s'), script.replaceAll('DIR', folder));
        const out = execFileSync(HEADLESS, [path.join(folder, 'script.vp7s')], { encoding: 'utf8', cwd: folder });
        const written = Object.fromEntries(['out.vp7state', 'out.csv']
            .filter((name) => existsSync(path.join(folder, name)))
            .map((name) => [name, readFileSync(path.join(folder, name))]));
        return { out, written };
    } finally {
        rmSync(folder, { recursive: true, force: true });
    }
}

export function needHeadless() {
    assert.ok(existsSync(HEADLESS), `no desktop runner at ${HEADLESS}: build vp7-headless (or set VP7_HEADLESS)`);
}

// The device moved to 40 % and settled there.
const SETTLED_AT_40 = `start
wait 3000
set SetPointText 40
click Enter
wait 9000
`;

export async function chooseSession(page, item) {
    await chooseMenu(page, MENU, `${MENU}.${item}`);
}

export async function upload(page, item, name, data) {
    const chooser = page.waitForEvent('filechooser');
    await chooseSession(page, item);
    await (await chooser).setFiles({ name, mimeType: 'application/octet-stream', buffer: Buffer.from(data) });
}

export async function download(page, act) {
    const saved = page.waitForEvent('download');
    await act();
    return readFileSync(await (await saved).path());
}

function device(page) {
    return page.evaluate(() => window.vp7.page.engine.trend(Number.MAX_SAFE_INTEGER, Number.MAX_SAFE_INTEGER));
}

export async function moveTo40(page) {
    assert.ok((await run(page, 'set SetPointText 40')).ok);
    assert.ok((await run(page, 'click Enter')).ok);
    return waitForPrinted(page, 'Istwert', /^Istwert (39\.[5-9]|40\.[0-4])/);
}

async function errorShown(page) {
    const box = page.locator('.overlay .message-error');
    await box.waitFor({ timeout: 20000 });
    const text = await box.locator('.message-text').textContent();
    await box.locator('button').click();
    return text;
}

export const tests = [
    {
        name: 'a state saved on the desktop loads into the page with its display, and the page\'s on the desktop',
        async run(h) {
            needHeadless();
            const desktop = runDesktop(`${SETTLED_AT_40}savestate DIR/out.vp7state\nprint lcd\nprint Sollwert\n`);
            const { page } = await openDevice(h);
            await upload(page, 'loadState', 'desk.vp7state', desktop.written['out.vp7state']);
            await waitForPrinted(page, 'Sollwert', /^Sollwert 40/); // the file is read after the upload
            const shown = [await printed(page, 'lcd'), await printed(page, 'Sollwert')];
            assert.deepEqual(shown, desktop.out.trim().split('\n'));

            const saved = await download(page, () => chooseSession(page, 'saveState'));
            const lcd = await printed(page, 'lcd');
            const back = runDesktop('state DIR/page.vp7state\nprint lcd\nprint Sollwert\n', { 'page.vp7state': saved });
            assert.deepEqual(back.out.trim().split('\n'), [lcd, 'Sollwert 40.0000']);
        },
    },
    {
        name: 'a damaged or foreign upload is refused with the library\'s reason and the device goes on untouched',
        timeout: 120000,
        async run(h) {
            needHeadless();
            const state = runDesktop(`${SETTLED_AT_40}savestate DIR/out.vp7state\n`).written['out.vp7state'];
            const damaged = Buffer.from(state);
            damaged[Math.floor(damaged.length / 2)] ^= 0x5a;
            const million = `# vp7sim 1, recorded 2026\nscreen 1400 1000 24\nstart\n${'wait 100\n'.repeat(1000000)}`;
            const cases = [
                // [menu item, file, its bytes, what the reason says]
                ['loadState', 'damaged.vp7state', damaged, /damaged or incomplete/],
                ['loadState', 'cut.vp7state', state.subarray(0, state.length >> 1), /damaged or incomplete/],
                ['loadState', 'empty.vp7state', '', /no saved state/],
                ['loadState', 'config.vp7state', 'VP7 configuration\r\n', /no saved state/],
                ['playRecording', 'million.vp7s', million, /error 864004: longer than 24 hours/],
                ['playRecording', 'bad.vp7s', 'start\npress nothing\n', /error 2: /],
            ];
            const { page } = await openDevice(h);
            await moveTo40(page);
            for (const [item, name, data, reason] of cases) {
                const before = await device(page);
                await upload(page, item, name, data);
                assert.match(await errorShown(page), reason, name);
                const after = await device(page);
                assert.equal(after.device, before.device, `${name}: the device was replaced`);
                assert.ok(after.sessionMs >= before.sessionMs, `${name}: the session went back`);
                assert.equal(await printed(page, 'Sollwert'), 'Sollwert 40.0000', name);
                assert.deepEqual(await page.evaluate(() => document.body.classList.contains('playing')), false);
            }
        },
    },
    {
        name: 'rewinding goes back to the moment chosen on the dialog\'s time line',
        async run(h) {
            const { page } = await openDevice(h);
            const start = await printed(page, 'Istwert');
            // The device's clock moves on its timers: some time at rest before the setpoint, whatever they did.
            assert.ok((await run(page, 'wait 500')).ok);
            await moveTo40(page);
            await chooseSession(page, 'rewind');
            const marks = page.locator('.rewind-mark');
            assert.ok((await marks.count()) > 0, 'the setpoint entered has a mark');
            // Just before the first mark: the setpoint was not yet entered.
            const title = await marks.first().getAttribute('title');
            await page.locator('.rewind-slider').evaluate((slider) => {
                slider.value = 0;
                slider.dispatchEvent(new Event('input'));
            });
            assert.match(await page.locator('.rewind-chosen').textContent(), /0:00\.0/);
            await page.locator('.rewind-dialog button[data-default]').click();
            assert.equal(await printed(page, 'Istwert'), start, title);
            assert.notEqual(await printed(page, 'Sollwert'), 'Sollwert 40.0000');
        },
    },
    {
        name: 'the session saved as a recording plays on the desktop and in the page to the same place',
        timeout: 120000,
        async run(h) {
            needHeadless();
            const { page } = await openDevice(h);
            await moveTo40(page);
            const recording = String(await download(page, () => chooseSession(page, 'saveRecording')));
            const lines = recording.split('\n');
            assert.match(lines[0], /^# vp7sim /);
            const firstSetting = lines.findIndex((l) => l.startsWith('ini '));
            assert.ok(firstSetting > 0 && firstSetting < lines.indexOf('start'), 'settings before the start');

            const played = runDesktop(`${recording}print Sollwert\nprint lcd\n`).out.trim().split('\n');
            assert.equal(played[0], 'Sollwert 40.0000');

            await upload(page, 'playRecording', 'session.vp7s', recording);
            await page.locator('.player-bar').waitFor();
            await page.locator('.player-speed').selectOption('4');
            // Paused, the played time stands.
            await page.locator('.player-pause').click();
            const paused = await page.locator('.player-time').textContent();
            await page.waitForTimeout(600);
            assert.equal(await page.locator('.player-time').textContent(), paused);
            await page.locator('.player-pause').click();
            await page.locator('.player-bar.ended').waitFor({ timeout: 60000 });
            assert.deepEqual([await printed(page, 'Sollwert'), await printed(page, 'lcd')], played);
        },
    },
    {
        name: 'a recording written as the desktop writes one plays in the page as on the desktop',
        timeout: 120000,
        async run(h) {
            needHeadless();
            // Its own seed and settings, friction drawing from the seed, an option set while it runs.
            const recording = `# vp7sim 0.1, recorded 2026-12-01T10:00:00
screen 1280 1024 24
seed 77
ini Config Sprache English
start
wait 1500
set FrictionSelect 1
wait 400
set SetPointText 25
click Enter
wait 6000
`;
            const played = runDesktop(`${recording}print Istwert\nprint lcd\n`).out.trim().split('\n');
            const { page } = await openDevice(h);
            await upload(page, 'playRecording', 'desk.vp7s', recording);
            await page.locator('.player-bar.ended').waitFor({ timeout: 30000 });
            assert.deepEqual([await printed(page, 'Istwert'), await printed(page, 'lcd')], played);
            assert.equal(await page.locator('.menu[data-name="Datei1"] > .menu-title').textContent(), 'File');
        },
    },
];
