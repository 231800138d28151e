// SPDX-License-Identifier: GPL-3.0-or-later
// The page: loads the module and the artwork, starts the device with the stored settings, builds the
// window from the form state and keeps it following the device: the user's actions go in as scenario
// lines, the device's timers run on the page's clock, and after each the page takes what changed.
import { loadEngine, scaleDialogLine } from './engine.js';
import { DevicePicture } from './device.js';
import { FormControls } from './controls.js';
import { MenuBar } from './menus.js';
import { Overlays, ToolPanel, fillInitInfo, fillParamTable } from './dialogs.js';
import { artworkOfScreen, giveArtwork, giveFirstSheets } from './artwork.js';
import { StoredSettings, firstSettings } from './settings.js';
import { TEXTS, browserLanguage, formLanguage } from './texts.js';
import { loadConfiguration, pickFile, saveConfiguration } from './files.js';
import { ZOOM_STEPS, fitZoom } from './input.js';
import { EXERCISE_ITEM, Exercises, exerciseMenuItem } from './exercise.js';
import { SessionMenu } from './session.js';
import { Room } from './room.js';

const ZOOM_KEY = 'vp7.zoom';
const FIT = 'fit';
const SENT_KEPT = 200;

class Page {
    constructor(engine, scale) {
        this.engine = engine;
        this.scale = scale;
        this.clockStart = performance.now();
        this.timer = null;
        this.closed = false;
        this.errors = []; // lines the device refused, for the tests and the console
        this.sent = []; // the latest lines sent, for the tests
        this.refusals = 0; // error messages the device showed
        this.rightClickedAt = null; // where the right button last went down on the picture
        this.answeringDialog = false;
        this.answeringMessage = false;
        this.lastAct = null; // the lines of the user's latest action
        this.leaving = false;
        this.settings = new StoredSettings(window.localStorage);
        this.language = 'de';
        this.zoomChoice = this.storedZoom();
        this.driver = null; // a recording playing, which lets the device's time pass instead of the page
    }

    now() {
        return performance.now() - this.clockStart;
    }

    storedZoom() {
        try {
            const stored = localStorage.getItem(ZOOM_KEY);
            if (stored === FIT) return FIT;
            return ZOOM_STEPS.includes(Number(stored)) ? Number(stored) : 100;
        } catch {
            return 100;
        }
    }

    // Starts the device on the stored settings (a first visit's in the browser's language); the
    // device's reason when it would not start. The browser goes on decoding the artwork between the
    // device's start and the window's build: it needs the page's thread now and then for that.
    async start(beforeStart = []) {
        const stored = this.settings.load();
        this.engine.writeSettings(stored ?? firstSettings(browserLanguage(navigator.languages)));
        this.engine.reset(); // the session keeps the settings it starts on: a rewind starts there again
        for (const line of beforeStart) {
            const result = this.engine.run(line);
            if (!result.ok) return result.error;
        }
        await nextTask();
        const refused = this.engine.start(screen.width, screen.height, this.now());
        if (refused) return refused;
        await nextTask();
        this.build(this.engine.form());
        this.follow();
        this.schedule();
        // Leaving the page closes the device as closing the desktop's window does, which writes its
        // settings; a page brought back from the browser's cache starts anew.
        window.addEventListener('pagehide', () => this.leave());
        window.addEventListener('pageshow', (event) => event.persisted && location.reload());
        window.addEventListener('resize', () => this.zoomChoice === FIT && this.applyZoom());
        return null;
    }

    build(form) {
        this.formElement = document.getElementById('form');
        this.overlays = new Overlays(document.body);
        const image = form.controls.find((c) => c.name === 'Image1');
        const canvas = document.createElement('canvas');
        canvas.tabIndex = 0;
        canvas.id = 'picture';
        this.picture = new DevicePicture(canvas, this.engine, {
            size: { width: image.width, height: image.height },
            scale: this.scale,
            send: (line) => this.send(line),
        });
        this.controls = new FormControls(this.formElement, (line) => this.act(line));
        // The picture's canvas and the splash that lies over the whole form are built first, the
        // other controls after the picture was shown (`showFirstFrame`).
        this.controls.build(form.controls, this.picture, (c) => c.kind === 'Image');
        this.picture.placeKeyCap(this.formElement, { left: image.left, top: image.top });
        this.shown = new Map(form.controls.map((c) => [c.name, JSON.stringify(c)]));
        this.parTab = new ToolPanel(this.formElement, 'partab-panel', () => this.act('menu ParameterTabelle1'));
        this.initInfo = new ToolPanel(this.formElement, 'initinfo-panel', null);
        this.menuItems = form.controls.filter((c) => c.kind === 'MenuItem');
        this.session = new SessionMenu(this);
        this.menus = new MenuBar(document.getElementById('menubar'), (name) => this.choose(name));
        this.exercises = new Exercises(this);
        this.showLanguage();
        this.applyZoom();
        this.showWindows(form);
        this.showWindow(form);
    }

