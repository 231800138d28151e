// SPDX-License-Identifier: GPL-3.0-or-later
// An exercise in the page as a trainee works on it: chosen in the dialog, worked on the keys and
// controls, handed in, its report read and its recording replayed by the native runner to the same
// result; an upload the library refuses leaves the device as it was; the time limit hands in on the
// page's clock.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { copyFile, mkdtemp, readFile, rm, writeFile } from 'node:fs/promises';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

import { chooseMenu, openDevice, printed, run } from './page.test.mjs';

export const needsSite = true;

const here = path.dirname(fileURLToPath(import.meta.url));
const NATIVE_RUNNER = process.env.VP7_HEADLESS ?? path.resolve(here, '..', '..', 'build', 'headless', 'vp7-headless');
const HOLD_FOR_CONFIGURATION_MS = 5000;
const LARGEST_EXERCISE = 1 << 20;

// The exercise dialog opened from the menu.
async function openDialog(page) {
    await chooseMenu(page, 'Datei1', 'UebungOeffnen1');
    await page.locator('.exercise-choice').waitFor();
}

// The trainee's name given, and the new device's start (its screen check, its splash) passed.
async function giveName(page, name) {
    await page.locator('input[name="trainee"]').fill(name);
    await page.locator('.dialog button[name="ok"]').click();
    await page.locator('.exercise-panel').waitFor();
    for (let i = 0; i < 3 && (await page.locator('.overlay').count()) > 0; ++i)
        await page.locator('.overlay button').first().click();
    if (await page.locator('.splash').isVisible()) await page.locator('.splash').click();
}

async function upload(page, name, buffer) {
    await openDialog(page);
    const chooser = page.waitForEvent('filechooser');
    await page.locator('.dialog button[name="upload"]').click();
    await (await chooser).setFiles({ name, mimeType: 'text/plain', buffer });
}

// A page in English with the exercise `text` uploaded as `name` and started for `trainee`.
async function startUploaded(h, name, text, trainee) {
    const { page, problems } = await openDevice(h, { languages: ['en'] });
    await upload(page, name, Buffer.from(text));
    await giveName(page, trainee);
    return { page, problems };
}

function pass(page, ms) {
    return page.evaluate((m) => window.vp7.pass(m), ms);
}

// What the native runner prints for `script`, run in `folder`.
function runNatively(folder, script) {
    const file = path.join(folder, 'replay.vp7s');
    return writeFile(file, script).then(() => execFileSync(NATIVE_RUNNER, [file], { cwd: folder, encoding: 'utf8' }));
}

