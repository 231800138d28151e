// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's library compiled to WebAssembly, as the page sees it: every call into the module
// goes through here, so the rest of the page knows nothing of pointers, heaps or C signatures. The
// module draws the picture's texts itself, with the page's fonts, and packs states with the page's zstd.

// Where the module keeps its program folder: the settings file is read from here at the start.
export const PROGRAM_FOLDER = '/vp7';
export const SETTINGS_PATH = `${PROGRAM_FOLDER}/Config/VP7.ini`;
export const FILES_FOLDER = `${PROGRAM_FOLDER}/Data`; // the device's own folder for configurations
// The bits a pixel of the screen the device is told of.
const SCREEN_DEPTH = 24;

export class Engine {
    constructor(module) {
        this.module = module;
        const call = (name, returns, args) => module.cwrap(name, returns, args);
        this.calls = {
            spritesJson: call('vp7_sprites_json', 'string', []),
            create: call('vp7_create', null, ['number']),
            sheetRgba: call('vp7_sheet_rgba', 'number', ['number', 'number']),
            spriteFromSheet: call('vp7_sprite_from_sheet', 'number', ['number', 'number', 'number']),
            redrawPiston: call('vp7_redraw_piston', null, []),
            repaintPicture: call('vp7_repaint_picture', null, []),
            run: call('vp7_run', 'string', ['string']),
            passTo: call('vp7_pass_to', null, ['number']),
            nextDue: call('vp7_next_due', 'number', []),
            changes: call('vp7_changes', 'string', []),
            form: call('vp7_form', 'string', []),
            pictureRgba: call('vp7_picture_rgba', 'number', ['number', 'number', 'number', 'number']),
            // The settings as the device would write them now; a module without it writes them at its close.
            settings: module._vp7_settings ? call('vp7_settings', 'string', []) : null,
        };
    }

    // The library's sprites in their order: [{name, width, height}].
    sprites() {
        return JSON.parse(this.calls.spritesJson());
    }

    // A device at `scale` device pixels a point, its sprites still to be handed over.
    create(scale) {
        this.calls.create(scale);
    }

    // Hands the library a sheet of the artwork (RGBA rows at the device's scale) and cuts the sprites
    // `places` lists from it: [{id, x, y}] in device pixels.
    setSheet(rgba, width, height, places) {
        const at = this.calls.sheetRgba(width, height);
        if (!at) throw new Error(`a sheet of ${width}x${height} refused`);
        this.module.HEAPU8.set(rgba, at);
        for (const { id, x, y } of places)
            if (!this.calls.spriteFromSheet(id, x, y)) throw new Error(`sprite ${id} refused at ${x}, ${y}`);
    }

    // The piston drawn again, once the sheets of its travel frames were handed over after the start.
    redrawPiston() {
        this.calls.redrawPiston();
    }

    // The whole picture drawn again, once the sheets of the first picture were handed over to a device
    // that had started without them.
    repaintPicture() {
        this.calls.repaintPicture();
    }

    // Starts the device on the screen the page has, its clock at the page's `nowMs`; the error when the
    // device would not start.
    start(screenWidth, screenHeight, nowMs, startLine = 'start') {
        this.calls.passTo(nowMs);
        for (const line of [`screen ${screenWidth} ${screenHeight} ${SCREEN_DEPTH}`, startLine]) {
            const result = this.run(line);
            if (!result.ok) return result.error || line;
        }
        return null;
    }

    // One line of the scenario language: {ok, out, error}.
    run(line) {
        return JSON.parse(this.calls.run(line));
    }

    advance(nowMs) {
        this.calls.passTo(nowMs);
    }

    // The page clock's moment of the next timer due, or null when none runs.
    nextDue() {
        const due = this.calls.nextDue();
        return due < 0 ? null : due;
    }

    // What changed: {dirty: [x, y, w, h] | null, form: the whole form | undefined, messages: [{type,
    // text, buttons, answer}], dialogs: ['SetpointScale' | 'ScreenCheck'], close: bool, restart: bool,
    // closeHeld: bool (an exercise's device asked to close and was left open)}.
    changes() {
        const changes = JSON.parse(this.calls.changes()) ?? {};
        return {
            dirty: changes.dirty ?? null,
            form: changes.form ?? null,
            messages: changes.messages ?? [],
            dialogs: changes.dialogs ?? [],
            close: Boolean(changes.close),
            restart: Boolean(changes.restart),
            closeHeld: Boolean(changes.closeHeld),
        };
    }

    form() {
        return JSON.parse(this.calls.form());
    }

    // A copy of the picture's pixels in a rectangle of device pixels.
    pictureRgba(x, y, width, height) {
        const at = this.calls.pictureRgba(x, y, width, height);
        return new Uint8ClampedArray(this.module.HEAPU8.buffer, at, width * height * 4).slice();
    }

