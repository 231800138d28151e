// SPDX-License-Identifier: GPL-3.0-or-later
// A tool panel moved by its title bar, as the desktop's tool windows are: with the mouse, a finger or
// a pen, and from the keyboard with the arrows while the bar has the focus. The panel stays inside the
// page's area below the menus, so its bar can always be reached again; where the user put it is kept
// for the visit (the tab's session), in form points, so that a zoom keeps it over the same spot of the
// device, and the device's own place for the panel no longer moves it.

const STORAGE_PREFIX = 'vp7.panel.';
// A step of the arrow keys in form points; with Shift, a finer one.
const KEY_STEP = 10;
const FINE_KEY_STEP = 1;
const ARROWS = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };

// The top left corner (client pixels) of a box `size` wanted at `wanted`, moved the least so that it
// lies inside `bounds` ({left, top, right, bottom}); a box larger than the bounds keeps its top left
// corner inside them, where its title bar is.
export function keptInside(wanted, size, bounds) {
    const clamp = (v, low, high) => Math.max(low, Math.min(v, Math.max(low, high)));
    return {
        left: clamp(wanted.left, bounds.left, bounds.right - size.width),
        top: clamp(wanted.top, bounds.top, bounds.bottom - size.height),
    };
}

function storedPlace(key) {
    try {
        const place = JSON.parse(sessionStorage.getItem(STORAGE_PREFIX + key));
        return Number.isFinite(place?.x) && Number.isFinite(place?.y) ? place : null;
    } catch {
        return null;
    }
}

function storePlace(key, place) {
    try {
        sessionStorage.setItem(STORAGE_PREFIX + key, JSON.stringify(place));
    } catch {
        // kept while the panel lives only
    }
}

export class PanelMover {
    // `panel` is placed by --x and --y (form points) inside its positioned parent; `bar` moves it;
    // `key` names its place among the page's panels.
    constructor(panel, bar, key) {
        this.panel = panel;
        this.bar = bar;
        this.key = key;
        this.place = storedPlace(key); // {x, y} where the user put it, or null
        this.drag = null;
        bar.classList.add('panel-handle');
        bar.tabIndex = 0;
        bar.addEventListener('pointerdown', (e) => this.pointerDown(e));
        bar.addEventListener('pointermove', (e) => this.pointerMove(e));
        for (const ending of ['pointerup', 'pointercancel', 'lostpointercapture'])
            bar.addEventListener(ending, () => this.pointerUp());
        bar.addEventListener('keydown', (e) => this.keyDown(e));
    }

    // Where the panel goes when the device places it at (left, top): the user's place wins.
    placeFor(left, top) {
        return this.place ? { left: this.place.x, top: this.place.y } : { left, top };
    }

    zoom() {
        return Number(getComputedStyle(this.panel).getPropertyValue('--zoom')) || 1;
    }

    // The page's area for the panel: the part of the scrolling area below the menus that is in view.
    bounds() {
        const area = (this.panel.closest('#scroller') ?? document.documentElement).getBoundingClientRect();
        return {
            left: Math.max(0, area.left),
            top: Math.max(0, area.top),
            right: Math.min(document.documentElement.clientWidth, area.right),
            bottom: Math.min(document.documentElement.clientHeight, area.bottom),
        };
    }

    // Puts the panel's top left corner at (left, top) in client pixels, kept inside the page.
    moveTo(left, top) {
        const box = this.panel.getBoundingClientRect();
        const inside = keptInside({ left, top }, box, this.bounds());
        const origin = this.panel.offsetParent?.getBoundingClientRect() ?? { left: 0, top: 0 };
        const zoom = this.zoom();
        this.place = { x: (inside.left - origin.left) / zoom, y: (inside.top - origin.top) / zoom };
        this.panel.style.setProperty('--x', this.place.x);
        this.panel.style.setProperty('--y', this.place.y);
        storePlace(this.key, this.place);
    }

    pointerDown(event) {
        // The close button stays a button; only the main button or a finger drags.
        if (event.button !== 0 || event.target.closest('button')) return;
        event.preventDefault();
        const box = this.panel.getBoundingClientRect();
        this.drag = { id: event.pointerId, dx: event.clientX - box.left, dy: event.clientY - box.top };
        this.bar.setPointerCapture(event.pointerId);
        this.panel.classList.add('moving');
    }

    pointerMove(event) {
        if (this.drag?.id !== event.pointerId) return;
        this.moveTo(event.clientX - this.drag.dx, event.clientY - this.drag.dy);
    }

    pointerUp() {
        if (!this.drag) return;
        this.drag = null;
        this.panel.classList.remove('moving');
    }

    keyDown(event) {
        const arrow = ARROWS[event.key];
        if (!arrow || event.ctrlKey || event.altKey || event.metaKey) return;
        event.preventDefault();
        event.stopPropagation(); // the arrows here move the panel, not the device's keys
        const step = (event.shiftKey ? FINE_KEY_STEP : KEY_STEP) * this.zoom();
        const box = this.panel.getBoundingClientRect();
        this.moveTo(box.left + arrow[0] * step, box.top + arrow[1] * step);
    }
}
