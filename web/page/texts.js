// SPDX-License-Identifier: GPL-3.0-or-later
// The page's own words, in the device's two languages; the device's captions come from the device.
export const TEXTS = {
    de: {
        view: 'Ansicht',
        fit: 'An Fenster anpassen',
        loading: 'Die Nachbildung wird geladen …',
        failed: 'Die Nachbildung konnte nicht starten',
        continue: 'Weiter mit Mausklick...',
        tooLarge: 'Die Datei ist zu groß für eine Konfiguration.',
        title: 'KELDAR-VP7 Nachbildung',
    },
    en: {
        view: 'View',
        fit: 'Fit to window',
        loading: 'Loading the simulator …',
        failed: 'The simulator could not start',
        continue: 'Continue with a mouse click...',
        tooLarge: 'The file is too large for a configuration.',
        title: 'KELDAR-VP7 simulator',
    },
};

// The language the device shows: its English item checked, or German.
export function formLanguage(menuItems) {
    return menuItems.find((item) => item.name === 'English1')?.checked ? 'en' : 'de';
}

// German when the browser's first language is, English otherwise.
export function browserLanguage(languages) {
    const first = (languages ?? []).find((tag) => typeof tag === 'string' && tag.length > 0) ?? 'en';
    return first.toLowerCase().startsWith('de') ? 'de' : 'en';
}
