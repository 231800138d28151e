// SPDX-License-Identifier: GPL-3.0-or-later
// A session recorded from a moment on, as the desktop records one: the settings in force are kept as at
// closing and the device starts afresh on them into the recording, so that the recording holds them,
// the start and every line after it. Stopped, the recording is offered as a download the desktop's
// player and the runner play to the same end; the session goes on. A red dot with the recording's
// time stands at the menu bar's right end meanwhile.
import { offerDownload } from './files.js';

const WORDS = {
    de: {
        record: 'Sitzung aufzeichnen…',
        stop: 'Aufzeichnung beenden',
        notInExercise: 'Während einer Übung nicht möglich: Die Aufzeichnung läuft bis zur Abgabe, und es '
            + 'wird keine andere Aufzeichnung, Übung oder Sitzung geladen.',
    },
    en: {
        record: 'Record session…',
        stop: 'Stop recording',
        notInExercise: 'Not during an exercise: its recording runs until it is handed in, and no other '
            + 'recording, exercise or session is loaded.',
    },
};
export const RECORDING_FILE = 'recording.vp7s';
const SECOND_MS = 1000;

// "● m:ss" for the recording's time, as the desktop's dot shows it.
export function recordingMark(ms) {
    const seconds = Math.max(0, Math.floor(ms / SECOND_MS));
    return `● ${Math.floor(seconds / 60)}:${String(seconds % 60).padStart(2, '0')}`;
}

export class SessionRecording {
    constructor(page) {
        this.page = page;
        this.runner = null; // which runner is recorded, while a recording runs
        this.mark = null;
        this.clock = null;
    }

    get running() {
        return this.runner !== null;
    }

    words() {
        return WORDS[this.page.language] ?? WORDS.en;
    }

    // The two items for the session menu under `parent`, the one that cannot be chosen now greyed.
    menuItems(parent) {
        const w = this.words();
        return [
            { name: `${parent}.startRecording`, parent, caption: w.record, enabled: !this.running },
            { name: `${parent}.stopRecording`, parent, caption: w.stop, enabled: this.running },
        ];
    }

    // The device closes as the desktop's window does, which keeps its settings, and starts again on them
    // into the recording. `started` shows the new device. An exercise's device is not recorded anew.
    start(started) {
        const { page } = this;
        if (this.running) return false;
        if (page.exercises?.running) {
            page.overlays.message(document.title, { type: 'information', text: this.words().notInExercise,
                buttons: ['OK'] });
            return false;
        }
        page.engine.close();
        page.saveSettings();
        page.engine.reset();
        const refused = page.engine.start(screen.width, screen.height, page.now());
        if (refused) {
            page.errors.push({ line: 'start', error: refused });
            return false;
        }
        this.runner = this.runnerNow();
        started();
        this.showMark();
        this.clock = setInterval(() => this.showMark(), SECOND_MS);
        page.menus.setItems(page.allMenuItems());
        return true;
    }

    // The recording ends now and is offered; its text, or null when the device it recorded was given up
    // meanwhile (an exercise took its place).
    stop() {
        if (!this.running) return null;
        const recorded = this.runner === this.runnerNow();
        this.runner = null;
        clearInterval(this.clock);
        this.mark?.remove();
        this.mark = null;
        this.page.menus.setItems(this.page.allMenuItems());
        if (!recorded) return null;
        const text = this.page.engine.recording(new Date().toISOString().slice(0, 19));
        offerDownload(text, RECORDING_FILE, 'text/plain');
        return text;
    }

    // The runner the page's device runs on: a new one for each device started, state loaded or exercise.
    runnerNow() {
        return this.page.engine.trend(Number.MAX_SAFE_INTEGER, Number.MAX_SAFE_INTEGER).device.split('.')[0];
    }

    showMark() {
        if (!this.mark) {
            this.mark = document.createElement('div');
            this.mark.className = 'recording-mark';
            document.body.append(this.mark);
        }
        const { sessionMs } = this.page.engine.trend(Number.MAX_SAFE_INTEGER, Number.MAX_SAFE_INTEGER);
        this.mark.textContent = recordingMark(sessionMs);
    }
}
