// SPDX-License-Identifier: GPL-3.0-or-later
// The session's menu, as the desktop's Simulation menu has it: saved states down- and uploaded, the
// rewind to a moment of the session, the trend, the session saved as a recording, a recording from now
// on and a recording played. Every file the user gives is checked by the library before the device
// changes; a refused one leaves the device as it was, with the library's reason.
import { FILES_FOLDER } from './engine.js';
import { offerDownload, pickFile, safeFileName } from './files.js';
import { TrendPanel, rewindMarks } from './trend.js';
import { Player, LARGEST_RECORDING } from './player.js';
import { SessionRecording } from './recording.js';

const WORDS = {
    de: {
        menu: 'Simulation',
        saveState: 'Zustand speichern…',
        loadState: 'Zustand laden…',
        rewind: 'Zurückspulen…',
        trend: 'Trend',
        saveRecording: 'Sitzung als Aufzeichnung speichern…',
        playRecording: 'Aufzeichnung abspielen…',
        refused: 'Die Datei wurde nicht geladen:',
        tooLarge: 'Die Datei ist zu groß.',
        rewindTitle: 'Zurückspulen',
        rewindTo: 'Zurück zu',
        nothingYet: 'Die Sitzung hat noch nicht begonnen.',
        cancel: 'Abbrechen',
    },
    en: {
        menu: 'Simulation',
        saveState: 'Save state…',
        loadState: 'Load state…',
        rewind: 'Rewind…',
        trend: 'Trend',
        saveRecording: 'Save session as recording…',
        playRecording: 'Play recording…',
        refused: 'The file was not loaded:',
        tooLarge: 'The file is too large.',
        rewindTitle: 'Rewind',
        rewindTo: 'Back to',
        nothingYet: 'The session has not begun yet.',
        cancel: 'Cancel',
    },
};

const MENU = 'pageSession';
const ITEMS = ['saveState', 'loadState', 'rewind', 'trend', 'saveRecording', 'playRecording'];
// A state is a recording with the device's state beside it: the runner reads neither beyond this.
export const LARGEST_STATE = LARGEST_RECORDING;
const STATE_NAME = 'session.vp7state';
const RECORDING_NAME = 'session.vp7s';
const MINUTE_MS = 60000;

// "m:ss.s" for a moment of the session.
export function sessionTime(ms) {
    const tenths = Math.max(0, Math.round(ms / 100));
    const minutes = Math.floor(tenths / 600);
    const seconds = (tenths % 600) / 10;
    return `${minutes}:${seconds.toFixed(1).padStart(4, '0')}`;
}

function element(tag, className, text) {
    const e = document.createElement(tag);
    if (className) e.className = className;
    if (text !== undefined) e.textContent = text;
    return e;
}

export class SessionMenu {
    constructor(page) {
        this.page = page;
        this.trend = new TrendPanel(page);
        this.player = null;
        this.recorder = new SessionRecording(page);
    }

    words() {
        return WORDS[this.page.language] ?? WORDS.en;
    }

    menuItems() {
        const w = this.words();
        const items = ITEMS.map((item) => ({
            name: `${MENU}.${item}`, parent: MENU, caption: w[item],
            checked: item === 'trend' && this.trend.shown,
        }));
        items.splice(ITEMS.indexOf('playRecording'), 0, ...this.recorder.menuItems(MENU));
        return [{ name: MENU, parent: '', caption: w.menu }, ...items];
    }

    handles(name) {
        return name === MENU || name.startsWith(`${MENU}.`);
    }

    async choose(name) {
        const item = name.slice(MENU.length + 1);
        if (this.player && item !== 'trend') this.player.stop(); // the user takes the device back
        // A device put in the recorded one's place ends its recording first.
        if (item === 'loadState' || item === 'playRecording') this.recorder.stop();
        if (item === 'startRecording') return this.recorder.start(() => this.deviceReplaced());
        if (item === 'stopRecording') return this.recorder.stop();
        if (item === 'saveState') return this.saveState();
        if (item === 'loadState') return this.loadState(await pickFile('.vp7state,.vp7s'));
        if (item === 'rewind') return this.rewind();
        if (item === 'trend') return this.trend.toggle();
        if (item === 'saveRecording') return offerDownload(this.recording(), RECORDING_NAME, 'text/plain');
        if (item === 'playRecording') return this.play(await pickFile('.vp7s'));
        return undefined;
    }

    recording() {
        return this.page.engine.recording(new Date().toISOString().slice(0, 19));
    }

