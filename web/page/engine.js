// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's library compiled to WebAssembly, as the page sees it: every call into the module
// goes through here, so the rest of the page knows nothing of pointers, heaps or C signatures.
import { drawTextCell, labelWidth } from './textDrawing.js';

// Where the module keeps its program folder: the settings file is read from here before the start.
export const PROGRAM_FOLDER = '/vp7';
export const SETTINGS_PATH = `${PROGRAM_FOLDER}/Config/VP7.ini`;
export const FILES_FOLDER = `${PROGRAM_FOLDER}/Files`;

export class Engine {
    constructor(module) {
        this.module = module;
        const call = (name, returns, args) => module.cwrap(name, returns, args);
        this.calls = {
            spritesJson: call('vp7_sprites_json', 'string', []),
            spriteRgba: call('vp7_sprite_rgba', 'number', ['number', 'number', 'number']),
            start: call('vp7_start', 'number', ['number', 'number', 'number', 'number']),
            run: call('vp7_run', 'string', ['string']),
            advance: call('vp7_advance', null, ['number']),
            nextDue: call('vp7_next_due', 'number', []),
            changes: call('vp7_changes', 'string', []),
            form: call('vp7_form', 'string', []),
            pictureRgba: call('vp7_picture_rgba', 'number', ['number', 'number', 'number', 'number']),
            settings: call('vp7_settings', 'string', []),
        };
    }

    sprites() {
        return JSON.parse(this.calls.spritesJson());
    }

    // Hands the library one sprite's pixels, RGBA rows of `width` device pixels.
    setSprite(id, rgba, width, height) {
        const at = this.calls.spriteRgba(id, width, height);
        if (!at) throw new Error(`sprite ${id} refused`);
        this.module.HEAPU8.set(rgba.subarray(0, width * height * 4), at);
    }

    start(scale, screenWidth, screenHeight, nowMs) {
        return this.calls.start(scale, screenWidth, screenHeight, nowMs) === 0;
    }

    // One line of the scenario language: {ok, out, error}.
    run(line) {
        return JSON.parse(this.calls.run(line));
    }

    advance(nowMs) {
        this.calls.advance(nowMs);
    }

    // The page clock's moment of the next timer due, or null when none runs.
    nextDue() {
        const due = this.calls.nextDue();
        return due < 0 ? null : due;
    }

    changes() {
        return JSON.parse(this.calls.changes());
    }

    form() {
        return JSON.parse(this.calls.form());
    }

    // A copy of the picture's pixels in a rectangle of device pixels.
    pictureRgba(x, y, width, height) {
        const at = this.calls.pictureRgba(x, y, width, height);
        return new Uint8ClampedArray(this.module.HEAPU8.buffer, at, width * height * 4).slice();
    }

    settings() {
        return this.calls.settings();
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

    readFile(path) {
        const FS = this.module.FS;
        return FS.analyzePath(path).exists ? FS.readFile(path) : null;
    }

    // The answers a dialog the device opened gets, as the scenario language gives them.
    answerScaleDialog(values) {
        return this.run(values ? `scaledialog ${values.xe} ${values.xa}` : 'scaledialog cancel');
    }

    answerScreenCheck(accepted) {
        return this.run(`answer ${accepted ? 'OK' : 'Cancel'}`);
    }
}

export function quoted(text) {
    return `"${String(text).replace(/[\\"\x00-\x1f]/g, (c) =>
        c === '"' ? '\\"' : `\\x${c.charCodeAt(0).toString(16).padStart(2, '0')}`)}"`;
}

// Loads vp7.js and its WebAssembly from the page's own folder. The module calls back into the page to
// draw texts into the picture, with the browser's fonts.
export async function loadEngine(base = new URL('./', import.meta.url)) {
    const { default: createVp7Module } = await import(new URL('vp7.js', base).href);
    const module = await createVp7Module({
        locateFile: (file) => new URL(file, base).href,
        vp7TextOut: (x, y, text, fontName, sizePt, bold, pixelHeight, rgb, brushRgb, scale) =>
            drawTextCell({ text, fontName, sizePt, bold, pixelHeight, rgb, brushRgb, scale }),
        vp7LabelWidth: (text) => labelWidth(text),
        print: (line) => console.log(line),
        printErr: (line) => console.warn(line),
    });
    return new Engine(module);
}
