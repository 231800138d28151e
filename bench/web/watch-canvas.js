// SPDX-License-Identifier: GPL-3.0-or-later
// Put into the page before its own scripts: notes in window.vp7Bench when the library's pixels reach
// the visible canvas (a drawing from a canvas that was given pixels; shown: the start of the frame that
// paints it) and when a key came up.
window.vp7Bench = { pictures: [], keys: [] };
const givenPixels = new WeakSet();
const putImageData = OffscreenCanvasRenderingContext2D.prototype.putImageData;
OffscreenCanvasRenderingContext2D.prototype.putImageData = function (...args) {
    givenPixels.add(this.canvas);
    return putImageData.apply(this, args);
};
const drawImage = CanvasRenderingContext2D.prototype.drawImage;
CanvasRenderingContext2D.prototype.drawImage = function (source, ...args) {
    if (givenPixels.has(source) && this.canvas.isConnected) {
        const drawn = performance.now();
        requestAnimationFrame(() => window.vp7Bench.pictures.push({ drawn, shown: performance.now() }));
    }
    return drawImage.call(this, source, ...args);
};
window.addEventListener('keyup', (event) => window.vp7Bench.keys.push(event.timeStamp), true);
