// SPDX-License-Identifier: GPL-3.0-or-later
// Configuration files between the user's disk and the module's folder: an upload is written in and
// chosen in the device's open dialog; a save is written out there and offered as a download.
import { FILES_FOLDER } from './engine.js';

// A file name the module's folder takes: no folders, nothing hidden, no characters the scenario
// language would have to quote.
export function safeFileName(name, fallback = 'config.vp7') {
    const base = String(name ?? '').split(/[\\/]/).pop().replace(/[^A-Za-z0-9._-]/g, '_').replace(/^\.+/, '');
    return base.length > 0 ? base.slice(0, 100) : fallback;
}

export function pickFile(accept) {
    return new Promise((resolve) => {
        const input = document.createElement('input');
        input.type = 'file';
        if (accept) input.accept = accept;
        input.addEventListener('change', () => resolve(input.files?.[0] ?? null), { once: true });
        input.addEventListener('cancel', () => resolve(null), { once: true });
        input.click();
    });
}

// A configuration is a record of a few kilobytes; anything far larger is no configuration and is not
// read into the page's memory at all.
export const LARGEST_CONFIGURATION = 1 << 20;

// Loads a configuration: the file written into the folder, then the dialog's answer and the menu;
// false for a file too large to be one.
export async function loadConfiguration(engine, send, file) {
    if (file.size > LARGEST_CONFIGURATION) return false;
    const path = `${FILES_FOLDER}/${safeFileName(file.name)}`;
    engine.writeFile(path, new Uint8Array(await file.arrayBuffer()));
    send(`file ${path}`, 'menu Konfigurationladen1');
    return true;
}

// Saves a configuration into the folder and offers what the device wrote as a download.
export function saveConfiguration(engine, send, name = 'config.vp7') {
    const path = `${FILES_FOLDER}/${safeFileName(name)}`;
    send(`file ${path}`, 'menu Konfigurationspeichern1');
    const written = engine.readFile(path);
    if (!written) return false;
    offerDownload(written, name);
    return true;
}

// Offers `data` (bytes, a text or a Blob) as a download under `name`.
export function offerDownload(data, name, type = 'application/octet-stream') {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(data instanceof Blob ? data : new Blob([data], { type }));
    link.download = safeFileName(name);
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 0);
}