    // The picture, once its artwork is in, and the splash make the first frame; the form's other
    // controls, hidden under the splash, come a frame later, as the device has them then. Built before
    // the picture, they took the page's thread while the artwork still decoded.
    async showFirstFrame() {
        this.picture.showArtwork();
        await afterNextFrame();
        this.controls.build([...this.shown.values()].map((shown) => JSON.parse(shown)), this.picture);
    }

    // The form as the device now has it: only the controls that changed are touched.
    showForm(form) {
        let menusChanged = false;
        for (const c of form.controls) {
            const state = JSON.stringify(c);
            if (this.shown.get(c.name) === state) continue;
            this.shown.set(c.name, state);
            if (c.kind !== 'MenuItem') {
                this.controls.apply(c);
                continue;
            }
            const i = this.menuItems.findIndex((m) => m.name === c.name);
            if (i >= 0) this.menuItems[i] = c;
            menusChanged = true;
        }
        if (menusChanged) this.showLanguage();
        this.showWindow(form);
        this.showWindows(form);
    }

    // The page's View menu beside the device's menus, in the device's language.
    pageMenuItems() {
        const t = TEXTS[this.language];
        const zoom = ZOOM_STEPS.map((step) => ({
            name: `zoom${step}`, parent: 'View', caption: `${step} %`, radioItem: true,
            checked: this.zoomChoice === step,
        }));
        return [{ name: 'View', parent: '', caption: t.view }, ...zoom,
            { name: FIT, parent: 'View', caption: t.fit, checked: this.zoomChoice === FIT }];
    }

    // The View menu stands between Datei and Extras, as on the desktop.
    allMenuItems() {
        const items = [...this.menuItems];
        const extras = items.findIndex((item) => item.name === 'Extras1');
        items.splice(extras < 0 ? items.length : extras, 0, ...this.pageMenuItems(), ...this.session.menuItems(),
            ...(this.room?.menuItems(this.language) ?? []));
        const saving = items.findIndex((item) => item.name === 'Konfigurationspeichern1');
        items.splice(saving + 1, 0, exerciseMenuItem(this.language));
        return items;
    }

    showLanguage() {
        this.language = formLanguage(this.menuItems);
        document.documentElement.lang = this.language;
        this.menus.setItems(this.allMenuItems());
        this.controls.setSplashText(TEXTS[this.language].continue);
    }

    applyZoom() {
        const zoom = this.zoomChoice === FIT
            ? fitZoom({ width: this.formWidth(), height: this.formHeight() }, {
                width: window.innerWidth,
                height: window.innerHeight - document.getElementById('menubar').offsetHeight,
            })
            : this.zoomChoice / 100;
        this.formElement.style.setProperty('--zoom', zoom);
        this.picture.setZoom(zoom);
    }

    formWidth() {
        return Number(getComputedStyle(this.formElement).getPropertyValue('--form-width')) || 1017;
    }

    formHeight() {
        return Number(getComputedStyle(this.formElement).getPropertyValue('--form-height')) || 715;
    }

    setZoom(choice) {
        this.zoomChoice = choice;
        try {
            localStorage.setItem(ZOOM_KEY, String(choice));
        } catch {
            // kept for this visit only
        }
        this.applyZoom();
        this.menus.setItems(this.allMenuItems());
    }

    async choose(name) {
        if (name === FIT) return this.setZoom(FIT);
        if (name.startsWith('zoom')) return this.setZoom(Number(name.slice(4)));
        const refusal = this.room?.refusal(name, this.language);
        if (refusal) return this.overlays.message(document.title, { type: 'error', text: refusal, buttons: ['OK'] });
        if (name === EXERCISE_ITEM) return this.exercises.choose(pickFile);
        if (this.session.handles(name)) return this.session.choose(name);
        if (this.room?.handles(name)) return this.room.choose(name);
        if (name === 'Konfigurationladen1') {
            const file = await pickFile('.vp7');
            if (file && !(await loadConfiguration(this.engine, (...lines) => this.act(...lines), file))) {
                this.overlays.message(document.title,
                    { type: 'error', text: TEXTS[this.language].tooLarge, buttons: ['OK'] });
            }
            return undefined;
        }
        if (name === 'Konfigurationspeichern1')
            return saveConfiguration(this.engine, (...lines) => this.act(...lines));
        return this.act(`menu ${name}`);
    }

