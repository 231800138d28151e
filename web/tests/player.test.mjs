// SPDX-License-Identifier: GPL-3.0-or-later
// A recording played in the page leaves the user's settings alone.
import assert from 'node:assert/strict';

import { chooseMenu, openDevice, printed, run } from './page.test.mjs';
import { upload } from './state.test.mjs';

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
];
