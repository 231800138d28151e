// SPDX-License-Identifier: GPL-3.0-or-later
// The texts the device draws into its picture (the display's field captions, the feedback module's
// numbers) and the width of the help labels, measured with the browser's fonts as the desktop measures
// them with its own: the cell is the text's advance wide and the font's line high, filled with the
// brush first, the text on it at the top left.
export const PICTURE_FONT = '"DejaVu Sans", "Bitstream Vera Sans", Verdana, sans-serif';
export const HELP_LABEL_PIXELS = 17;
// A help label is as wide as its longest line and a few pixels of margin.
const LABEL_MARGIN = 4;

let scratch = null;
function context(width = 1, height = 1) {
    if (!scratch) scratch = new OffscreenCanvas(width, height);
    if (scratch.width < width) scratch.width = width;
    if (scratch.height < height) scratch.height = height;
    return scratch.getContext('2d', { willReadFrequently: true });
}

// Points to pixels as a screen of 96 dots an inch has them.
export function fontPixels(sizePt, pixelHeight) {
    return pixelHeight > 0 ? pixelHeight : Math.round((sizePt * 96) / 72);
}

export function cssColor(rgb) {
    return `#${(rgb & 0xffffff).toString(16).padStart(6, '0')}`;
}

function fontOf(pixels, bold) {
    return `${bold ? 'bold ' : ''}${pixels}px ${PICTURE_FONT}`;
}

// {rgba, width, height} in device pixels at `scale`: the cell the desktop fills for the same text.
export function drawTextCell({ text, sizePt, bold, pixelHeight, rgb, brushRgb, scale }) {
    const pixels = fontPixels(sizePt, pixelHeight);
    let ctx = context();
    ctx.font = fontOf(pixels, bold);
    const metrics = ctx.measureText(text);
    const logicalWidth = Math.max(1, Math.ceil(metrics.width));
    const ascent = metrics.fontBoundingBoxAscent ?? pixels * 0.8;
    const logicalHeight = Math.ceil(ascent + (metrics.fontBoundingBoxDescent ?? pixels * 0.2));
    const width = logicalWidth * scale;
    const height = logicalHeight * scale;
    ctx = context(width, height);
    ctx.setTransform(scale, 0, 0, scale, 0, 0);
    ctx.fillStyle = cssColor(brushRgb);
    ctx.fillRect(0, 0, logicalWidth, logicalHeight);
    ctx.font = fontOf(pixels, bold);
    ctx.textBaseline = 'alphabetic';
    ctx.fillStyle = cssColor(rgb);
    ctx.fillText(text, 0, ascent);
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    const rgba = new Uint8Array(ctx.getImageData(0, 0, width, height).data.buffer);
    return { rgba, width, height };
}

export function labelWidth(text) {
    const ctx = context();
    ctx.font = fontOf(HELP_LABEL_PIXELS, false);
    const lines = String(text).replace(/\r/g, '').split('\n');
    return Math.ceil(Math.max(0, ...lines.map((line) => ctx.measureText(line).width))) + LABEL_MARGIN;
}