    // Lines of the device's language the user's action stands for; settings follow.
    act(...lines) {
        this.lastAct = { lines, undo: lines.map((line) => this.undoLine(line)) };
        this.send(...lines);
        this.saveSettings();
    }

    // The line that sets a check box or a radio group back to what it showed before `line` set it;
    // null for any other line.
    undoLine(line) {
        const [command, name] = line.split(' ');
        const shown = command === 'set' && this.shown.get(name);
        if (!shown) return null;
        const control = JSON.parse(shown);
        if (control.kind === 'CheckBox') return `set ${name} ${control.checked ? 1 : 0}`;
        if (control.kind === 'RadioGroup') return `set ${name} ${control.itemIndex}`;
        return null;
    }

    // The device answered its message box at once (Cancel or No where there is one); a user who chose
    // otherwise has the action that asked set back and done again with that answer, where it can be set
    // back: a check box or a radio group set.
    answered(message, chosen, act) {
        if (!chosen || chosen === message.answer || !act || act.undo.some((line) => line === null)) return;
        this.answeringMessage = true;
        try {
            this.act(...act.undo, `answer ${chosen}`, ...act.lines);
        } finally {
            this.answeringMessage = false;
        }
    }

    send(...lines) {
        if (this.closed || this.driver) return; // a recording playing takes no input
        for (const line of lines) {
            const rightDown = /^down (\d+) (\d+) right/.exec(line);
            if (rightDown) this.rightClickedAt = `${rightDown[1]} ${rightDown[2]}`;
            this.sent.push(line);
            if (this.sent.length > SENT_KEPT) this.sent.shift();
            const result = this.engine.run(line);
            if (!result.ok) {
                this.errors.push({ line, error: result.error });
                console.warn(`${line}: ${result.error}`);
                break; // the lines after a refused one depended on it
            }
        }
        this.follow();
        this.schedule();
    }

    // An exercise's device runs on settings of its own: the user's stay as they were.
    saveSettings() {
        if (this.exercises?.running) return;
        this.settings.save(this.engine.settings());
    }

    schedule() {
        clearTimeout(this.timer);
        if (this.closed) return;
        // A recording playing drives the device frame by frame.
        const due = this.driver ? this.now() + this.drivenFrameMs : this.engine.nextDue();
        if (due === null) return;
        this.timer = setTimeout(() => this.tick(), Math.max(0, due - this.now()));
    }

    tick() {
        if (this.driver) this.driver(this.now());
        else this.engine.advance(this.now());
        this.follow();
        this.schedule();
    }

    // Takes what changed in the device since the last time and shows it.
    follow() {
        const changes = this.engine.changes();
        if (changes.dirty) this.picture.update(changes.dirty);
        if (changes.form) this.showForm(changes.form);
        else if (this.windowsShown) this.showWindows(this.engine.form()); // their texts change on their own
        const asked = this.lastAct;
        for (const message of changes.messages) {
            // The user answered it already, or the recording playing answers it.
            if (this.answeringMessage || this.driver) continue;
            this.overlays.message(document.title, message).then((chosen) => this.answered(message, chosen, asked));
        }
        this.refusals += changes.messages.filter((m) => String(m.type).toLowerCase() === 'error').length;
        for (const dialog of changes.dialogs) if (!this.answeringDialog && !this.driver) this.runDialog(dialog);
        if (changes.close) this.leave();
        if (changes.restart) this.restart();
        if (changes.closeHeld) this.exercises.closeAsked();
        this.room?.followed();
    }

    showWindow({ title, cursor }) {
        document.title = title || TEXTS[this.language].title;
        if (cursor) this.picture.canvas.style.cursor = cursor;
    }

    showWindows(form) {
        fillParamTable(this.parTab, form.parTab ?? { visible: false });
        fillInitInfo(this.initInfo, form.initInfo ?? { visible: false }, () => this.act('click RunPauseButton'));
        this.windowsShown = !this.parTab.panel.hidden || !this.initInfo.panel.hidden;
    }