export const tests = [
    {
        name: 'the dialog offers every shipped exercise by its title in the page language',
        async run(h) {
            for (const [languages, title] of [[['de-DE'], 0], [['en-GB'], 1]]) {
                const { page } = await openDevice(h, { languages });
                await openDialog(page);
                const names = JSON.parse(await readFile(path.join(h.site, 'exercises', 'index.json'), 'utf8'));
                const expected = [];
                for (const name of names) {
                    const text = await readFile(path.join(h.site, 'exercises', name), 'utf8');
                    expected.push(/^title "([^"]*)" "([^"]*)"/m.exec(text)[1 + title]);
                }
                assert.deepEqual(await page.locator('.exercise-list button').allTextContents(), expected);
                await page.locator('.dialog button[name="cancel"]').click();
                assert.equal(await page.locator('.exercise-panel').count(), 0);
            }
        },
    },
    {
        name: 'a shipped exercise worked on and handed in: its report scores it, and its recording replays natively to the same result',
        async run(h) {
            const { page, problems } = await openDevice(h);
            const storedBefore = await page.evaluate(() => localStorage.getItem('vp7.settings'));
            const placeOf = (name) => page.locator(`[data-name="${name}"]`).evaluate((e) =>
                [Number(e.style.getPropertyValue('--y')), Number(e.style.getPropertyValue('--h'))]);
            const [, optionsHeight] = await placeOf('ZorizOptions');
            await openDialog(page);
            await page.locator('.exercise-list button[name="08-init-stops.vp7x"]').click();
            await giveName(page, 'Anna Berg');
            assert.equal(await page.locator('.exercise-title').textContent(), 'Warum bricht die Initialisierung ab?');
            // Hidden controls are not shown, locked ones greyed and refused to the trainee.
            for (const [control, visible, enabled] of [
                ['InitErrorSelect', false, null], ['TopEndError', false, null],
                ['BlockDownSelect', true, false], ['FrictionSelect', true, true],
            ]) {
                const shown = page.locator(`[data-name="${control}"]`);
                assert.equal(await shown.isVisible(), visible, control);
                if (enabled !== null) assert.equal(await shown.locator('input').isEnabled(), enabled, control);
            }
            assert.match((await run(page, 'set BlockDownSelect 1')).error, /cannot be used now/);
            // The four rows hidden leave no gap: the row below them moves up, the group shrinks.
            assert.equal((await placeOf('ExtendedFaultsSelect'))[0], 190);
            assert.equal((await placeOf('ZorizOptions'))[1], optionsHeight - (19 + 3 * 24));
            // The mode key held five seconds of the page's time enters the configuration.
            await page.locator('#picture').focus();
            await page.keyboard.down('m');
            await pass(page, HOLD_FOR_CONFIGURATION_MS);
            await page.keyboard.up('m');
            assert.match(await printed(page, 'Mode'), /Mode 2/);
            await page.locator('.exercise-question input[value="3"]').check();
            const download = page.waitForEvent('download');
            await page.locator('.exercise-panel button[name="hand-in"]').click();
            await page.locator('.exercise-result').waitFor();
            assert.equal(await page.locator('.exercise-score').textContent(), 'Ergebnis: 2 / 4');
            // The report as the trainee keeps it.
            await page.locator('.exercise-result button[name="save-report"]').click();
            const reportFile = await download;
            const report = await readFile(await reportFile.path(), 'utf8');
            assert.match(reportFile.suggestedFilename(), /^08-init-stops_Anna_Berg_\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d\.html$/);
            assert.match(report, /<b>Name<\/b><\/td><td>Anna Berg</);
            assert.match(report, /<b>Ergebnis<\/b><\/td><td>2 \/ 4</);
            const rows = [...report.matchAll(/<tr><td>([^<]*)<\/td><td><span[^>]*>[^ ]* ([^<]*)<\/span>/g)]
                .map((m) => [m[1], m[2]]);
            assert.deepEqual(rows.slice(0, 2), [['Konfiguration geöffnet', 'bestanden'],
                ['Initialisierung gestartet und nicht verlassen', 'nicht bestanden']]);
            const recordingDownload = page.waitForEvent('download');
            await page.locator('.exercise-result button[name="save-recording"]').click();
            const recordingFile = await recordingDownload;
            // Kept together with the exercise, the three check, and the recording replays to the score.
            const folder = await mkdtemp(path.join(os.tmpdir(), 'vp7-exercise-'));
            try {
                await copyFile(await recordingFile.path(), path.join(folder, recordingFile.suggestedFilename()));
                await copyFile(await reportFile.path(), path.join(folder, reportFile.suggestedFilename()));
                await copyFile(path.join(h.site, 'exercises', '08-init-stops.vp7x'), path.join(folder, '08-init-stops.vp7x'));
                const recording = await readFile(await recordingFile.path(), 'utf8');
                assert.match(recording, /^exercise 08-init-stops\.vp7x$/m);
                const replayed = await runNatively(folder, `${recording}handin\nverify ${reportFile.suggestedFilename()}\n`);
                assert.match(replayed, /^check PASS "Configuration opened"$/m);
                assert.match(replayed, /^question PASS$/m);
                assert.match(replayed, /^result 2\/4$/m);
                assert.match(replayed, /^verify exercise OK\nverify recording OK$/m);
            } finally {
                await rm(folder, { recursive: true, force: true });
            }
            // Closed, the user's own device is back on the settings kept for it.
            await page.locator('.exercise-result button[name="close"]').click();
            await page.locator('.exercise-panel').waitFor({ state: 'detached' });
            assert.equal(await page.evaluate(() => localStorage.getItem('vp7.settings')), storedBefore);
            assert.match(await printed(page, 'Mode'), /Mode 0/);
            assert.deepEqual(problems, []);
        },
    },
    {
        name: 'abandoning asks first, and the own device comes back on the settings kept for it',
        async run(h) {
            const { page } = await openDevice(h);
            const stored = await page.evaluate(() => localStorage.getItem('vp7.settings'));
            await openDialog(page);
            // An exercise whose settings differ from the user's: they stay the exercise's own.
            await page.locator('.exercise-list button[name="04-alarm-limits.vp7x"]').click();
            await giveName(page, 'Cem');
            assert.equal(await printed(page, 'AlarmModulSelect'), 'AlarmModulSelect 1');
            for (const [answer, panels] of [['no', 1], ['yes', 0]]) {
                await page.locator('.exercise-panel button[name="abandon"]').click();
                await page.locator(`.overlay button[name="${answer}"]`).click();
                assert.equal(await page.locator('.exercise-panel').count(), panels, answer);
            }
            assert.equal(await printed(page, 'AlarmModulSelect'), 'AlarmModulSelect 0');
            assert.equal(await page.evaluate(() => localStorage.getItem('vp7.settings')), stored);
        },
    },
    {
        name: 'the report opened from the page shows its colours under the site\'s content policy',
        async run(h) {
            const { page } = await startUploaded(h, 'report.vp7x', 'title "Bericht" "Report"\nstart\n' +
                'check Mode = 0 "Automatik" "Automatic"\ncheck Mode = 2 "Konfiguration" "Configuration"\n', 'Dana');
            await page.locator('.exercise-panel button[name="hand-in"]').click();
            await page.locator('.exercise-result').waitFor();
            const opened = page.context().waitForEvent('page');
            await page.locator('.exercise-result button[name="report"]').click();
            const report = await opened;
            await report.locator('h1').waitFor();
            assert.equal(await report.title(), 'Report');
            const looks = await report.evaluate(() => ({
                body: getComputedStyle(document.body).fontFamily,
                rows: [...document.querySelectorAll('tr')].filter((row) => row.querySelector('span'))
                    .map((row) => [row.cells[0].textContent, getComputedStyle(row.querySelector('span')).color]),
            }));
            assert.equal(looks.body, 'sans-serif');
            assert.deepEqual(looks.rows, [
                // the check, the colour of its verdict
                ['Automatic', 'rgb(16, 112, 16)'],
                ['Configuration', 'rgb(176, 0, 0)'],
            ]);
            // The report tab is no way back into the page.
            assert.equal(await report.evaluate(() => window.opener), null);
        },
    },
    {
        name: 'a restart the device asks for in an exercise asks to abandon it first; kept, the work goes on',
        async run(h) {
            const { page, problems } = await openDevice(h, { languages: ['en-GB'] });
            const ownVariant = await printed(page, 'ControllerSelect');
            await page.evaluate(() => (window.notReloaded = true));
            const exercise = 'title "Neustart" "Restart"\nstart\ncheck Mode = 0 "Automatik" "Automatic"\n';
            await upload(page, 'restart.vp7x', Buffer.from(exercise));
            await giveName(page, 'Eva');
            const rows = [
                // the variant chosen (a restart asked), the answer to abandoning, exercise panels after,
                // the device's variant after
                [2, 'no', 1, 'ControllerSelect 2'],
                [1, 'yes', 0, ownVariant],
            ];
            for (const [variant, answer, panels, after] of rows) {
                await page.locator('[data-name="ControllerSelect"] .RadioItem').nth(variant).click();
                await page.locator('.overlay button[data-answer="OK"]').click();
                const question = page.locator('.overlay .message-text');
                await question.waitFor();
                assert.equal(await question.textContent(), 'Abandon the exercise? No report is written.');
                await page.locator(`.overlay button[name="${answer}"]`).click();
                assert.equal(await page.locator('.exercise-panel').count(), panels, answer);
                assert.equal(await printed(page, 'ControllerSelect'), after, answer);
                assert.equal(await page.evaluate(() => window.notReloaded === true), true, answer);
                assert.equal(await page.evaluate(() => document.body.classList.contains('closed')), false, answer);
            }
            assert.deepEqual(problems, []);
        },
    },
    {
        name: 'a damaged or hostile exercise is refused with the reason, and the device goes on as it was',
        async run(h) {
            const { page } = await openDevice(h);
            assert.ok((await run(page, 'set FrictionSelect 1')).ok);
            const cases = [
                // file name, its bytes, what the message says
                ['typo.vp7x', 'title "A" "B"\nstrat\n', /typo\.vp7x\n\nerror 2: /],
                ['nostart.vp7x', 'title "A" "B"\ncheck Mode = 0 "a" "b"\n', /error \d+: .*start/],
                ['binary.vp7x', Buffer.from([0, 255, 1, 2, 3, 10, 0x7f]), /error 1: /],
                ['elsewhere.vp7x', 'title "A" "B"\nstate /etc/passwd\n', /error 2: /],
                ['writes.vp7x', 'title "A" "B"\nstart\nsnapshot /vp7/Config/VP7.ini\n', /error 3: /],
                ['huge.vp7x', Buffer.alloc(LARGEST_EXERCISE + 10, 'a'), /cannot read huge\.vp7x/],
            ];
            for (const [name, content, message] of cases) {
                await upload(page, name, Buffer.from(content));
                const shown = page.locator('.overlay .message-text');
                await shown.waitFor();
                assert.match(await shown.textContent(), message, name);
                await page.locator('.overlay button').click();
                assert.equal(await page.locator('.exercise-panel').count(), 0, name);
                assert.equal(await printed(page, 'FrictionSelect'), 'FrictionSelect 1', name);
            }
        },
    },
    {
        name: 'the time left counts down on the page clock and hands the exercise in at zero',
        async run(h) {
            const { page } = await startUploaded(h, 'short.vp7x', 'title "Kurz" "Short"\ntask "Warten" "Wait"\n' +
                'start\nlimit 5000\ncheck Mode = 0 "Automatik" "Automatic"\n', 'Ben');
            // The page's own time runs on meanwhile: the seconds shown drop by the time let pass.
            const secondsLeft = async () => {
                const [, minutes, seconds] = /^Time left: (\d+):(\d\d)$/.exec(await page.locator('.exercise-time').textContent());
                return Number(minutes) * 60 + Number(seconds);
            };
            await pass(page, 0);
            const before = await secondsLeft();
            assert.ok(before >= 3 && before <= 5, `${before} s left at the start`);
            await pass(page, 2000);
            assert.ok([2, 3].includes(before - (await secondsLeft())), 'two seconds let pass');
            await pass(page, 4000);
            const notice = page.locator('.overlay .message-text');
            await notice.waitFor();
            assert.equal(await notice.textContent(), 'Time is up; the exercise is handed in.');
            await page.locator('.overlay button').click();
            await page.locator('.exercise-result').waitFor();
            assert.equal(await page.locator('.exercise-score').textContent(), 'Score: 1 / 1');
            assert.match(await page.locator('.exercise-result').textContent(), /Time taken: 0:05/);
            // Handed in, the device is only shown.
            assert.equal(await page.evaluate(() => document.getElementById('form').inert), true);
        },
    },
];
