// SPDX-License-Identifier: GPL-3.0-or-later
// The device's settings file lives in the browser's storage between visits: written into the module's
// folder before the start, read back after every change the user makes and when the page goes away.
export const STORAGE_KEY = 'vp7.settings';

// A first visit starts in the browser's language; later ones in whatever the settings say.
export function firstSettings(language) {
    return `[Config]\r\nSprache=${language === 'de' ? 'Deutsch' : 'English'}\r\n`;
}

export class StoredSettings {
    constructor(storage) {
        this.storage = storage;
    }

    load() {
        try {
            return this.storage?.getItem(STORAGE_KEY) ?? null;
        } catch {
            return null; // storage refused (private windows, a full quota): a fresh start each time
        }
    }

    save(text) {
        if (typeof text !== 'string' || text.length === 0) return false;
        try {
            if (this.storage?.getItem(STORAGE_KEY) !== text) this.storage?.setItem(STORAGE_KEY, text);
            return true;
        } catch {
            return false;
        }
    }
}
