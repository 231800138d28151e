// SPDX-License-Identifier: GPL-3.0-or-later
// The page as a classroom seat. Opened with the class sheet's link (#join=ROOM/CODE&...), it asks the
// trainee's name and starts the device with the runner's `classroom` line, whose seat reaches the room
// through the page's MQTT client here: over a WebSocket to the page's own origin, where the room's
// websockify forwards to the broker. The seat itself (status, events, commands, hand-ins) is the
// library's; this side carries bytes, shows the room's state in a line, sends the live view when the
// instructor watches, and keeps the seat's outbox in the browser's storage across a reload.
import { bytesToText, textToBytes } from './engine.js';
import { Overlays } from './dialogs.js';

const MQTT_BUNDLE = 'lib/mqtt/mqtt.esm.js';
export const OUTBOX_FOLDER = '/vp7/Classroom/Outbox';
// The outbox's files in the browser's storage, one key each; a hand-in with its recording is a few
// hundred kilobytes, and the storage holds a few megabytes for the whole page.
export const OUTBOX_KEY = 'vp7.outbox.';
const OUTBOX_STORED_MAX = 3000000;
const OUTBOX_MIRROR_MS = 1000;
// The live view: at most two pictures a second, each only when it differs from the last sent.
const PICTURE_PERIOD_MS = 500;
const PICTURE_QUALITY = 0.7;
// As the desktop's link: a broker that went away is tried again, and the broker hears of the seat
// every ten seconds.
const KEEPALIVE_S = 10;
const RECONNECT_MS = 1000;
// MQTT's answers to a connection that refuse its account: a bad user name or password, not authorised.
const ACCOUNT_REFUSALS = [4, 5];
// The words the library's link gives for such a refusal (kAccountRefused in classroom/RoomLink.h).
const ACCOUNT_REFUSED = 'broker refused the account: ';
// websockify refuses MQTT's own sub-protocol name and takes this one.
const WEBSOCKET_PROTOCOL = 'binary';

const WORDS = {
    de: {
        name: 'Ihr Name', join: 'Dem Raum beitreten', ok: 'Beitreten', cancel: 'Ohne Raum',
        connecting: 'Raum %s: Verbindung wird aufgebaut …', joined: 'Raum %s: verbunden',
        reconnecting: 'Raum %s: Verbindung unterbrochen, neuer Versuch …',
        refused: 'Raum %s: Code abgelehnt', left: 'Raum %s verlassen', menu: 'Klassenraum', leave: 'Raum verlassen',
    },
    en: {
        name: 'Your name', join: 'Join the room', ok: 'Join', cancel: 'Without the room',
        connecting: 'Room %s: connecting …', joined: 'Room %s: joined',
        reconnecting: 'Room %s: connection lost, trying again …',
        refused: 'Room %s: code refused', left: 'Room %s left', menu: 'Classroom', leave: 'Leave the room',
    },
};
const MENU = 'room';
const LEAVE_ITEM = `${MENU}.leave`;
// The page's items that give up the device for another (an exercise of the trainee's own, a state, a
// rewind, a recording played or begun afresh), and with the device the seat: refused in the room, as
// the desktop refuses them.
const REPLACING_ITEMS = ['UebungOeffnen1', 'pageSession.loadState', 'pageSession.rewind',
    'pageSession.playRecording', 'pageSession.startRecording'];

// The link as the class sheet printed it, from the page's address: its own origin with the fragment.
export function joinLink(location) {
    if (!location.hash.startsWith('#join=')) return null;
    const port = location.port || (location.protocol === 'https:' ? '443' : '80');
    return `${location.protocol}//${location.hostname}:${port}/${location.hash}`;
}

// The runner's line that joins the seat: the address is the page's own, which the page's link uses.
export function classroomLine(location, { room, seat, password }) {
    const port = location.port || (location.protocol === 'https:' ? '443' : '80');
    return `classroom ${location.hostname.replace(/^\[|\]$/g, '')} ${port} ${room} ${seat} ${seat} ${password}`;
}

