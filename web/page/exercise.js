// SPDX-License-Identifier: GPL-3.0-or-later
// An exercise worked on in the page, as in the desktop's window: chosen from the shipped ones or
// uploaded, checked whole by the library before the device there is gives way, the trainee's name
// asked, then a device of its own started from the exercise's settings (the user's stored settings
// stay as they were) with a panel beside it: title, name, tasks, the time (or the time left, handed in
// at zero), the question, hand in and abandon. Handed in, the device is only shown; the result comes
// with the report and the session's recording to keep. When the exercise is over, the user's own
// device starts again. In a room, the exercise the instructor starts on the seat's device has the same
// panel (room.js follows the seat): its hand-in goes to the room, and the seat's device stays.
import { PROGRAM_FOLDER } from './engine.js';
import { safeFileName } from './files.js';
import { fetchFile } from './fetching.js';
import { firstSettings } from './settings.js';
import {
    EXERCISE_TEXTS, askTrainee, chooseExercise, confirm, element, fileNamePart, minutesSeconds, reportDate,
    sessionStem, showResult,
} from './exercise-dialogs.js';

export const EXERCISE_ITEM = 'UebungOeffnen1';
// The exercises lie together: the recording names its exercise without a folder and replays beside it.
export const EXERCISES_FOLDER = `${PROGRAM_FOLDER}/Exercises`;
// The library reads an exercise of at most this size; an upload is read no further than one byte
// beyond, so that the library refuses a larger one with its own words.
const LARGEST_EXERCISE = 1 << 20;
const SECOND_MS = 1000;

// The menu item beside the device's configuration items in Datei.
export function exerciseMenuItem(language) {
    return { name: EXERCISE_ITEM, parent: 'Datei1', caption: EXERCISE_TEXTS[language].open };
}

export class Exercises {
    constructor(page) {
        this.page = page;
        // {path, trainee, handedIn, roomDevice} while an exercise runs; roomDevice, the seat's device
        // number, for an exercise the room started
        this.running = null;
        this.shipped = null; // [{name, title: {de, en}, text}] once read
        this.timer = null;
        this.limitAt = null; // the page's moment of the time limit
        this.panel = null;
        // Handed in, the device is only shown: the keys the window passes to it go nowhere.
        window.addEventListener('keydown', (e) => this.holdKey(e), true);
        window.addEventListener('keyup', (e) => this.holdKey(e), true);
    }

    get t() {
        return EXERCISE_TEXTS[this.page.language];
    }

    get german() {
        return this.page.language === 'de';
    }

    holdKey(event) {
        if (!this.running?.handedIn || event.target.closest?.('.overlay, .exercise-panel')) return;
        event.stopImmediatePropagation();
    }

    // The shipped exercises with their titles, read from the files by the library.
    async loadShipped() {
        if (this.shipped) return this.shipped;
        const base = new URL('exercises/', document.baseURI);
        const names = await fetchFile(new URL('index.json', base), 'json');
        const read = await Promise.all(names.map(async (name) => {
            const text = new Uint8Array(await fetchFile(new URL(name, base)));
            const path = this.write(name, text);
            const checked = this.page.engine.checkExercise(path);
            return checked.ok ? { name, title: checked.title, text } : null;
        }));
        this.shipped = read.filter(Boolean);
        return this.shipped;
    }

    write(name, bytes) {
        const path = `${EXERCISES_FOLDER}/${name}`;
        this.page.engine.writeFile(path, bytes);
        return path;
    }

    message(text) {
        return this.page.overlays.message(document.title, { type: 'error', text, buttons: ['OK'] });
    }

    // Datei → Übung öffnen…: an exercise running is abandoned first, after asking.
    async choose(pickFile) {
        if (this.running && !(await this.abandon())) return false;
        const shipped = await this.loadShipped();
        const lang = this.page.language;
        const chosen = await chooseExercise(this.page.overlays, this.t,
            shipped.map(({ name, title }) => ({ name, title: title[lang] || title.de || name })));
        if (!chosen) return false;
        let path;
        if (chosen.upload) {
            const file = await pickFile('.vp7x');
            if (!file) return false;
            const bytes = new Uint8Array(await file.slice(0, LARGEST_EXERCISE + 1).arrayBuffer());
            path = this.write(safeFileName(file.name, 'exercise.vp7x'), bytes);
        } else {
            const { name, text } = shipped.find((s) => s.name === chosen.shipped);
            path = this.write(name, text); // an upload of the same name may have taken its place
        }
        return this.openChecked(path);
    }

