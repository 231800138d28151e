// SPDX-License-Identifier: GPL-3.0-or-later
// The device picture on a canvas: the library's picture at the artwork's scale is mirrored into an
// offscreen canvas a changed rectangle at a time, and the shown canvas, at the screen's pixel ratio and
// the page's zoom, repaints only what that rectangle covers. The pointer, fingers and keys on it go to
// the device as scenario lines.
import {
    LONG_PRESS_MS,
    buttonWord,
    deviceKeyOf,
    downLine,
    moveLine,
    picturePoint,
    pressLine,
    releaseLine,
    shownRect,
    upLine,
} from './input.js';

// The device keys' caps as the artwork draws them (centres on the picture); a key held from the
// keyboard shows pressed there.
const KEY_CAPS = { mode: { x: 379.5, y: 355.5 }, dec: { x: 431.5, y: 355.5 }, inc: { x: 483.5, y: 355.5 } };

// Whether `pixels`, the RGBA rows of rectangle [x, y, w, h], are those `shown` (rows of `stride` bytes)
// holds there: compared a pixel at a time, four bytes in one.
function samePixels(shown, stride, pixels, [x, y, w, h]) {
    const shownWords = new Uint32Array(shown.buffer, shown.byteOffset, shown.length >> 2);
    const words = pixels.byteOffset % 4 === 0
        ? new Uint32Array(pixels.buffer, pixels.byteOffset, pixels.length >> 2)
        : new Uint32Array(pixels.slice().buffer);
    for (let row = 0; row < h; ++row) {
        const from = ((y + row) * stride) / 4 + x, at = row * w;
        for (let i = 0; i < w; ++i) if (shownWords[from + i] !== words[at + i]) return false;
    }
    return true;
}

export class DevicePicture {
    // `size`: the picture's logical size; `scale`: its device pixels per logical pixel;
    // `send(line)`: runs a line on the device and lets the page follow what changed.
    constructor(canvas, engine, { size, scale, send }) {
        this.canvas = canvas;
        this.engine = engine;
        this.size = size;
        this.scale = scale;
        this.send = send;
        this.zoom = 1;
        this.mirror = new OffscreenCanvas(size.width * scale, size.height * scale);
        this.mirrorContext = this.mirror.getContext('2d');
        this.context = canvas.getContext('2d', { alpha: false });
        this.heldKey = null; // {key, right} while a keyboard key holds a device key
        this.pointers = new Map(); // pointerId -> {button, point, timer, decided}
        this.lastMove = null;
        this.keyCap = document.createElement('div');
        this.keyCap.className = 'key-held';
        this.keyCap.hidden = true;
        // The device starts while the artwork still decodes and draws on empty sprites until then:
        // nothing of that is taken or shown, and the canvas stays out of sight.
        this.artworkIn = false;
        canvas.style.visibility = 'hidden';
        this.listen();
        this.setZoom(1);
    }

    // The artwork is in and the device has drawn its picture again with it: shown from now on.
    showArtwork() {
        this.artworkIn = true;
        this.canvas.style.visibility = '';
        this.updateAll();
    }

    setZoom(zoom) {
        this.zoom = zoom;
        const ratio = window.devicePixelRatio || 1;
        this.canvas.style.width = `${this.size.width * zoom}px`;
        this.canvas.style.height = `${this.size.height * zoom}px`;
        this.canvas.width = Math.round(this.size.width * zoom * ratio);
        this.canvas.height = Math.round(this.size.height * zoom * ratio);
        this.factor = this.canvas.width / this.mirror.width;
        this.present([0, 0, this.mirror.width, this.mirror.height]);
    }

    // Takes the library's pixels of `dirty` (device pixels) and shows them. The device draws parts of
    // its picture again as they were (the display, each second in RUN): those the page leaves alone,
    // so that an idle page does not repaint.
    update(dirty) {
        const [x, y, w, h] = dirty;
        if (w <= 0 || h <= 0 || !this.artworkIn) return;
        const pixels = this.engine.pictureRgba(x, y, w, h);
        if (!this.keep(pixels, dirty)) return;
        this.mirrorContext.putImageData(new ImageData(pixels, w, h), x, y);
        this.present(dirty);
    }

    updateAll() {
        this.shownPixels = null;
        this.update([0, 0, this.mirror.width, this.mirror.height]);
    }

    // Keeps the rectangle's pixels as shown; false when they are the ones shown already.
    keep(pixels, dirty) {
        const [x, y, w, h] = dirty;
        const stride = this.mirror.width * 4;
        if (!this.shownPixels) {
            this.shownPixels = new Uint8ClampedArray(stride * this.mirror.height);
        } else if (samePixels(this.shownPixels, stride, pixels, dirty)) {
            return false;
        }
        for (let row = 0; row < h; ++row)
            this.shownPixels.set(pixels.subarray(row * w * 4, (row + 1) * w * 4), (y + row) * stride + x * 4);
        return true;
    }

    present(dirty) {
        const [left, top, width, height] = shownRect(dirty, this.factor, this.canvas);
        if (width === 0 || height === 0) return;
        const f = this.factor;
        const ctx = this.context;
        ctx.imageSmoothingEnabled = f !== 1;
        ctx.imageSmoothingQuality = 'high';
        ctx.drawImage(this.mirror, left / f, top / f, width / f, height / f, left, top, width, height);
    }

    pointOf(event) {
        const rect = this.canvas.getBoundingClientRect();
        return picturePoint(event.clientX, event.clientY, rect, rect.width / this.size.width,
            this.size.width, this.size.height);
    }

