// SPDX-License-Identifier: GPL-3.0-or-later
// The bench page's script: the page's module, loaded through the page's own engine from the folder
// ?module= names (vp7.js with its zstd), runs strokes.vp7s line by line. The sprites are one flat
// colour each, so the figure is the simulation's and the picture's drawing, not the artwork's download.
// #figure gets {ms} or {error}.
import { loadEngine } from '../engine.js';

const FLAT_GREY = 0x80;
const SCALE = 1;
const BYTES_A_PIXEL = 4;

async function measure() {
    const folder = new URL(`../${new URLSearchParams(location.search).get('module') ?? '.'}/`, location.href);
    const [engine, script] = await Promise.all([
        loadEngine(folder),
        fetch('strokes.vp7s').then((response) => response.text()),
    ]);
    engine.create(SCALE);
    // One flat sheet as large as the largest sprite, every sprite cut from its top left.
    const sprites = engine.sprites();
    const width = Math.max(...sprites.map((sprite) => sprite.width)) * SCALE;
    const height = Math.max(...sprites.map((sprite) => sprite.height)) * SCALE;
    engine.setSheet(new Uint8Array(width * height * BYTES_A_PIXEL).fill(FLAT_GREY), width, height,
        sprites.map((_, id) => ({ id, x: 0, y: 0 })));
    const lines = script.split('\n').filter((line) => line.trim() && !line.startsWith('#'));
    const begin = performance.now();
    for (const line of lines) {
        const result = engine.run(line);
        if (!result.ok) throw new Error(`${line}: ${result.error}`);
    }
    return { ms: performance.now() - begin };
}

const figure = document.getElementById('figure');
measure()
    .then((result) => (figure.textContent = JSON.stringify(result)))
    .catch((error) => (figure.textContent = JSON.stringify({ error: String(error) })));
