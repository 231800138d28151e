// SPDX-License-Identifier: GPL-3.0-or-later
// What the user's keys and pointer mean to the device, as scenario-language lines: the page sends
// these and the library decides what lies at a point, how long a key is held and what repeats.

// The keyboard as on the desktop: M or Space the mode key, "-" or Left decrease, "+" or Right increase;
// Shift gives the right button's function (the latch). Space and the arrows belong to a focused control
// when one has the focus. Ctrl, Alt or Meta make a shortcut of another kind.
const KEYS = {
    m: { key: 'mode', pictureOnly: false },
    M: { key: 'mode', pictureOnly: false },
    ' ': { key: 'mode', pictureOnly: true },
    ArrowLeft: { key: 'dec', pictureOnly: true },
    ArrowRight: { key: 'inc', pictureOnly: true },
    '-': { key: 'dec', pictureOnly: false },
    _: { key: 'dec', pictureOnly: false, shifted: true },
    '+': { key: 'inc', pictureOnly: false },
};

// {key, right} for a keydown, or null when it is no device key. `+` needs Shift on many layouts,
// so only the keypad's "+" tells Shift apart.
export function deviceKeyOf(event, controlFocused = false) {
    if (event.ctrlKey || event.altKey || event.metaKey) return null;
    const mapped = KEYS[event.key];
    if (!mapped || (mapped.pictureOnly && controlFocused)) return null;
    let right = event.shiftKey;
    if (mapped.shifted) right = true;
    if (event.key === '+') right = event.shiftKey && event.code === 'NumpadAdd';
    return { key: mapped.key, right };
}

export function pressLine({ key, right }) {
    return right ? `press ${key} right shift` : `press ${key}`;
}

export function releaseLine({ key, right }) {
    return right ? `release ${key} right` : `release ${key}`;
}

// A point on the page (client coordinates) in picture coordinates, kept on the picture: the runner
// takes no point outside it, and a drag off the picture goes on at its edge.
export function picturePoint(clientX, clientY, rect, zoom, width, height) {
    const clamp = (v, most) => Math.min(most - 1, Math.max(0, Math.floor(v)));
    return { x: clamp((clientX - rect.left) / zoom, width), y: clamp((clientY - rect.top) / zoom, height) };
}

export function buttonWord(button) {
    return button === 2 ? 'right' : button === 1 ? 'middle' : 'left';
}

export function downLine({ x, y }, button, shift) {
    return `down ${x} ${y} ${button}${shift ? ' shift' : ''}`;
}

export function upLine({ x, y }, button) {
    return `up ${x} ${y} ${button}`;
}

export function moveLine({ x, y }) {
    return `move ${x} ${y}`;
}

// A finger held this long without lifting is the right button: the latch.
export const LONG_PRESS_MS = 600;

// The zoom steps of the menu, and the zoom that fits `size` into `room` (never above the largest step).
export const ZOOM_STEPS = [50, 75, 100, 125, 150, 175, 200];

export function fitZoom(size, room) {
    const fit = Math.min(room.width / size.width, room.height / size.height);
    const least = ZOOM_STEPS[0] / 100;
    const most = ZOOM_STEPS[ZOOM_STEPS.length - 1] / 100;
    return Math.min(most, Math.max(least, Math.floor(fit * 100) / 100));
}

// The rectangle of the shown canvas (backing pixels) that a rectangle of the picture's device pixels
// covers, outwards, a pixel wider on each side where the smoothing spreads a change.
export function shownRect([x, y, w, h], factor, limit) {
    const margin = factor === 1 ? 0 : 1;
    const left = Math.max(0, Math.floor(x * factor) - margin);
    const top = Math.max(0, Math.floor(y * factor) - margin);
    const right = Math.min(limit.width, Math.ceil((x + w) * factor) + margin);
    const bottom = Math.min(limit.height, Math.ceil((y + h) * factor) + margin);
    return [left, top, Math.max(0, right - left), Math.max(0, bottom - top)];
}