    // Pointer input from the canvas and from what lies over it (the latch circles): the point is
    // always taken on the canvas, the library decides what it reaches.
    attachOverlay(element) {
        element.addEventListener('pointerdown', (e) => this.pointerDown(e));
        element.addEventListener('contextmenu', (e) => e.preventDefault());
    }

    listen() {
        const c = this.canvas;
        c.addEventListener('pointerdown', (e) => this.pointerDown(e));
        c.addEventListener('pointermove', (e) => this.pointerMove(e));
        c.addEventListener('pointerup', (e) => this.pointerUp(e));
        c.addEventListener('pointercancel', (e) => this.pointerUp(e));
        c.addEventListener('lostpointercapture', (e) => this.pointerUp(e));
        c.addEventListener('contextmenu', (e) => e.preventDefault());
        window.addEventListener('keydown', (e) => this.keyDown(e));
        window.addEventListener('keyup', (e) => this.keyUp(e));
        // A key or a button held while the page loses the focus is let go, as the desktop's window does.
        window.addEventListener('blur', () => this.letGo());
        document.addEventListener('visibilitychange', () => document.hidden && this.letGo());
    }

    // The pressed look of a key held from the keyboard, over the picture placed at `origin` (form points).
    placeKeyCap(form, origin) {
        this.origin = origin;
        form.append(this.keyCap);
    }

    showKeyHeld(key) {
        const centre = key && KEY_CAPS[key];
        this.keyCap.hidden = !centre || !this.origin;
        if (this.keyCap.hidden) return;
        this.keyCap.style.setProperty('--x', this.origin.left + centre.x);
        this.keyCap.style.setProperty('--y', this.origin.top + centre.y);
    }

    pointerDown(event) {
        event.preventDefault();
        this.canvas.focus({ preventScroll: true });
        this.releaseKey(); // one pointer holds one key
        this.canvas.setPointerCapture(event.pointerId);
        const point = this.pointOf(event);
        if (event.pointerType !== 'touch') {
            const button = buttonWord(event.button);
            this.pointers.set(event.pointerId, { button, point, decided: true });
            this.send(downLine(point, button, event.shiftKey));
            return;
        }
        // A second finger is the right button at its own place, and a first finger still undecided only
        // held the page: it presses nothing. A first finger waits to see whether it is a tap (the left
        // button) or a long press (the right one).
        const fingers = [...this.pointers.values()].filter((p) => p.touch);
        if (fingers.length > 0) {
            for (const finger of fingers.filter((f) => !f.decided)) {
                clearTimeout(finger.timer);
                finger.decided = finger.cancelled = true;
            }
            this.pointers.set(event.pointerId, { button: 'right', point, decided: true, touch: true });
            this.send(downLine(point, 'right', false));
            return;
        }
        const touch = { button: 'left', point, decided: false, touch: true };
        touch.timer = setTimeout(() => this.decideTouch(touch, 'right'), LONG_PRESS_MS);
        this.pointers.set(event.pointerId, touch);
    }

    decideTouch(touch, button) {
        if (touch.decided) return;
        clearTimeout(touch.timer);
        touch.decided = true;
        touch.button = button;
        this.send(downLine(touch.point, button, false));
    }

    pointerMove(event) {
        const held = this.pointers.get(event.pointerId);
        const point = this.pointOf(event);
        if (held && (!held.decided || held.cancelled)) return; // a finger waiting, or only holding the page
        if (held) held.point = point;
        if (this.heldKey || (this.lastMove && this.lastMove.x === point.x && this.lastMove.y === point.y)) return;
        this.lastMove = point;
        this.send(moveLine(point));
    }

    pointerUp(event) {
        const held = this.pointers.get(event.pointerId);
        if (!held) return;
        this.pointers.delete(event.pointerId);
        if (held.cancelled) return;
        const point = event.type === 'pointerup' ? this.pointOf(event) : held.point;
        if (!held.decided) this.decideTouch(held, 'left');
        this.send(upLine(point, held.button));
    }

    keyDown(event) {
        // Typing in a field or answering a dialog is no device key; a check box with the focus takes only
        // Space and the arrows for itself.
        if (event.target.closest?.('input[type="text"], textarea, select') || document.querySelector('.overlay')) return;
        const focusedControl = document.activeElement && document.activeElement !== document.body &&
            document.activeElement !== this.canvas;
        const mapped = deviceKeyOf(event, focusedControl);
        if (!mapped) return;
        event.preventDefault();
        if (event.repeat || this.heldKey || this.pointers.size > 0) return;
        this.heldKey = mapped;
        this.showKeyHeld(mapped.key);
        this.send(pressLine(mapped));
    }

    keyUp(event) {
        if (!this.heldKey) return;
        const mapped = deviceKeyOf(event, false);
        // Shift let go first turns "_" back into "-": the same device key still.
        if (mapped && mapped.key === this.heldKey.key) this.releaseKey();
    }

    releaseKey() {
        const held = this.heldKey;
        if (!held) return;
        this.heldKey = null;
        this.showKeyHeld(null);
        this.send(releaseLine(held));
    }

    letGo() {
        this.releaseKey();
        for (const [id, held] of this.pointers) {
            this.pointers.delete(id);
            if (!held.decided || held.cancelled) {
                clearTimeout(held.timer);
                continue; // a finger not yet decided, or only holding the page, pressed nothing
            }
            this.send(upLine(held.point, held.button));
        }
    }
}
