// SPDX-License-Identifier: GPL-3.0-or-later
// The page as a classroom seat, against a real broker: the test's own mosquitto on the shipped
// configuration and websockify serving the site and forwarding its WebSockets, both on the loopback
// and ended with the test. The instructor is an MQTT client in Node on the broker's own port.
import assert from 'node:assert/strict';
import { spawn, execFileSync } from 'node:child_process';
import { existsSync } from 'node:fs';
import { mkdtemp, readFile, rm, writeFile } from 'node:fs/promises';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import mqtt from 'mqtt';
import { StoredFolder, classroomLine, joinLink } from '../page/room.js';

export const needsSite = true;

const here = path.dirname(fileURLToPath(import.meta.url));
const root = path.resolve(here, '..', '..');
const MOSQUITTO = '/usr/sbin/mosquitto';
const WEBSOCKIFY = '/usr/bin/websockify';
const PASSWD = '/usr/bin/mosquitto_passwd';
const ROOM = 'r53';
const SEAT = 'seat07';
const CODE = '07-K7QF-M2XA';
const PASSWORD = 'K7QFM2XA';
const INSTRUCTOR_PASSWORD = 'instructor-secret';
const WAIT_LIMIT_MS = 15000;
const SERVER_START_MS = 5000;
const EXERCISE = path.join(root, 'exercises', '03-friction.vp7x');

function missing() {
    return [MOSQUITTO, WEBSOCKIFY, PASSWD].filter((file) => !existsSync(file));
}

function freePort() {
    return new Promise((resolve, reject) => {
        const server = net.createServer();
        server.on('error', reject);
        server.listen(0, '127.0.0.1', () => {
            const { port } = server.address();
            server.close(() => resolve(port));
        });
    });
}

// Resolves once something accepts connections on the port.
async function listening(port, limitMs = SERVER_START_MS) {
    const until = Date.now() + limitMs;
    while (Date.now() < until) {
        const open = await new Promise((resolve) => {
            const socket = net.connect(port, '127.0.0.1', () => socket.end(() => resolve(true)));
            socket.on('error', () => resolve(false));
        });
        if (open) return;
        await new Promise((resolve) => setTimeout(resolve, 100));
    }
    throw new Error(`nothing listens on port ${port}`);
}

function stopped(child) {
    return new Promise((resolve) => {
        if (child.exitCode !== null || child.signalCode !== null) return resolve();
        child.once('exit', () => resolve());
        child.kill('SIGTERM');
    });
}

// The room's servers: mosquitto on the shipped configuration (its password and ACL files made here,
// its one listener on a free loopback port, its sessions kept across a restart) and websockify in
// front of it, serving the site.
class RoomServers {
    async start(site) {
        this.folder = await mkdtemp(path.join(os.tmpdir(), 'vp7-room-'));
        this.mqttPort = await freePort();
        this.webPort = await freePort();
        const passwords = path.join(this.folder, 'passwords');
        const acl = path.join(this.folder, 'acl');
        await writeFile(passwords, '');
        execFileSync(PASSWD, ['-b', passwords, 'instructor', INSTRUCTOR_PASSWORD]);
        execFileSync(PASSWD, ['-b', passwords, SEAT, PASSWORD]);
        await writeFile(acl, await readFile(path.join(root, 'doc', 'classroom', 'acl')));
        const shipped = await readFile(path.join(root, 'doc', 'classroom', 'mosquitto.conf'), 'utf8');
        const config = shipped
            .replace('/etc/mosquitto/vp7-passwords', passwords)
            .replace('/etc/mosquitto/vp7-acl', acl)
            .replace('listener 1883 127.0.0.1', `listener ${this.mqttPort} 127.0.0.1`);
        assert.ok(config.includes(`listener ${this.mqttPort} 127.0.0.1`), 'the shipped listener line moved');
        // The test's own: the instructor's session outlives a restart of the broker, which runs as
        // whoever runs the test.
        this.config = path.join(this.folder, 'mosquitto.conf');
        await writeFile(this.config, `${config}\nuser ${os.userInfo().username}\npersistence true\n` +
            `persistence_location ${this.folder}/\n`);
        await this.startBroker();
        this.websockify = spawn(WEBSOCKIFY, ['--web', site, `127.0.0.1:${this.webPort}`,
            `127.0.0.1:${this.mqttPort}`], { stdio: 'ignore' });
        await listening(this.webPort);
        return this;
    }

    async startBroker() {
        this.broker = spawn(MOSQUITTO, ['-c', this.config], { stdio: 'ignore' });
        await listening(this.mqttPort);
    }

    async stopBroker() {
        await stopped(this.broker);
    }

    link(code = CODE) {
        return `http://127.0.0.1:${this.webPort}/#join=${ROOM}/${code}&mqtt=${this.mqttPort}&tls=0`;
    }

    async stop() {
        await Promise.all([this.broker, this.websockify].filter(Boolean).map(stopped));
        await rm(this.folder, { recursive: true, force: true });
    }
}

