// SPDX-License-Identifier: GPL-3.0-or-later
// A classroom on the loopback for the page's tests and benchmarks: the test's own mosquitto on the
// shipped configuration and websockify serving the site and forwarding its WebSockets (over TLS with
// a certificate made for the test, when asked), both ended with the test; the instructor an MQTT
// client in Node on the broker's own port; pages joined with the class sheet's link.
import assert from 'node:assert/strict';
import { spawn, execFileSync } from 'node:child_process';
import { existsSync } from 'node:fs';
import { mkdtemp, readFile, rm, writeFile } from 'node:fs/promises';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import mqtt from 'mqtt';

const here = path.dirname(fileURLToPath(import.meta.url));
const root = path.resolve(here, '..', '..');
const MOSQUITTO = '/usr/sbin/mosquitto';
const WEBSOCKIFY = '/usr/bin/websockify';
const PASSWD = '/usr/bin/mosquitto_passwd';
const OPENSSL = '/usr/bin/openssl';
const ROOM = 'r53';
export const SEAT = 'seat07';
const CODE = '07-K7QF-M2XA';
const PASSWORD = 'K7QFM2XA';
const INSTRUCTOR_PASSWORD = 'instructor-secret';
export const WAIT_LIMIT_MS = 15000;
const SERVER_START_MS = 5000;
const STOP_GRACE_MS = 3000;

function missing(tls) {
    return [MOSQUITTO, WEBSOCKIFY, PASSWD, ...(tls ? [OPENSSL] : [])].filter((file) => !existsSync(file));
}

export function freePort() {
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

// Ended as a shutdown ends it, or killed after a grace: websockify now and then lets a SIGTERM pass,
// and a server left running would outlive the test run.
export function stopped(child) {
    return new Promise((resolve) => {
        if (child.exitCode !== null || child.signalCode !== null) return resolve();
        const kill = setTimeout(() => child.kill('SIGKILL'), STOP_GRACE_MS);
        child.once('exit', () => {
            clearTimeout(kill);
            resolve();
        });
        child.kill('SIGTERM');
    });
}

// A certificate for the loopback's address, made with its key in `folder` for one test: what a centre's
// certificate for browsers is to the room's websockify. Resolves to {cert, key}.
async function loopbackCertificate(folder) {
    const cert = path.join(folder, 'web.crt');
    const key = path.join(folder, 'web.key');
    execFileSync(OPENSSL, ['req', '-x509', '-newkey', 'ec', '-pkeyopt', 'ec_paramgen_curve:prime256v1', '-nodes',
        '-days', '1', '-subj', '/CN=127.0.0.1', '-addext', 'subjectAltName=IP:127.0.0.1', '-keyout', key,
        '-out', cert], { stdio: 'ignore' });
    return { cert, key };
}

// websockify serving `site` on the loopback's `webPort` and forwarding WebSockets to `mqttPort`, as
// vp7-room starts it: https and wss only when given a certificate ({cert, key}).
export async function startWebsockify(site, webPort, mqttPort, certificate = null) {
    const tls = certificate ? ['--ssl-only', '--cert', certificate.cert, '--key', certificate.key] : [];
    const child = spawn(WEBSOCKIFY, ['--web', site, ...tls, `127.0.0.1:${webPort}`, `127.0.0.1:${mqttPort}`],
        { stdio: 'ignore' });
    await listening(webPort);
    return child;
}

// The room's servers: mosquitto on the shipped configuration (its password and ACL files made here,
// its one listener on a free loopback port, its sessions kept across a restart) and websockify in
// front of it, serving the site.
class RoomServers {
    async start(site, { tls = false } = {}) {
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
        this.scheme = tls ? 'https' : 'http';
        this.websockify = await startWebsockify(site, this.webPort, this.mqttPort,
            tls ? await loopbackCertificate(this.folder) : null);
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
        return `${this.scheme}://127.0.0.1:${this.webPort}/#join=${ROOM}/${code}&mqtt=${this.mqttPort}&tls=0`;
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
        this.eventPayloads = []; // as they came, for a judge of their own
        this.pictures = 0;
        this.client = mqtt.connect(`mqtt://127.0.0.1:${port}`, {
            username: 'instructor', password: INSTRUCTOR_PASSWORD, clientId: 'instructor', clean: false,
            reconnectPeriod: 300,
        });
        this.client.on('message', (topic, payload) => {
            if (topic.endsWith('/status')) this.statuses.push(JSON.parse(payload.toString()));
            else if (topic.endsWith('/event')) {
                this.events.push(JSON.parse(payload.toString()));
                this.eventPayloads.push(payload.toString());
            }
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

    // The hand-ins' messages exactly as the broker delivered them.
    handInPayloads() {
        return this.eventPayloads.filter((_, i) => this.events[i].kind === 'handin');
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
export async function joinPage(h, link, trainee = 'Kim') {
    const page = await h.open();
    const problems = [];
    const sockets = []; // the addresses of the WebSockets the page opened
    page.on('pageerror', (error) => problems.push(error.message));
    page.on('websocket', (socket) => sockets.push(socket.url()));
    await page.addInitScript(() => Object.defineProperty(navigator, 'languages', { get: () => ['en-GB'] }));
    // The test's own certificate is no authority's: this page, and this page alone, takes it as it is.
    if (link.startsWith('https:')) {
        const session = await page.context().newCDPSession(page);
        await session.send('Security.setIgnoreCertificateErrors', { ignore: true });
    }
    await page.goto(link);
    await answerName(page, trainee);
    return { page, problems, sockets };
}

export async function answerName(page, trainee) {
    await page.locator('#trainee-name').fill(trainee, { timeout: WAIT_LIMIT_MS });
    await page.locator('#trainee-name').press('Enter');
    await page.waitForFunction(() => document.body.classList.contains('ready'), null, { timeout: WAIT_LIMIT_MS });
}

export async function roomState(page, state) {
    await page.waitForFunction((wanted) => document.body.dataset.room === wanted, state, { timeout: WAIT_LIMIT_MS });
}

// A test with the room's servers and the instructor, all ended after it; skipped without the servers.
// `tls`: the page and its WebSockets over TLS.
export function inRoom(name, run, timeout = 60000, { tls = false } = {}) {
    return {
        name,
        timeout,
        async run(h) {
            const absent = missing(tls);
            if (absent.length > 0) {
                console.log(`     skipped: ${absent.join(', ')} not installed`);
                return;
            }
            const servers = await new RoomServers().start(h.site, { tls });
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