// Mirrors a folder's files into a storage under `prefix` and back: the files as they are now are
// written, those gone are removed, and what does not fit in `maxChars` stays in the folder alone.
export class StoredFolder {
    constructor(storage, prefix, maxChars) {
        this.storage = storage;
        this.prefix = prefix;
        this.maxChars = maxChars;
    }

    names() {
        const names = [];
        for (let i = 0; i < this.storage.length; ++i) {
            const key = this.storage.key(i);
            if (key?.startsWith(this.prefix)) names.push(key.slice(this.prefix.length));
        }
        return names.sort();
    }

    // `files`: {name: text} as the folder holds them now.
    keep(files) {
        const stored = new Set(this.names());
        for (const name of stored) if (!(name in files)) this.storage.removeItem(this.prefix + name);
        let used = 0;
        for (const name of stored) if (name in files) used += files[name].length;
        for (const [name, text] of Object.entries(files)) {
            if (stored.has(name)) continue;
            if (used + text.length > this.maxChars) continue;
            try {
                this.storage.setItem(this.prefix + name, text);
                used += text.length;
            } catch {
                // the storage is full: the file stays in the folder for this visit only
            }
        }
    }

    // {name: text} of everything kept.
    load() {
        const files = {};
        for (const name of this.names()) files[name] = this.storage.getItem(this.prefix + name);
        return files;
    }
}

// The page's MQTT client, as the library's link (web/bridge/PageRoomLink) calls it.
class RoomClient {
    constructor(mqtt, engine, url, onState, onArrival) {
        this.mqtt = mqtt;
        this.engine = engine;
        this.url = url;
        this.onState = onState;
        this.onArrival = onArrival;
        this.client = null;
        this.lastId = 0;
        this.refused = false;
    }

    start(settings) {
        this.settings = settings;
        this.client = this.mqtt.connect(this.url, {
            clientId: `vp7-${settings.room}-${settings.seat}-${Math.floor(Math.random() * 1e6)}`,
            username: settings.user || undefined,
            password: settings.password || undefined,
            protocolVersion: 4,
            clean: true,
            keepalive: KEEPALIVE_S,
            reconnectPeriod: RECONNECT_MS,
            resubscribe: false, // subscribed anew at each connection, as the seat wants it
            queueQoSZero: false,
            will: settings.willTopic
                ? { topic: settings.willTopic, payload: settings.will, qos: 1, retain: true }
                : undefined,
            createWebsocket: (url) => new WebSocket(url, [WEBSOCKET_PROTOCOL]),
        });
        this.onState('connecting');
        this.client.on('connect', () => this.subscribe());
        this.client.on('close', () => {
            this.engine.roomLost();
            if (!this.refused && this.client) this.onState('reconnecting');
        });
        this.client.on('error', (error) => {
            if (!ACCOUNT_REFUSALS.includes(error?.code)) return;
            // Every try would meet the same refusal: the seat leaves the room.
            this.refused = true;
            this.engine.roomNote(`${ACCOUNT_REFUSED}${error.message}`);
            this.stop();
            this.onState('refused');
            this.onArrival();
        });
        this.client.on('message', (topic, payload) => {
            this.engine.roomMessage(topic, payload);
            this.onArrival();
        });
        return 1;
    }

    // Connected counts from the broker's answer to the subscriptions: a command sent after it is heard.
    subscribe() {
        const topics = this.settings.subscriptions ?? [];
        const done = (granted) => {
            if ((granted ?? []).some((g) => g.qos > 2)) this.engine.roomNote('the broker refused a subscription');
            this.engine.roomConnected();
            this.onState('joined');
            this.onArrival();
        };
        if (topics.length === 0) return done([]);
        this.client.subscribe(topics, { qos: 1 }, (error, granted) => (error ? this.engine.roomNote(String(error.message)) : done(granted)));
        return undefined;
    }