    // Opens the exercise at `path` for a trainee asked for; the device there is stays as it is when
    // the exercise is refused or the name not given.
    async openChecked(path) {
        const checked = this.page.engine.checkExercise(path);
        const name = path.split('/').pop();
        if (!checked.ok) {
            await this.message(`${this.t.cannotOpen}\n${name}\n\n${checked.error}`);
            return false;
        }
        const trainee = await askTrainee(this.page.overlays, this.t);
        if (!trainee) return false;
        return this.start(path, trainee);
    }

    // A device of the exercise's own: a fresh settings file in the page's language, the exercise's
    // settings and scene on it.
    start(path, trainee) {
        const { page } = this;
        const { engine } = page;
        this.running = { path, trainee, handedIn: false };
        engine.resetIn(EXERCISES_FOLDER);
        engine.writeSettings(firstSettings(page.language));
        const refused = engine.start(screen.width, screen.height, page.now(), `exercise ${path.split('/').pop()}`);
        if (refused) {
            this.running = null;
            this.restartOwnDevice();
            this.message(`${this.t.cannotStart}\n${refused}`);
            return false;
        }
        this.showRunning();
        return true;
    }

    // The room's exercise, which the instructor started on the seat's device `device`: shown as one the
    // trainee opened, in place of whatever the panel showed (the instructor's word goes without asking).
    // Its hand-in goes to the room, and it is not the trainee's to abandon.
    showRoom(device, trainee) {
        this.takeDown();
        const { title } = this.page.engine.exercise();
        const name = `${fileNamePart(title?.en || title?.de || 'exercise')}.vp7x`;
        this.running = { path: `${EXERCISES_FOLDER}/${name}`, trainee, handedIn: false, roomDevice: device };
        this.showRunning();
    }

    // The room handed its exercise in (its word, or a line of the runner's): the panel says so.
    handedInByRoom() {
        if (this.running && !this.running.handedIn) this.markHandedIn();
    }

    // The panel for the exercise the device runs now.
    showRunning() {
        const { page } = this;
        page.follow();
        page.schedule();
        // The device's clock follows the page's at its pace: the limit falls at this moment of the page.
        const { timeLeftMs } = page.engine.exercise();
        this.limitAt = timeLeftMs === null || timeLeftMs === undefined ? null : page.now() + timeLeftMs;
        this.buildPanel();
        this.refresh();
    }

    buildPanel() {
        const t = this.t;
        const lang = this.page.language;
        const exercise = this.page.engine.exercise();
        this.panel?.remove();
        const panel = element('aside', 'exercise-panel');
        panel.setAttribute('aria-label', t.exercise);
        panel.append(element('div', 'exercise-title', exercise.title?.[lang] ?? ''),
            element('div', 'exercise-name', `${t.name}${this.running.trainee}`));
        const tasks = element('ol', 'exercise-tasks');
        for (const task of exercise.tasks ?? []) tasks.append(element('li', null, task[lang]));
        this.time = element('div', 'exercise-time');
        this.state = element('div', 'exercise-state');
        this.state.setAttribute('role', 'status');
        panel.append(tasks, this.time, this.state);
        if (exercise.question) panel.append(this.questionBox(exercise.question));
        const buttons = element('div', 'exercise-buttons');
        const handIn = element('button', null, t.handIn);
        handIn.name = 'hand-in';
        handIn.addEventListener('click', () => this.handIn());
        const abandon = element('button', null, t.abandon);
        abandon.name = 'abandon';
        abandon.addEventListener('click', () => this.abandon());
        buttons.append(handIn);
        if (!this.running.roomDevice) buttons.append(abandon);
        panel.append(buttons);
        this.panel = panel;
        const scroller = this.page.formElement.parentElement;
        scroller.classList.add('with-exercise');
        scroller.append(panel);
    }

    // The question with its choices; a choice is the trainee's answer at once (`choose N`).
    questionBox(question) {
        const lang = this.page.language;
        const box = element('fieldset', 'exercise-question');
        box.append(element('legend', null, this.t.question), element('div', null, question.text[lang]));
        question.choices.forEach((choice, i) => {
            const label = element('label');
            const radio = element('input');
            radio.type = 'radio';
            radio.name = 'exercise-choice';
            radio.value = String(i + 1);
            radio.addEventListener('change', () => this.page.act(`choose ${i + 1}`));
            label.append(radio, element('span', null, choice[lang]));
            box.append(label);
        });
        return box;
    }