    // The device asks its dialogs of a script, which answers them at once (a dialog without an answer
    // queued is cancelled, the screen check continues); the page asks the user afterwards and, for the
    // scale dialog, opens it again with the user's texts queued, as many times as the device refuses
    // them. Closing at the screen check closes the device.
    async runDialog(kind) {
        const form = this.engine.form();
        if (kind === 'ScreenCheck') {
            const goOn = await this.overlays.screenCheck(form.screenCheck, (on) => {
                const item = this.menuItems.find((m) => m.name === 'ExtraCheckScreen');
                if (item && item.checked !== on) this.act('menu ExtraCheckScreen');
            });
            if (!goOn) this.leave();
            return;
        }
        if (kind !== 'SetpointScale' || !this.rightClickedAt) return;
        const at = this.rightClickedAt;
        let state = form.scaleDialog;
        for (;;) {
            const values = await this.overlays.scaleDialog(state);
            if (!values) return;
            const refused = this.refusals;
            this.answeringDialog = true;
            try {
                this.act(scaleDialogLine(values), `down ${at} right`, `up ${at} right`);
            } finally {
                this.answeringDialog = false;
            }
            if (this.refusals === refused) return;
            state = { ...state, setpoint100: values.xe, setpoint0: values.xa };
        }
    }

    // The device's window closes (the user leaves the page, or the device asked to close): the device
    // writes its settings as it closes.
    leave() {
        if (this.closed || this.leaving) return;
        this.leaving = true;
        this.engine.close();
        this.follow();
        this.close();
    }

    // The device asked for the program to start again: a new page on the settings just kept.
    restart() {
        this.close();
        location.reload();
    }

    // The start failed after the device had started (its artwork unreadable): nothing of it runs on,
    // and nothing it wrote is kept.
    halt() {
        this.closed = true;
        clearTimeout(this.timer);
    }

    // The device's window closed: its settings kept, its clock stopped, the page greyed.
    close() {
        if (this.closed) return;
        this.saveSettings();
        this.closed = true;
        clearTimeout(this.timer);
        document.body.classList.add('closed');
    }
}

// Resolves in a task of its own, after what the browser queued meanwhile.
function nextTask() {
    return new Promise((resolve) => setTimeout(resolve, 0));
}

// Resolves once the frame after this moment was painted.
function afterNextFrame() {
    return new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));
}

function showProblem(text) {
    const status = document.getElementById('status');
    status.textContent = text;
    status.hidden = false;
}

async function main() {
    const language = browserLanguage(navigator.languages);
    const status = document.getElementById('status');
    status.textContent = TEXTS[language].loading;
    let page = null;
    try {
        // The artwork is fetched and decoded while the module compiles.
        const [engine, artwork] = await Promise.all([loadEngine(), artworkOfScreen()]);
        engine.create(artwork.scale);
        // The device starts and the window is built while the sheets the first picture needs still
        // decode; handed over, they make the picture drawn again and shown.
        let sheetsGiven = 0;
        const firstSheetsGiven = giveFirstSheets(engine, artwork, () => ++sheetsGiven);
        firstSheetsGiven.catch(() => {}); // reported below, once the device stands
        page = new Page(engine, artwork.scale);
        // Opened with the class sheet's link, the page is a seat of the room from its start.
        const joining = await Room.join(engine, language);
        page.room = joining?.room ?? null;
        // Sheets decoded before the module was ready are handed over by now: no picture to draw again.
        const startedWithArtwork = sheetsGiven === artwork.first.size;
        const refused = await page.start(joining ? [joining.line] : []);
        if (refused) throw new Error(refused);
        page.room?.attach(page);
        await firstSheetsGiven;
        if (!startedWithArtwork) {
            engine.repaintPicture();
            page.follow(); // what changed meanwhile, the picture's part shown whole next
        }
        const built = page.showFirstFrame();
        status.hidden = true;
        await built;
        // The piston's travel frames come after the first picture: handed over, the piston is drawn
        // again, since the picture may have shown a frame that was still missing.
        giveArtwork(engine, artwork, await artwork.later);
        engine.redrawPiston();
        page.follow();
        page.schedule();
        // The tests' way in: lines of the scenario language, the form, the page's state.
        window.vp7 = {
            run: (line) => {
                const result = engine.run(line);
                page.follow();
                page.schedule();
                return result;
            },
            form: () => engine.form(),
            // Lets `ms` of the page's time pass at once, as if the page had waited.
            pass: (ms) => {
                page.clockStart -= ms;
                page.exercises.refresh();
                page.tick();
            },
            page,
        };
        document.body.classList.add('ready');
    } catch (error) {
        console.error(error);
        page?.halt();
        showProblem(`${TEXTS[language].failed}: ${error.message}`);
        document.body.classList.add('failed');
    }
}

main();
