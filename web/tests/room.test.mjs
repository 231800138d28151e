// SPDX-License-Identifier: GPL-3.0-or-later
// The page as a classroom seat, against a real broker: the room's servers on the loopback
// (room-servers.mjs), the instructor an MQTT client in Node on the broker's own port.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync } from 'node:fs';
import { mkdtemp, readFile, rm, writeFile } from 'node:fs/promises';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { StoredFolder, classroomLine, joinLink } from '../page/room.js';
import { SEAT, WAIT_LIMIT_MS, answerName, inRoom, joinPage, roomState } from './room-servers.mjs';

export const needsSite = true;

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..', '..');
const EXERCISE = path.join(root, 'exercises', '03-friction.vp7x');
// The station's judge of a hand-in, native (tests/classroom/HandInCheck.cpp).
const HANDIN_CHECK = process.env.VP7_HANDIN_CHECK ??
    path.join(root, 'build', 'tests', 'classroom', 'vp7_handin_check');
const INIT_STOPS = path.join(root, 'exercises', '08-init-stops.vp7x');
const HOLD_FOR_CONFIGURATION_MS = 5000;
const SEAT_SEED = 90210;

// What the station's verifier says of the hand-in `payload` for the exercise `exerciseFile` sent with
// `seed`: its printed line.
async function verdict(folder, payload, exerciseFile, seed) {
    const file = path.join(folder, 'handin.json');
    await writeFile(file, payload);
    try {
        return execFileSync(HANDIN_CHECK, [file, exerciseFile, String(seed)], { encoding: 'utf8' }).trim();
    } catch (error) {
        if (error.status === 1) return error.stdout.trim();
        throw error;
    }
}

// A hand-in's message with `change` made to it, as a seat could send it.
function changed(payload, change) {
    const message = JSON.parse(payload);
    change(message);
    return JSON.stringify(message);
}

const deviceMs = (page) => page.evaluate(() => window.vp7.page.engine.trend(0, 0).nowMs);
const pass = (page, ms) => page.evaluate((m) => window.vp7.pass(m), ms);
// An exercise of twenty seconds, so that the device's time to its limit passes quickly.
const SHORT_EXERCISE = 'title "Kurz" "Short"\nstart\nlimit 20000\ncheck Mode = 0 "Automatik" "Automatic"\n';
const SHORT_LIMIT_MS = 20000;
// The page's time reaches the device in whole milliseconds: sped up, a moment falls a few beyond.
const ROUNDING_MS = 25;

// What the exercise's panel shows: null without one.
function panelOf(page) {
    return page.evaluate(() => {
        const panel = document.querySelector('.exercise-panel');
        if (!panel) return null;
        const text = (selector) => panel.querySelector(selector)?.textContent ?? '';
        return {
            title: text('.exercise-title'), name: text('.exercise-name'), time: text('.exercise-time'),
            state: text('.exercise-state'), choices: panel.querySelectorAll('.exercise-question input').length,
            buttons: [...panel.querySelectorAll('button')].map((b) => `${b.name}${b.disabled ? ' disabled' : ''}`),
            inert: document.getElementById('form').inert,
        };
    });
}

// The seconds the panel's time left shows.
async function secondsLeft(page) {
    const [, minutes, seconds] = /^Time left: (\d+):(\d\d)$/.exec((await panelOf(page)).time);
    return Number(minutes) * 60 + Number(seconds);
}

// A storage as the browser's, in memory.
class MemoryStorage {
    constructor(items = {}) {
        this.items = new Map(Object.entries(items));
    }

    get length() {
        return this.items.size;
    }

    key(i) {
        return [...this.items.keys()][i] ?? null;
    }

    getItem(key) {
        return this.items.get(key) ?? null;
    }

    setItem(key, value) {
        this.items.set(key, String(value));
    }

    removeItem(key) {
        this.items.delete(key);
    }
}