    // The state file the desktop writes, offered as a download; null when the device wrote none.
    saveState() {
        const path = `${FILES_FOLDER}/${STATE_NAME}`;
        const result = this.page.engine.run(`savestate ${path}`);
        const written = result.ok ? this.page.engine.readFile(path) : null;
        if (!written) return this.refuse(result.error);
        offerDownload(written, STATE_NAME);
        return written;
    }

    // An uploaded file put into the module's files folder under a plain name; none for no file or one
    // larger than `largest`, which is refused before anything reads it.
    async upload(file, largest, fallbackName) {
        if (!file) return null;
        if (file.size > largest) {
            this.refuse(this.words().tooLarge);
            return null;
        }
        const path = `${FILES_FOLDER}/${safeFileName(file.name, fallbackName)}`;
        this.page.engine.writeFile(path, new Uint8Array(await file.arrayBuffer()));
        return path;
    }

    // A state uploaded: the device replaced by it when the library loads it, unchanged otherwise.
    async loadState(file) {
        const path = await this.upload(file, LARGEST_STATE, STATE_NAME);
        if (!path) return false;
        const result = this.page.engine.replace(`state ${path}`);
        if (!result.ok) return this.refuse(result.error);
        this.deviceReplaced();
        return true;
    }

    // The rewind dialog; the device back at the moment chosen.
    async rewind() {
        const { sessionMs, events } = this.page.engine.trend(Number.MAX_SAFE_INTEGER, 0);
        const w = this.words();
        if (sessionMs <= 0) return this.refuse(w.nothingYet);
        const ms = await this.page.overlays.show(w.rewindTitle,
            (body, close) => buildRewind(body, close, sessionMs, rewindMarks(events.items, sessionMs), w));
        if (ms === null || ms === undefined) return false;
        return this.rewindTo(ms);
    }

    rewindTo(ms) {
        const result = this.page.engine.run(`rewind ${Math.round(ms)}`);
        if (!result.ok) return this.refuse(result.error);
        this.deviceReplaced();
        return true;
    }

    // A recording uploaded, checked whole, then played in place of the device.
    async play(file) {
        const path = await this.upload(file, LARGEST_RECORDING, RECORDING_NAME);
        if (!path) return false;
        const plan = this.page.engine.playPlan(path);
        if (plan.error) return this.refuse(plan.error);
        this.player = new Player(this.page, plan, file.name, () => {
            this.player = null;
            this.deviceReplaced(); // the user's own device again
        });
        this.deviceReplaced();
        return true;
    }

    // A new device in the old one's place: the form, the picture and the trend shown anew.
    deviceReplaced() {
        this.page.engine.changes(); // the boxes its lines showed were answered as they were shown
        this.page.showForm(this.page.engine.form());
        this.page.picture.updateAll();
        this.page.follow();
        this.page.schedule();
        this.trend.update();
    }

    refuse(reason) {
        this.page.overlays.message(document.title,
            { type: 'error', text: `${this.words().refused}\n${reason}`, buttons: ['OK'] });
        return false;
    }
}

// The session's time line with a tick every minute and its event marks; a click on a mark or the slider chooses the moment.
function buildRewind(body, close, lengthMs, marks, words) {
    const line = element('div', 'rewind-line');
    for (let ms = MINUTE_MS; ms < lengthMs; ms += MINUTE_MS) {
        const minute = element('div', 'rewind-minute');
        minute.style.left = `${(100 * ms) / lengthMs}%`;
        line.append(minute);
    }
    const slider = element('input', 'rewind-slider');
    Object.assign(slider, { type: 'range', min: 0, max: lengthMs, step: 100, value: lengthMs });
    const chosen = element('div', 'rewind-chosen');
    const show = () => {
        chosen.textContent = `${words.rewindTo} ${sessionTime(Number(slider.value))}`;
    };
    for (const mark of marks) {
        const tick = element('button', 'rewind-mark');
        tick.type = 'button';
        tick.title = `${sessionTime(mark.ms)} ${mark.text}`;
        tick.style.left = `${(100 * mark.ms) / lengthMs}%`;
        tick.addEventListener('click', () => {
            slider.value = mark.ms;
            show();
        });
        line.append(tick);
    }
    slider.addEventListener('input', show);
    show();
    const row = element('div', 'dialog-buttons');
    const ok = element('button', null, 'OK');
    ok.type = 'button';
    ok.dataset.default = '';
    ok.addEventListener('click', () => close(Number(slider.value)));
    const cancel = element('button', null, words.cancel);
    cancel.type = 'button';
    cancel.addEventListener('click', () => close(null));
    row.append(ok, cancel);
    body.classList.add('rewind-dialog');
    body.append(line, slider, chosen, row);
    return null;
}