    // The id the library's acknowledgement names, or 0 when nothing is sent.
    publish(topic, bytes, qos, retain) {
        if (!this.client) return 0;
        this.lastId += 1;
        const id = this.lastId;
        this.client.publish(topic, bytes, { qos, retain }, (error) => {
            if (error || qos === 0) return;
            this.engine.roomAcknowledged(id);
            this.onArrival();
        });
        return id;
    }

    // The seat's link went (its runner was given up for another device): the page is in no room.
    stop() {
        const client = this.client;
        this.client = null;
        client?.end(true);
        this.onState('left');
    }

    // Leaves after what was published went out: a graceful end, so the broker sends no last will.
    leave() {
        const client = this.client;
        this.client = null;
        return new Promise((resolve) => (client ? client.end(false, {}, resolve) : resolve()));
    }
}

// The trainee's name, asked in a small dialog of the page's kind; null when the trainee goes without.
function askName(language) {
    const words = WORDS[language];
    const overlays = new Overlays(document.body);
    return overlays.show(words.join, (body, close) => {
        const label = document.createElement('label');
        label.textContent = words.name;
        const input = document.createElement('input');
        input.id = 'trainee-name';
        input.maxLength = 80;
        input.dataset.default = '';
        label.append(input);
        const buttons = document.createElement('div');
        buttons.className = 'dialog-buttons';
        const ok = document.createElement('button');
        ok.textContent = words.ok;
        ok.addEventListener('click', () => input.value.trim() && close(input.value.trim()));
        const cancel = document.createElement('button');
        cancel.textContent = words.cancel;
        cancel.addEventListener('click', () => close(null));
        input.addEventListener('keydown', (e) => e.key === 'Enter' && ok.click());
        buttons.append(ok, cancel);
        body.append(label, buttons);
        return null;
    });
}

// The seat the page is, from the page's start to its leaving.
export class Room {
    constructor(engine, ticket, trainee, mqtt, language) {
        this.engine = engine;
        this.ticket = ticket;
        this.trainee = trainee;
        this.language = language;
        this.state = 'connecting';
        this.page = null;
        this.lastPicture = null;
        this.sendingPicture = false;
        this.stored = new StoredFolder(window.localStorage, OUTBOX_KEY, OUTBOX_STORED_MAX);
        const scheme = location.protocol === 'https:' ? 'wss' : 'ws';
        this.client = new RoomClient(mqtt, engine, `${scheme}://${location.host}/`, (state) => this.show(state),
            () => this.page?.tick());
        engine.setRoomClient(this.client);
        this.line = statusLine();
        this.show('connecting');
    }

    // The page opened with the class sheet's link: the ticket read, the name asked, the room's client
    // ready; the line to run before the device's start. Null for a page without the link, or a trainee
    // who went without; a link the library refuses is said in its word.
    static async join(engine, language) {
        const link = joinLink(window.location);
        if (!link) return null;
        const reading = engine.readJoin(link, language === 'de');
        if (!reading.ok) {
            statusLine().textContent = reading.error;
            return null;
        }
        const [mqtt, trainee] = await Promise.all([import(new URL(MQTT_BUNDLE, document.baseURI).href), askName(language)]);
        if (!trainee) return null;
        engine.setTrainee(trainee);
        const room = new Room(engine, reading, trainee, mqtt.default ?? mqtt, language);
        room.restoreOutbox();
        return { room, line: classroomLine(window.location, reading) };
    }

    // The page runs: the room's arrivals move its device, the outbox and the live view follow.
    attach(page) {
        this.page = page;
        this.mirror = setInterval(() => this.keepOutbox(), OUTBOX_MIRROR_MS);
        this.pictures = setInterval(() => this.sendPicture(), PICTURE_PERIOD_MS);
    }

