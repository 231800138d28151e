// SPDX-License-Identifier: GPL-3.0-or-later
// A recording played in the page leaves the user's settings alone, and a session recorded from a moment
// on holds what happened from then to its stop, played to the same display on the desktop and in the
// page.
import assert from 'node:assert/strict';

import { chooseMenu, openDevice, printed, run } from './page.test.mjs';
import {
    chooseSession, download, moveTo40, needHeadless, runDesktop, upload,
} from './state.test.mjs';

export const needsSite = true;

const STORED = 'vp7.settings';
// Made on a German device with a setpoint of its own.
const GERMAN_RECORDING = `# vp7sim 0.1, recorded 2026-12-02T09:30:00
screen 1024 768 24
ini Config Sprache Deutsch
start
wait 1200
set SetPointText 25
click Enter
wait 2500
`;

function fileMenuCaption(page) {
    return page.locator('.menu[data-name="Datei1"] > .menu-title').textContent();
}

function stored(page) {
    return page.evaluate((key) => localStorage.getItem(key), STORED);
}

function userSettingsFile(page) {
    return page.evaluate(() => {
        const bytes = window.vp7.page.engine.readFile('/vp7/Config/VP7.ini');
        return bytes ? new TextDecoder('latin1').decode(bytes) : null;
    });
}

// A fresh start shows the splash (and may ask about the screen) as the page's first start does.
async function passStart(page) {
    for (let i = 0; i < 3 && (await page.locator('.overlay').count()) > 0; ++i)
        await page.locator('.overlay button').first().click();
    if (await page.locator('.splash').isVisible()) await page.locator('.splash').click();
    await page.locator('.splash').waitFor({ state: 'hidden' });
}

function itemEnabled(page, item) {
    return page.locator(`.menu-item[data-name="pageSession.${item}"]`).isEnabled();
}

export const tests = [
    {
        name: 'a recording made on other settings, stopped while it plays or at its end, leaves the user\'s settings and device',
        timeout: 120000,
        async run(h) {
            for (const stopWhen of ['playing', 'ended']) {
                const { page, problems } = await openDevice(h, { languages: ['de-DE'] });
                await chooseMenu(page, 'Extras1', 'Sprache1', 'English1');
                assert.equal(await fileMenuCaption(page), 'File', stopWhen);
                await upload(page, 'playRecording', 'german.vp7s', GERMAN_RECORDING);
                await page.locator('.player-bar').waitFor();
                const before = await stored(page);
                assert.match(before, /Sprache=English/, stopWhen);
                // The played device speaks the recording's language; the user's settings file stays.
                assert.equal(await fileMenuCaption(page), 'Datei', stopWhen);
                if (stopWhen === 'ended') {
                    await page.locator('.player-bar.ended').waitFor({ timeout: 30000 });
                    assert.match(await page.locator('.player-time').textContent(), /Ende$/);
                    assert.equal(await printed(page, 'Sollwert'), 'Sollwert 25.0000');
                }
                assert.match(await userSettingsFile(page), /Sprache=English/, stopWhen);
                // An action on the page meanwhile keeps nothing of the played device.
                await page.evaluate(() => window.vp7.page.act('set FrictionSelect 0'));
                assert.equal(await stored(page), before, stopWhen);

                await page.locator('.player-stop').click();
                await page.locator('.player-bar').waitFor({ state: 'detached' });
                await passStart(page);
                assert.equal(await fileMenuCaption(page), 'File', stopWhen);
                assert.equal(await stored(page), before, stopWhen);
                assert.notEqual(await printed(page, 'Sollwert'), 'Sollwert 25.0000', stopWhen);
                assert.ok((await run(page, 'wait 100')).ok, 'the user\'s device runs again');
                assert.deepEqual(problems, [], stopWhen);
                await page.close();
            }
        },
    },
    {
        name: 'a session recorded from a moment on plays to the display it stopped at, on the desktop and in the page',
        timeout: 180000,
        async run(h) {
            needHeadless();
            const { page, problems } = await openDevice(h);
            await moveTo40(page); // what came before the recording is not in it
            await chooseSession(page, 'startRecording');
            await passStart(page);
            await page.locator('.recording-mark').waitFor();
            await page.locator('.menu[data-name="pageSession"] > .menu-title').click();
            assert.deepEqual([await itemEnabled(page, 'startRecording'), await itemEnabled(page, 'stopRecording')],
                [false, true]);
            await page.locator('.menu[data-name="pageSession"] > .menu-title').click();

            await page.locator('#picture').focus();
            for (const key of ['m', '+', '+']) {
                await page.keyboard.press(key);
                await page.waitForTimeout(300);
            }
            const recording = String(await download(page, () => chooseSession(page, 'stopRecording')));
            const shown = await printed(page, 'lcd');
            assert.equal(await page.locator('.recording-mark').count(), 0);

            const lines = recording.split('\n');
            assert.match(lines[0], /^# vp7sim /);
            const start = lines.indexOf('start');
            assert.ok(start > 2 && lines.slice(2, start).every((l) => l.startsWith('ini ')),
                'the settings in force between the screen and the start');
            // How often a line stands in the recording: the keys pressed since it began, and nothing
            // from before.
            const rows = [
                [/^screen /, 1],
                [/^start$/, 1],
                [/^press mode$/, 1],
                [/^press inc$/, 2],
                [/SetPointText/, 0],
            ];
            for (const [pattern, count] of rows)
                assert.equal(lines.filter((l) => pattern.test(l)).length, count, String(pattern));

            const desktop = runDesktop(`${recording}print lcd\n`).out.trim();
            assert.equal(desktop, shown);
            const keysLeftOut = lines.filter((l) => !/^(press|release) /.test(l)).join('\n');
            assert.notEqual(runDesktop(`${keysLeftOut}print lcd\n`).out.trim(), shown, 'the keys changed the display');
            await upload(page, 'playRecording', 'recording.vp7s', recording);
            await page.locator('.player-speed').selectOption('4');
            await page.locator('.player-bar.ended').waitFor({ timeout: 60000 });
            assert.equal(await printed(page, 'lcd'), shown);
            assert.deepEqual(problems, []);
        },
    },
];