    // The settings file as the device has it now (or as it last wrote it), a character a byte, as it
    // is kept between visits.
    settings() {
        if (this.calls.settings) return this.calls.settings();
        const bytes = this.readFile(SETTINGS_PATH);
        return bytes ? bytesToText(bytes) : null;
    }

    // Closes the device's window as the desktop's closing does: it writes its settings.
    close() {
        return this.run('close');
    }

    writeSettings(text) {
        this.writeFile(SETTINGS_PATH, textToBytes(text));
    }

    writeFile(path, data) {
        const FS = this.module.FS;
        let folder = '';
        for (const part of path.split('/').slice(1, -1)) {
            folder += `/${part}`;
            if (!FS.analyzePath(folder).exists) FS.mkdir(folder);
        }
        FS.writeFile(path, data);
    }

    removeFile(path) {
        const FS = this.module.FS;
        if (FS.analyzePath(path).exists) FS.unlink(path);
    }

    readFile(path) {
        const FS = this.module.FS;
        if (!FS.analyzePath(path).exists) return null;
        // A file the device wrote through a temporary one may come without any permission bits in the
        // module's file system; the page reads it all the same.
        FS.chmod(path, 0o644);
        return FS.readFile(path);
    }

    // An exercise's calls (web/bridge/PageExercise.h). A new runner for a new device, which finds the
    // files its lines name without a folder in `folder`.
    resetIn(folder) {
        this.module.ccall('vp7_reset_in', null, ['string'], [folder]);
    }

    // The exercise file at `path` checked whole, the device untouched: {ok, title: {de, en}, error}.
    checkExercise(path) {
        return JSON.parse(this.module.ccall('vp7_check_exercise', 'string', ['string'], [path]));
    }

    // The running exercise: {open, title, tasks, limitMs, elapsedMs, timeLeftMs, speed, question}.
    exercise() {
        return JSON.parse(this.module.ccall('vp7_exercise', 'string', [], []));
    }

    // Hands the exercise in: {ok, error, passed, total, takenMs, checks, question, report, recording};
    // with `toRoom`, the result goes to the room through the seat as well.
    handIn({ trainee, date, exercisePath, recordingFile, german, toRoom = false }) {
        return JSON.parse(this.module.ccall('vp7_hand_in', 'string',
            ['string', 'string', 'string', 'string', 'number', 'number'],
            [trainee, date, exercisePath, recordingFile, german ? 1 : 0, toRoom ? 1 : 0]));
    }

    // A new runner with no device: the lines before `start` come next, the settings file as it is now
    // kept as the one a rewind starts from again.
    reset() {
        this.module.ccall('vp7_reset', null, [], []);
    }

    // The session's trend from sample and event numbers on: {device, nowMs, sessionMs, samples: {next,
    // rows: [[s, setpoint, position, deviation]]}, events: {next, items: [[s, text]]}}.
    trend(fromSample, fromEvent) {
        return JSON.parse(this.module.ccall('vp7_trend_json', 'string', ['number', 'number'], [fromSample, fromEvent]));
    }

    // The session since its device was made, as a recording of the desktop's (`date` in its header).
    recording(date) {
        return this.module.ccall('vp7_recording', 'string', ['string'], [date]);
    }

    // `line` (`state FILE`) on a runner of its own that replaces the device only when it went through:
    // {ok, error}.
    replace(line) {
        return JSON.parse(this.module.ccall('vp7_replace', 'string', ['string'], [line]));
    }

    // The recording at `path` checked whole: {error} or {setup, start, steps: [[ms, line]], startMs, endMs}.
    playPlan(path) {
        return JSON.parse(this.module.ccall('vp7_play_plan', 'string', ['string'], [path]));
    }

    // The page's time passes on the device from `nowMs` on, not before.
    clockFrom(nowMs) {
        this.module.ccall('vp7_clock_from', null, ['number'], [nowMs]);
    }

    // A new runner whose settings and data are in `folder`, emptied first: the user's stay as they were.
    resetInScratch(folder) {
        this.module.ccall('vp7_reset_in_scratch', null, ['string'], [folder]);
    }

    // The classroom (web/page/room.js). The class sheet's link read by the library: {ok, room, seat,
    // password, error}.
    readJoin(text, german) {
        return JSON.parse(this.module.ccall('vp7_read_join', 'string', ['string', 'number'], [text, german ? 1 : 0]));
    }

    // The trainee's name the seat's hand-ins carry, from now on and for every device of the visit.
    setTrainee(name) {
        this.module.ccall('vp7_room_trainee', null, ['string'], [name]);
    }

    // The page's MQTT client, which the seat's link publishes through: {start, publish, stop}.
    setRoomClient(client) {
        this.module.vp7Room = client;
    }