export const tests = [
    {
        name: 'the outbox kept in the storage follows the folder, within its bound, leaving other keys alone',
        run() {
            const rows = [
                // stored before, the folder now, bound, stored after
                [{}, { a: 'xx', b: 'yy' }, 10, { a: 'xx', b: 'yy' }],
                [{ a: 'xx', b: 'yy' }, { b: 'yy' }, 10, { b: 'yy' }],
                [{ a: 'xx' }, { a: 'xx', b: 'yyyy', c: 'zz' }, 5, { a: 'xx', c: 'zz' }],
                [{ a: 'xxxx' }, { a: 'xxxx', b: 'yy' }, 5, { a: 'xxxx' }],
                [{ a: 'xx' }, {}, 10, {}],
            ];
            for (const [before, now, bound, after] of rows) {
                const prefix = 'vp7.outbox.';
                const storage = new MemoryStorage({ 'vp7.zoom': '100',
                    ...Object.fromEntries(Object.entries(before).map(([k, v]) => [prefix + k, v])) });
                const stored = new StoredFolder(storage, prefix, bound);
                stored.keep(now);
                assert.deepEqual(stored.load(), after, JSON.stringify({ before, now, bound }));
                assert.equal(storage.getItem('vp7.zoom'), '100');
            }
        },
    },
    {
        name: 'the page\'s address gives the class sheet\'s link and the runner\'s classroom line',
        run() {
            const ticket = { room: 'r53', seat: 'seat07', password: 'K7QFM2XA' };
            const rows = [
                // protocol, hostname, port, hash, link, line
                ['http:', '10.0.0.5', '6080', '#join=r53/07-K7QF-M2XA&mqtt=1883&tls=0',
                    'http://10.0.0.5:6080/#join=r53/07-K7QF-M2XA&mqtt=1883&tls=0',
                    'classroom 10.0.0.5 6080 r53 seat07 seat07 K7QFM2XA'],
                ['https:', 'room.example', '', '#join=r53/07-K7QF-M2XA',
                    'https://room.example:443/#join=r53/07-K7QF-M2XA', 'classroom room.example 443 r53 seat07 seat07 K7QFM2XA'],
                ['http:', '[::1]', '', '#join=r53/07-K7QF-M2XA', 'http://[::1]:80/#join=r53/07-K7QF-M2XA',
                    'classroom ::1 80 r53 seat07 seat07 K7QFM2XA'],
                ['http:', 'pc', '8080', '#trend', null, 'classroom pc 8080 r53 seat07 seat07 K7QFM2XA'],
            ];
            for (const [protocol, hostname, port, hash, link, line] of rows) {
                const location = { protocol, hostname, port, hash };
                assert.equal(joinLink(location), link);
                assert.equal(classroomLine(location, ticket), line);
            }
        },
    },
    inRoom('a seat joined from the link reports its status, and a freeze holds its device', async (h, servers, instructor) => {
        const { page, problems } = await joinPage(h, servers.link());
        await roomState(page, 'joined');
        await instructor.until('status online', () => instructor.lastStatus()?.online === true);
        assert.equal(instructor.lastStatus().seat, SEAT);
        assert.match(await page.textContent('#room-status'), /joined/);

        await instructor.send({ command: 'freeze', id: 'f1' });
        await instructor.until('frozen status', () => instructor.lastStatus()?.frozen === true);
        const before = await deviceMs(page);
        await page.evaluate(() => window.vp7.pass(3000));
        assert.equal(await deviceMs(page), before, 'the frozen device moved');
        await instructor.send({ command: 'continue', id: 'c1' });
        await instructor.until('running status', () => instructor.lastStatus()?.frozen === false);
        await page.evaluate(() => window.vp7.pass(3000));
        assert.ok((await deviceMs(page)) > before, 'the device stood after the room let it go');

        // Leaving: the seat says it is offline, and the page starts again without the room.
        // Not awaited inside the page: the leaving ends in a navigation, which would take the answer with it.
        await page.evaluate(() => {
            window.vp7.page.choose('room.leave');
        });
        await instructor.until('offline status', () => instructor.lastStatus()?.online === false);
        await page.waitForFunction(() => document.body.classList.contains('ready') && !location.hash, null,
            { timeout: WAIT_LIMIT_MS });
        assert.equal(await page.locator('#room-status').count(), 0);
        assert.deepEqual(problems, []);
    }),
    inRoom('a hidden fault stays hidden; the room\'s exercise shows in the panel, is handed in at the room\'s word and gives way to the room\'s next', async (h, servers, instructor) => {
        const { page } = await joinPage(h, servers.link());
        await roomState(page, 'joined');
        assert.equal(await page.locator('[data-name="FrictionSelect"]').isVisible(), true);
        await instructor.send({ command: 'fault', option: 'FrictionSelect', on: true, id: 'h1' });
        await page.waitForFunction(() => window.vp7.form().controls.find((c) => c.name === 'FrictionSelect')?.visible === false,
            null, { timeout: WAIT_LIMIT_MS });
        assert.equal(await page.locator('[data-name="FrictionSelect"]').isVisible(), false);

        const pristine = await page.evaluate(() => {
            const file = '/vp7/Data/pristine.vp7state';
            if (!window.vp7.run(`savestate ${file}`).ok) return null;
            return btoa(String.fromCharCode(...window.vp7.page.engine.readFile(file)));
        });
        assert.ok(pristine, 'no state saved');
        await instructor.send({ command: 'exercise', text: await readFile(EXERCISE, 'utf8'), seed: 7, id: 'e1' });
        await instructor.until('exercise status', () => Boolean(instructor.lastStatus()?.exercise));
        // The room's exercise shows as one the trainee opened, under the name given when joining, and
        // is not the trainee's to abandon.
        await page.locator('.exercise-panel').waitFor({ timeout: WAIT_LIMIT_MS });
        const running = await panelOf(page);
        assert.deepEqual({ ...running, time: running.time.replace(/\d+:\d\d$/, 'M:SS') }, {
            title: 'The valve slows down', name: 'Name: Kim', time: 'Time left: M:SS', state: '', choices: 4,
            buttons: ['hand-in'], inert: false,
        });
        // Not awaited inside the page: the refusal waits for its button.
        await page.evaluate(() => {
            window.vp7.page.exercises.closeAsked();
        });
        await page.locator('.overlay >> text=Set by the instructor').waitFor({ timeout: WAIT_LIMIT_MS });
        await page.locator('.overlay button').first().click();
        assert.equal((await panelOf(page)).title, 'The valve slows down');

        // The room's word hands it in: the panel says so, and the device is only shown.
        await instructor.send({ command: 'handin', id: 'i1' });
        await instructor.until('hand-in', () => instructor.handIns().length > 0);
        const [handIn] = instructor.handIns();
        assert.equal(handIn.seat, SEAT);
        assert.equal(handIn.trainee, 'Kim', 'the hand-in carries the name given when joining');
        assert.ok(handIn.recording?.zstd?.length > 0, 'the hand-in came without its recording');
        await page.waitForFunction(() => document.querySelector('.exercise-state')?.textContent, null,
            { timeout: WAIT_LIMIT_MS });
        assert.deepEqual(await panelOf(page), { ...running, time: (await panelOf(page)).time,
            state: 'Handed in to the room.', buttons: ['hand-in disabled'], inert: true });

        // Another exercise from the room takes its place without asking.
        await instructor.send({ command: 'exercise', text: await readFile(INIT_STOPS, 'utf8'), seed: 8, id: 'e2' });
        await page.waitForFunction(() => document.querySelector('.exercise-title')?.textContent.startsWith('Why'),
            null, { timeout: WAIT_LIMIT_MS });
        assert.deepEqual(await panelOf(page), { title: 'Why does the initialization stop?', name: 'Name: Kim',
            time: (await panelOf(page)).time, state: '', choices: 4, buttons: ['hand-in'], inert: false });
        assert.match((await panelOf(page)).time, /^Time: /);
        // A state from the room takes the exercise's place: the panel goes, the device is the seat's still.
        await instructor.send({ command: 'state', data: pristine, id: 'st1' });
        await page.locator('.exercise-panel').waitFor({ state: 'detached', timeout: WAIT_LIMIT_MS });
        assert.equal(await page.evaluate(() => document.getElementById('form').inert), false);

        // What would give up the seat's device is refused in the room's word, and the seat stays.
        for (const item of ['UebungOeffnen1', 'pageSession.loadState', 'pageSession.startRecording']) {
            page.evaluate((name) => window.vp7.page.choose(name), item);
            await page.locator('.overlay >> text=Set by the instructor').waitFor({ timeout: WAIT_LIMIT_MS });
            await page.locator('.overlay button').first().click();
        }
        assert.equal(await page.evaluate(() => document.body.dataset.room), 'joined');
    }),
    inRoom('a trainee\'s hand-in from the page verifies at the station, and a changed copy does not', async (h, servers, instructor) => {
        assert.ok(existsSync(HANDIN_CHECK), `no verifier at ${HANDIN_CHECK}: build vp7_handin_check (or set VP7_HANDIN_CHECK)`);
        const { page, problems } = await joinPage(h, servers.link());
        await roomState(page, 'joined');
        await instructor.send({ command: 'exercise', text: await readFile(INIT_STOPS, 'utf8'), seed: SEAT_SEED, id: 'e3' });
        await instructor.until('exercise status', () => Boolean(instructor.lastStatus()?.exercise));
        // The trainee's work: the configuration opened with the mode key held on the keyboard; the
        // panel's question answered right and its button pressed.
        await page.locator('.exercise-panel').waitFor({ timeout: WAIT_LIMIT_MS });
        await page.locator('#picture').focus();
        await page.keyboard.down('m');
        await pass(page, HOLD_FOR_CONFIGURATION_MS);
        await page.keyboard.up('m');
        await page.locator('.exercise-question input[value="3"]').check();
        await page.locator('.exercise-panel button[name="hand-in"]').click();
        await page.locator('.exercise-result').waitFor({ timeout: WAIT_LIMIT_MS });
        assert.equal(await page.locator('.exercise-score').textContent(), 'Score: 2 / 4');
        await instructor.until('hand-in', () => instructor.handInPayloads().length > 0);
        const [payload] = instructor.handInPayloads();
        assert.equal(JSON.parse(payload).seat, SEAT);
        assert.equal(JSON.parse(payload).trainee, 'Kim');
        // The result closed, the room's device stays with the seat, handed in; the room's word for a
        // hand-in now finds it handed in already.
        await page.locator('.exercise-result button[name="close"]').click();
        assert.equal((await panelOf(page)).state, 'Handed in to the room.');
        assert.equal(await page.evaluate(() => document.body.dataset.room), 'joined');
        await instructor.send({ command: 'handin', id: 'i3' });
        await new Promise((resolve) => setTimeout(resolve, 1500));
        assert.equal(instructor.handInPayloads().length, 1, 'a second hand-in of the same exercise');

        const folder = await mkdtemp(path.join(os.tmpdir(), 'vp7-handin-'));
        try {
            const rows = [
                // what, the message's change, the exercise the station sent, its seed, the verdict
                ['the seat\'s own work', () => {}, INIT_STOPS, SEAT_SEED, /^verified 2\/4$/],
                ['a failed check claimed passed', (m) => {
                    m.checks[1].passed = true;
                    m.passed += 1;
                }, INIT_STOPS, SEAT_SEED, /^refused: .*the seat says passed, the replay failed/],
                ['the answer claimed wrong', (m) => {
                    m.question = false;
                    m.passed -= 1;
                }, INIT_STOPS, SEAT_SEED, /^refused: .*the answer to the question/],
                ['without its recording', (m) => delete m.recording, INIT_STOPS, SEAT_SEED, /^refused: .*no recording/],
                ['a neighbour\'s seed', () => {}, INIT_STOPS, SEAT_SEED + 1, /^refused: .*seed/],
                ['another exercise sent', () => {}, EXERCISE, SEAT_SEED, /^refused: .*another exercise/],
            ];
            for (const [what, change, exerciseFile, seed, expected] of rows)
                assert.match(await verdict(folder, changed(payload, change), exerciseFile, seed), expected, what);
        } finally {
            await rm(folder, { recursive: true, force: true });
        }
        assert.deepEqual(problems, []);
    }),
    inRoom('the room\'s freeze holds the time left and its speed hurries it; at zero the work is handed in', async (h, servers, instructor) => {
        const { page, problems } = await joinPage(h, servers.link());
        await roomState(page, 'joined');
        await instructor.send({ command: 'exercise', text: SHORT_EXERCISE, seed: 9, id: 'e4' });
        await page.locator('.exercise-panel').waitFor({ timeout: WAIT_LIMIT_MS });
        await instructor.send({ command: 'freeze', id: 'f4' });
        await instructor.until('frozen status', () => instructor.lastStatus()?.frozen === true);
        const frozen = await secondsLeft(page);
        // Frozen longer than the whole limit: nothing counts, nothing is handed in.
        await pass(page, 3 * SHORT_LIMIT_MS);
        assert.equal(await secondsLeft(page), frozen);
        await instructor.send({ command: 'continue', id: 'c4' });
        await instructor.until('running status', () => instructor.lastStatus()?.frozen === false);
        const running = await secondsLeft(page);
        await pass(page, 5000);
        assert.ok([5, 6].includes(running - (await secondsLeft(page))), `${running - (await secondsLeft(page))} s counted of 5`);
        assert.equal(instructor.handIns().length, 0);
        // Sped up, the device's clock reaches the limit sooner, and the exercise is judged there.
        await instructor.send({ command: 'speed', value: 5, id: 's4' });
        await instructor.until('speed status', () => instructor.lastStatus()?.speed === 5);
        await pass(page, 0);
        await pass(page, SHORT_LIMIT_MS);
        const notice = page.locator('.overlay .message-text');
        await notice.waitFor({ timeout: WAIT_LIMIT_MS });
        assert.equal(await notice.textContent(), 'Time is up; the exercise is handed in.');
        await page.locator('.overlay button').click();
        await page.locator('.exercise-result').waitFor({ timeout: WAIT_LIMIT_MS });
        assert.match(await page.locator('.exercise-result').textContent(), /Time taken: 0:20/);
        // Judged at the limit: the session handed in ends where the device's clock reached it.
        const recording = await page.evaluate(() => window.vp7.page.exercises.running.result.recording);
        const waited = [...recording.matchAll(/^wait (\d+)$/gm)].reduce((sum, m) => sum + Number(m[1]), 0);
        assert.ok(waited >= SHORT_LIMIT_MS && waited < SHORT_LIMIT_MS + ROUNDING_MS, `${waited} ms judged`);
        await instructor.until('hand-in', () => instructor.handIns().length > 0);
        assert.deepEqual([instructor.handIns()[0].trainee, instructor.handIns()[0].passed], ['Kim', 1]);
        assert.deepEqual(problems, []);
    }),
    inRoom('a seat joined from an https link speaks to the room over wss', async (h, servers, instructor) => {
        const link = servers.link();
        assert.match(link, /^https:/);
        const { page, problems, sockets } = await joinPage(h, link);
        await roomState(page, 'joined');
        await instructor.until('status online', () => instructor.lastStatus()?.online === true);
        assert.equal(instructor.lastStatus().seat, SEAT);
        assert.deepEqual(sockets, [`wss://127.0.0.1:${servers.webPort}/`]);
        assert.deepEqual(problems, []);
    }, 60000, { tls: true }),
    inRoom('the live view comes while watched, at most twice a second and only when the picture changed', async (h, servers, instructor) => {
        const { page } = await joinPage(h, servers.link());
        await roomState(page, 'joined');
        await new Promise((resolve) => setTimeout(resolve, 1500));
        assert.equal(instructor.pictures, 0, 'pictures came unwatched');
        await instructor.send({ command: 'watch', on: true, id: 'w1' });
        await instructor.until('picture', () => instructor.pictures > 0);
        const first = instructor.pictures;
        const watchedMs = 3000;
        await new Promise((resolve) => setTimeout(resolve, watchedMs));
        assert.ok(instructor.pictures - first <= (watchedMs / 1000) * 2 + 1, `${instructor.pictures - first} pictures`);
        // A device frozen in its menu draws nothing new: nothing more is sent.
        await instructor.send({ command: 'freeze', id: 'f2' });
        await instructor.until('frozen status', () => instructor.lastStatus()?.frozen === true);
        await new Promise((resolve) => setTimeout(resolve, 1500));
        const still = instructor.pictures;
        await new Promise((resolve) => setTimeout(resolve, 2000));
        assert.equal(instructor.pictures, still, 'an unchanged picture was sent again');
    }),
    inRoom('a wrong code is refused with the page\'s word and the seat leaves the room', async (h, servers) => {
        const { page } = await joinPage(h, servers.link('07-K7QF-M2XB'));
        await roomState(page, 'refused');
        assert.match(await page.textContent('#room-status'), /code refused/);
        assert.equal(await page.locator('#menubar >> text=Classroom').count(), 0);
    }),
    inRoom('a hand-in made while the broker is down arrives once when it is back, across a reload', async (h, servers, instructor) => {
        const { page } = await joinPage(h, servers.link());
        await roomState(page, 'joined');
        await instructor.send({ command: 'exercise', text: await readFile(EXERCISE, 'utf8'), seed: 7, id: 'e2' });
        await instructor.until('exercise status', () => Boolean(instructor.lastStatus()?.exercise));
        await servers.stopBroker();
        await roomState(page, 'reconnecting');
        const handed = await page.evaluate(() => window.vp7.run('handin'));
        assert.ok(handed.ok, handed.error);
        // Kept in the browser's storage within its mirror's period, then the page goes and comes back.
        await page.waitForFunction(() => Object.keys(localStorage).some((k) => k.startsWith('vp7.outbox.')), null,
            { timeout: WAIT_LIMIT_MS });
        await page.reload();
        await answerName(page, 'Kim');
        await servers.startBroker();
        await instructor.until('hand-in', () => instructor.handIns().length > 0);
        await page.waitForFunction(() => !Object.keys(localStorage).some((k) => k.startsWith('vp7.outbox.')), null,
            { timeout: WAIT_LIMIT_MS });
        await new Promise((resolve) => setTimeout(resolve, 1500));
        assert.equal(instructor.handIns().length, 1);
    }, 90000),
];