    show(state) {
        this.state = state;
        document.body.dataset.room = state;
        this.line.textContent = WORDS[this.language][state].replace('%s', this.ticket.room);
        this.page?.menus?.setItems(this.page.allMenuItems());
    }

    // After each look at the device: an exercise the room started on the seat's device shows with its
    // panel, one the room took away (a state in its place) goes, and one handed in by the room's word
    // (or a line of the runner's) shows so.
    followed() {
        const exercises = this.page?.exercises;
        if (!exercises) return;
        const { device, handedIn } = this.engine.roomExercise();
        const shown = exercises.running?.roomDevice ?? 0;
        if (device && device !== shown) exercises.showRoom(device, this.trainee);
        else if (shown && device !== shown) exercises.takeDown();
        else if (shown && handedIn) exercises.handedInByRoom();
    }

    menuItems(language) {
        if (this.state === 'refused' || this.state === 'left') return [];
        const words = WORDS[language];
        return [{ name: MENU, parent: '', caption: words.menu },
            { name: LEAVE_ITEM, parent: MENU, caption: words.leave }];
    }

    handles(name) {
        return name === MENU || name.startsWith(`${MENU}.`);
    }

    // Why the item `name` is refused while the page is a seat, or null.
    refusal(name, language) {
        const inRoom = ['connecting', 'joined', 'reconnecting'].includes(this.state);
        return inRoom && REPLACING_ITEMS.includes(name) ? this.engine.roomHoldText(language === 'de') : null;
    }

    async choose(name) {
        if (name === LEAVE_ITEM) await this.leave();
    }

    // The seat's offline status goes out, the client ends, and the page starts again without the room.
    async leave() {
        this.engine.roomLeave();
        await this.client.leave();
        clearInterval(this.mirror);
        clearInterval(this.pictures);
        this.keepOutbox();
        this.state = 'left';
        location.replace(`${location.pathname}${location.search}`);
    }

    // The hand-ins that waited when the page went away are put back before the seat joins.
    restoreOutbox() {
        for (const [name, text] of Object.entries(this.stored.load()))
            if (!this.engine.readFile(`${OUTBOX_FOLDER}/${name}`))
                this.engine.writeFile(`${OUTBOX_FOLDER}/${name}`, textToBytes(text));
    }

    keepOutbox() {
        const files = {};
        for (const name of this.engine.listFolder(OUTBOX_FOLDER)) {
            const bytes = this.engine.readFile(`${OUTBOX_FOLDER}/${name}`);
            if (bytes) files[name] = bytesToText(bytes);
        }
        this.stored.keep(files);
        for (const line of this.engine.roomLog().split('\n')) if (line) console.log(line);
    }

    // The device's picture as JPEG, when the instructor watches and it changed since the last sent.
    sendPicture() {
        const canvas = this.page?.picture?.canvas;
        if (!canvas || this.sendingPicture || !this.engine.roomWatched()) return;
        this.sendingPicture = true;
        canvas.toBlob(async (blob) => {
            try {
                if (!blob) return;
                const bytes = new Uint8Array(await blob.arrayBuffer());
                if (sameBytes(bytes, this.lastPicture)) return;
                this.lastPicture = bytes;
                this.engine.roomPicture(bytes);
            } finally {
                this.sendingPicture = false;
            }
        }, 'image/jpeg', PICTURE_QUALITY);
    }
}

// The small line at the page's foot that tells of the room, as the desktop's status bar does.
function statusLine() {
    let line = document.getElementById('room-status');
    if (!line) {
        line = document.createElement('div');
        line.id = 'room-status';
        line.setAttribute('role', 'status');
        document.body.append(line);
    }
    return line;
}

function sameBytes(a, b) {
    if (!a || !b || a.length !== b.length) return false;
    for (let i = 0; i < a.length; ++i) if (a[i] !== b[i]) return false;
    return true;
}