    roomConnected() {
        this.module.ccall('vp7_room_connected', null, [], []);
    }

    roomLost() {
        this.module.ccall('vp7_room_lost', null, [], []);
    }

    roomMessage(topic, bytes) {
        this.withBytes(bytes, (at) => this.module.ccall('vp7_room_message', null, ['string', 'number', 'number'],
            [topic, at, bytes.length]));
    }

    roomNote(text) {
        this.module.ccall('vp7_room_note', null, ['string'], [text]);
    }

    roomAcknowledged(id) {
        this.module.ccall('vp7_room_acknowledged', null, ['number'], [id]);
    }

    // Why the seat keeps its device: the page's word for refusing what would replace or reset it.
    roomHoldText(german) {
        return this.module.ccall('vp7_room_hold_text', 'string', ['number'], [german ? 1 : 0]);
    }

    roomWatched() {
        return this.module.ccall('vp7_room_watched', 'number', [], []) !== 0;
    }

    roomPicture(bytes) {
        this.withBytes(bytes, (at) => this.module.ccall('vp7_room_picture', null, ['number', 'number'], [at, bytes.length]));
    }

    roomLeave() {
        this.module.ccall('vp7_room_leave', null, [], []);
    }

    // The room's exercise as the seat knows it: {device (0 while none of the room's runs), handedIn}.
    roomExercise() {
        return JSON.parse(this.module.ccall('vp7_room_exercise', 'string', [], []));
    }

    // The seat's lines since the last call, one a line.
    roomLog() {
        return this.module.ccall('vp7_room_log', 'string', [], []);
    }

    // `bytes` in the module's memory for the length of `use(address)`.
    withBytes(bytes, use) {
        const at = this.module._malloc(Math.max(1, bytes.length));
        try {
            this.module.HEAPU8.set(bytes, at);
            return use(at);
        } finally {
            this.module._free(at);
        }
    }

    // The names of the files in a folder of the module's file system; none when it is not there.
    listFolder(path) {
        const FS = this.module.FS;
        if (!FS.analyzePath(path).exists) return [];
        return FS.readdir(path).filter((name) => name !== '.' && name !== '..').sort();
    }
}

// The line that queues the scale dialog's texts for its next opening. The line takes two plain words:
// blanks typed go, and a field left empty stays a text the dialog refuses, as it would in the window.
export function scaleDialogLine({ xe, xa }) {
    const word = (text) => String(text).replace(/\s+/g, '') || '-';
    return `scaledialog ${word(xe)} ${word(xa)}`;
}

// The settings file's bytes are kept as one character each, so no encoding ever changes a byte.
export function bytesToText(bytes) {
    let text = '';
    for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
    return text;
}

export function textToBytes(text) {
    return Uint8Array.from(text, (c) => c.charCodeAt(0) & 0xff);
}

export function quoted(text) {
    return `"${String(text).replace(/[\\"\x00-\x1f]/g, (c) =>
        c === '"' ? '\\"' : `\\x${c.charCodeAt(0).toString(16).padStart(2, '0')}`)}"`;
}

// zstd for the module's states, from the page's own folder.
async function loadPacking(base) {
    const [{ Module: zstd }, { makePacking }] = await Promise.all([
        import(new URL('zstd/zstd.js', base).href),
        import(new URL('packing.mjs', base).href),
    ]);
    await new Promise((resolve) => {
        zstd.onRuntimeInitialized = resolve;
        zstd.init(new URL('zstd/zstd.wasm', base).href);
    });
    return makePacking(zstd);
}

// Loads vp7.js and its WebAssembly from the page's own folder, with the fonts its texts are drawn in.
export async function loadEngine(base = new URL('./', import.meta.url)) {
    const [{ default: createVp7Module }, { compiledModule }, packing] = await Promise.all([
        import(new URL('vp7.js', base).href),
        import(new URL('early-module.js', base).href),
        loadPacking(base),
        document.fonts.load('13px DejaVuSans'),
        document.fonts.load('bold 13px DejaVuSans'),
    ]);
    // The module compiled since the page's head asked for it (early-module.js) is instantiated here; a
    // failure to compile or instantiate it ends the start as a failure to create it would.
    let fail;
    const failed = new Promise((resolve, reject) => { fail = reject; });
    const module = await Promise.race([failed, createVp7Module({
        instantiateWasm: (imports, receive) => {
            compiledModule.then((wasm) => WebAssembly.instantiate(wasm, imports)
                .then((instance) => receive(instance, wasm))).catch(fail);
            return {};
        },
        locateFile: (file) => new URL(file, base).href,
        vp7Packing: packing,
        print: (line) => console.log(line),
        printErr: (line) => console.warn(line),
    })]);
    return new Engine(module);
}