    // The time shown as the device's clock has it; at the limit, handed in as the device stood at the
    // limit (what came after it counts not). The next look comes when the shown second ends, or at
    // the limit.
    refresh() {
        clearTimeout(this.timer);
        const { running } = this;
        if (!running || running.handedIn) return;
        const { page } = this;
        page.engine.advance(this.limitAt === null ? page.now() : Math.min(page.now(), this.limitAt));
        page.follow();
        page.schedule();
        // The room may have handed the exercise in meanwhile, or sent another, which has its own look.
        if (this.running !== running || running.handedIn) return;
        const exercise = this.page.engine.exercise();
        if (!exercise.open) return;
        const t = this.t;
        const left = exercise.timeLeftMs;
        // The room's freeze and speed hold or hurry the device's clock: its limit moves with them.
        if (running.roomDevice && left !== null && left !== undefined) this.limitAt = page.now() + left / (exercise.speed || 1);
        if (left === null || left === undefined) {
            this.time.textContent = `${t.time}${minutesSeconds(exercise.elapsedMs)}`;
        } else {
            this.time.textContent = `${t.timeLeft}${minutesSeconds(left)}`;
            if (left <= 0) {
                this.handIn(t.timeUp);
                return;
            }
        }
        const toNextSecond = left ? (left % SECOND_MS || SECOND_MS) : SECOND_MS - (exercise.elapsedMs % SECOND_MS);
        this.timer = setTimeout(() => this.refresh(), Math.max(1, toNextSecond));
    }

    // Judged now; the result shown with its report and recording. `notice` tells why first (the time
    // is up).
    async handIn(notice) {
        const running = this.running;
        if (!running || running.handedIn) return null;
        clearTimeout(this.timer);
        if (!notice) this.page.tick(); // at the limit, the device stands where the limit found it
        const now = new Date();
        const stem = sessionStem(running.path.split('/').pop(), running.trainee, now);
        const files = { recording: `${stem}.vp7s`, report: `${stem}.html` };
        const result = this.page.engine.handIn({
            trainee: running.trainee, date: reportDate(now), exercisePath: running.path,
            recordingFile: files.recording, german: this.german, toRoom: Boolean(running.roomDevice),
        });
        if (!result.ok) {
            await this.message(result.error);
            this.refresh();
            return null;
        }
        running.result = result;
        this.markHandedIn();
        if (notice) await this.message(notice);
        await showResult(this.page.overlays, this.t, result, files, this.page.language);
        // The room's device stays with the seat, shown, until the room sends what comes next.
        if (!running.roomDevice) this.end();
        return result;
    }

    // Handed in, the device is only shown, and the panel says where the work went.
    markHandedIn() {
        const { running } = this;
        running.handedIn = true;
        clearTimeout(this.timer);
        this.page.formElement.inert = true;
        this.page.formElement.classList.add('handed-in');
        for (const control of this.panel.querySelectorAll('button, input')) control.disabled = true;
        this.state.textContent = running.roomDevice ? this.t.handedInRoom : this.t.handedIn;
    }

    // After asking: the exercise goes without a report. True when it went.
    async abandon() {
        if (!this.running) return true;
        if (this.running.roomDevice) {
            await this.message(this.page.engine.roomHoldText(this.german));
            return false;
        }
        if (!this.running.handedIn &&
            !(await confirm(this.page.overlays, document.title, this.t, this.t.abandonAsk))) return false;
        this.end();
        return true;
    }

    // The exercise's device asked to close, to quit or to restart the program for a setting, and was
    // left open: as the desktop's exercise window, the trainee is asked whether to abandon the exercise.
    // Abandoned, the user's own device starts again on the settings kept for it (that is the page's
    // restart); kept, the work goes on on the device as it is. The program never goes away with it.
    async closeAsked() {
        if (!this.running) {
            this.page.leave(); // a recording of an exercise playing: closed as anywhere else
            return;
        }
        if (this.askingToClose) return;
        this.askingToClose = true;
        try {
            await this.abandon();
        } finally {
            this.askingToClose = false;
        }
    }

    end() {
        if (!this.running) return;
        this.takeDown();
        this.restartOwnDevice();
    }

    // The panel goes, and the device takes input again; the device itself stays as it is.
    takeDown() {
        clearTimeout(this.timer);
        this.running = null;
        this.panel?.remove();
        this.panel = null;
        this.page.formElement.parentElement.classList.remove('with-exercise');
        this.page.formElement.inert = false;
        this.page.formElement.classList.remove('handed-in');
    }

    // The user's own device again, on the settings kept for them.
    restartOwnDevice() {
        const { page } = this;
        page.engine.resetIn('');
        page.engine.writeSettings(page.settings.load() ?? firstSettings(page.language));
        const refused = page.engine.start(screen.width, screen.height, page.now());
        if (refused) page.errors.push({ line: 'start', error: refused });
        page.follow();
        page.schedule();
    }
}
