// SPDX-License-Identifier: GPL-3.0-or-later
// The device artwork the desktop draws, as a few sheets of images drawn at build time
// (artwork/SCALE/sheetN.EXT, each sprite's place listed in artwork/sprites.json), decoded by the browser
// and handed to the library's sprites in the library's own order, at the picture's scale.
import { fetchFile } from './fetching.js';

export const ARTWORK_FOLDER = 'artwork';

function sheetUrls(listing, scale, base) {
    const format = listing.format === 'webp' ? 'webp' : 'png';
    return listing.sheets.map((_, n) => `${base}/${scale}/sheet${n}.${format}`);
}

// Where each sprite of the library lies on the sheets at `scale`, in device pixels, by name; a sprite
// the artwork lacks, whose size differs or whose place leaves its sheet is an error, not a picture
// drawn wrong.
export function artworkPlan(librarySprites, listing, scale, base = ARTWORK_FOLDER) {
    if (!listing.scales?.includes(scale) || !Array.isArray(listing.sheets)) throw new Error(`no artwork at scale ${scale}`);
    const urls = sheetUrls(listing, scale, base);
    const byName = new Map(listing.sprites.map((s) => [s.name, s]));
    return librarySprites.map((sprite, id) => {
        const drawn = byName.get(sprite.name);
        if (!drawn) throw new Error(`no artwork for ${sprite.name}`);
        if (drawn.width !== sprite.width || drawn.height !== sprite.height)
            throw new Error(`artwork for ${sprite.name} is ${drawn.width}x${drawn.height}, not ${sprite.width}x${sprite.height}`);
        const sheet = listing.sheets[drawn.sheet];
        const inside = sheet && Number.isInteger(drawn.x) && Number.isInteger(drawn.y) && drawn.x >= 0 &&
            drawn.y >= 0 && drawn.x + drawn.width <= sheet.width && drawn.y + drawn.height <= sheet.height;
        if (!inside)
            throw new Error(`artwork for ${sprite.name} lies outside its sheet`);
        return {
            id,
            url: urls[drawn.sheet],
            x: drawn.x * scale,
            y: drawn.y * scale,
            width: sprite.width * scale,
            height: sprite.height * scale,
        };
    });
}

async function decode(url) {
    const bytes = await fetchFile(url);
    // A failure names the sheet, as one to fetch it does.
    const bitmap = await createImageBitmap(new Blob([bytes]), { colorSpaceConversion: 'none', premultiplyAlpha: 'none' })
        .catch((error) => { throw new Error(`${url}: ${error.message}`); });
    const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
    const context = canvas.getContext('2d', { willReadFrequently: true });
    context.drawImage(bitmap, 0, 0);
    bitmap.close();
    // Read at once, while the module still compiles: a canvas draws only when it is read.
    return context.getImageData(0, 0, canvas.width, canvas.height);
}

// The listing web/site.sh puts in the page itself; null where it did not.
function embeddedListing() {
    const data = document.getElementById('artwork-listing');
    return data ? JSON.parse(data.textContent) : null;
}

// The piston's travel frames, drawn only as it moves: a sheet of nothing else is not needed for the
// first picture (whose piston stands at a frame of its own sheet, as a rule).
const PISTON_FRAME = /^(Kolben|SpringPiston)\d/;

// The numbers of the sheets that hold nothing but piston frames, handed over after the first picture;
// never all of them.
export function laterSheets(listing) {
    const later = listing.sheets.map((_, n) => listing.sprites.some((s) => s.sheet === n) &&
        listing.sprites.every((s) => s.sheet !== n || PISTON_FRAME.test(s.name)));
    return later.every(Boolean) ? [] : later.flatMap((isLater, n) => (isLater ? [n] : []));
}

// A sheet decoded and of the size the listing gives it at `scale`.
async function decodeSheet(url, { width, height }, scale) {
    const sheet = await decode(url);
    if (sheet.width !== width * scale || sheet.height !== height * scale)
        throw new Error(`${url} is ${sheet.width}x${sheet.height}, not ${width * scale}x${height * scale}`);
    return sheet;
}

// The listing, and the sheets at `scale` fetched and decoded without the module, so that this runs
// while the module loads and compiles: {scale, listing, base, first: url -> a promise of its ImageData
// for the sheets the first picture needs, each as it is decoded, later: a promise of url -> ImageData
// for the sheets of piston frames, decoded after the others}.
export async function fetchArtwork(scale, base = new URL(`${ARTWORK_FOLDER}/`, document.baseURI)) {
    const listing = embeddedListing() ?? await fetchFile(new URL('sprites.json', base), 'json');
    if (!listing.scales?.includes(scale) || !Array.isArray(listing.sheets)) throw new Error(`no artwork at scale ${scale}`);
    const folder = base.href.replace(/\/$/, '');
    const urls = sheetUrls(listing, scale, folder);
    const later = new Set(laterSheets(listing));
    const decoding = (n) => [urls[n], decodeSheet(urls[n], listing.sheets[n], scale)];
    const numbers = urls.map((_, n) => n);
    const first = new Map(numbers.filter((n) => !later.has(n)).map(decoding));
    const firstDecoded = Promise.all(first.values());
    firstDecoded.catch(() => {}); // the page reports it when it takes them
    const laterSheetsDecoded = firstDecoded.then(async () => {
        const rest = numbers.filter((n) => later.has(n)).map(decoding);
        return new Map(await Promise.all(rest.map(async ([url, sheet]) => [url, await sheet])));
    });
    laterSheetsDecoded.catch(() => {});
    return { scale, listing, base: folder, first, later: laterSheetsDecoded };
}

// The artwork of this screen's pixel ratio, asked for once: the page's head starts it before the page's
// other modules have arrived, so that the sheets are decoded while those load and the module compiles,
// and the page takes the same promise when it starts. The head's script and the page's are bundled
// apart, each with its own copy of this module, so the promise is kept on the window.
const SCREEN_ARTWORK = Symbol.for('vp7.screenArtwork');
export function artworkOfScreen() {
    window[SCREEN_ARTWORK] ??= fetchArtwork(window.devicePixelRatio > 1 ? 2 : 1);
    return window[SCREEN_ARTWORK];
}

function spritePlan(engine, artwork) {
    const list = engine.sprites();
    return artworkPlan(Array.isArray(list) ? list : list.sprites, artwork.listing, artwork.scale, artwork.base);
}

function giveSheet(engine, plan, url, sheet) {
    engine.setSheet(sheet.data, sheet.width, sheet.height, plan.filter((sprite) => sprite.url === url));
}

// The decoded sheets (url -> ImageData) handed to the library, each with the sprites that lie on it.
export function giveArtwork(engine, artwork, sheets) {
    const plan = spritePlan(engine, artwork);
    for (const [url, sheet] of sheets) giveSheet(engine, plan, url, sheet);
}

// The sheets the first picture needs, each handed to the library as soon as it is decoded, so that the
// sprites are cut from one while the next still decodes; `given()` is called after each.
export async function giveFirstSheets(engine, artwork, given = () => {}) {
    const plan = spritePlan(engine, artwork);
    await Promise.all([...artwork.first].map(async ([url, decoding]) => {
        giveSheet(engine, plan, url, await decoding);
        given();
    }));
}