// The instructor's side: every seat's status and events as they arrive, commands to seat07.
class Instructor {
    async connect(port) {
        this.statuses = [];
        this.events = [];
        this.pictures = 0;
        this.client = mqtt.connect(`mqtt://127.0.0.1:${port}`, {
            username: 'instructor', password: INSTRUCTOR_PASSWORD, clientId: 'instructor', clean: false,
            reconnectPeriod: 300,
        });
        this.client.on('message', (topic, payload) => {
            if (topic.endsWith('/status')) this.statuses.push(JSON.parse(payload.toString()));
            else if (topic.endsWith('/event')) this.events.push(JSON.parse(payload.toString()));
            else if (topic.endsWith('/picture')) this.pictures += 1;
        });
        await new Promise((resolve, reject) => {
            this.client.once('connect', resolve);
            this.client.once('error', reject);
        });
        await this.client.subscribeAsync([`vp7/${ROOM}/seat/+/status`, `vp7/${ROOM}/seat/+/event`,
            `vp7/${ROOM}/seat/+/picture`], { qos: 1 });
        return this;
    }

    send(command) {
        return this.client.publishAsync(`vp7/${ROOM}/cmd/seat/${SEAT}`, JSON.stringify(command), { qos: 1 });
    }

    lastStatus() {
        return this.statuses.at(-1);
    }

    handIns() {
        return this.events.filter((e) => e.kind === 'handin');
    }

    async until(what, test) {
        const until = Date.now() + WAIT_LIMIT_MS;
        while (!test()) {
            if (Date.now() > until) throw new Error(`no ${what} arrived`);
            await new Promise((resolve) => setTimeout(resolve, 100));
        }
    }

    end() {
        return this.client.endAsync(true);
    }
}

// A page opened with the class sheet's link, the trainee's name given, the device started.
async function joinPage(h, link, trainee = 'Kim') {
    const page = await h.open();
    const problems = [];
    page.on('pageerror', (error) => problems.push(error.message));
    await page.addInitScript(() => Object.defineProperty(navigator, 'languages', { get: () => ['en-GB'] }));
    await page.goto(link);
    await answerName(page, trainee);
    return { page, problems };
}

async function answerName(page, trainee) {
    await page.locator('#trainee-name').fill(trainee, { timeout: WAIT_LIMIT_MS });
    await page.locator('#trainee-name').press('Enter');
    await page.waitForFunction(() => document.body.classList.contains('ready'), null, { timeout: WAIT_LIMIT_MS });
}

async function roomState(page, state) {
    await page.waitForFunction((wanted) => document.body.dataset.room === wanted, state, { timeout: WAIT_LIMIT_MS });
}

// A test with the room's servers and the instructor, all ended after it; skipped without the servers.
function inRoom(name, run, timeout = 60000) {
    return {
        name,
        timeout,
        async run(h) {
            const absent = missing();
            if (absent.length > 0) {
                console.log(`     skipped: ${absent.join(', ')} not installed`);
                return;
            }
            const servers = await new RoomServers().start(h.site);
            let instructor = null;
            try {
                instructor = await new Instructor().connect(servers.mqttPort);
                await run(h, servers, instructor);
            } finally {
                await instructor?.end();
                await servers.stop();
            }
        },
    };
}

const deviceMs = (page) => page.evaluate(() => window.vp7.page.engine.trend(0, 0).nowMs);

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
        await page.evaluate(() => window.vp7.page.choose('room.leave'));
        await instructor.until('offline status', () => instructor.lastStatus()?.online === false);
        await page.waitForFunction(() => document.body.classList.contains('ready') && !location.hash, null,
            { timeout: WAIT_LIMIT_MS });
        assert.equal(await page.locator('#room-status').count(), 0);
        assert.deepEqual(problems, []);
    }),
    inRoom('a hidden fault stays hidden, and an exercise sent is handed in with its recording', async (h, servers, instructor) => {
        const { page } = await joinPage(h, servers.link());
        await roomState(page, 'joined');
        assert.equal(await page.locator('[data-name="FrictionSelect"]').isVisible(), true);
        await instructor.send({ command: 'fault', option: 'FrictionSelect', on: true, id: 'h1' });
        await page.waitForFunction(() => window.vp7.form().controls.find((c) => c.name === 'FrictionSelect')?.visible === false,
            null, { timeout: WAIT_LIMIT_MS });
        assert.equal(await page.locator('[data-name="FrictionSelect"]').isVisible(), false);

        await instructor.send({ command: 'exercise', text: await readFile(EXERCISE, 'utf8'), seed: 7, id: 'e1' });
        await instructor.until('exercise status', () => Boolean(instructor.lastStatus()?.exercise));
        await instructor.send({ command: 'handin', id: 'i1' });
        await instructor.until('hand-in', () => instructor.handIns().length > 0);
        const [handIn] = instructor.handIns();
        assert.equal(handIn.seat, SEAT);
        assert.equal(handIn.trainee, 'Kim', 'the hand-in carries the name given when joining');
        assert.ok(handIn.recording?.zstd?.length > 0, 'the hand-in came without its recording');

        // What would give up the seat's device is refused in the room's word, and the seat stays.
        for (const item of ['UebungOeffnen1', 'pageSession.loadState', 'pageSession.startRecording']) {
            page.evaluate((name) => window.vp7.page.choose(name), item);
            await page.locator('.overlay >> text=Set by the instructor').waitFor({ timeout: WAIT_LIMIT_MS });
            await page.locator('.overlay button').first().click();
        }
        assert.equal(await page.evaluate(() => document.body.dataset.room), 'joined');
    }),
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
