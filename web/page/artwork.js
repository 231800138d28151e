// SPDX-License-Identifier: GPL-3.0-or-later
// The device artwork the desktop draws, as images drawn at build time (artwork/SCALE/NAME.EXT, listed in
// artwork/sprites.json), decoded by the browser and handed to the library's sprites in the library's
// own order, at the picture's scale.
export const ARTWORK_FOLDER = 'artwork';

async function decode(url) {
    const response = await fetch(url);
    if (!response.ok) throw new Error(`${url}: ${response.status}`);
    const bitmap = await createImageBitmap(await response.blob(), { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
    const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
    const context = canvas.getContext('2d', { willReadFrequently: true });
    context.drawImage(bitmap, 0, 0);
    bitmap.close();
    return context.getImageData(0, 0, canvas.width, canvas.height);
}

// Which image of the listing a sprite of the library takes, by name; a sprite the artwork lacks or
// whose size differs is an error, not a picture drawn wrong.
export function artworkPlan(librarySprites, listing, scale, base = ARTWORK_FOLDER) {
    if (!listing.scales?.includes(scale)) throw new Error(`no artwork at scale ${scale}`);
    const byName = new Map(listing.sprites.map((s) => [s.name, s]));
    return librarySprites.map((sprite, id) => {
        const drawn = byName.get(sprite.name);
        if (!drawn) throw new Error(`no artwork for ${sprite.name}`);
        if (drawn.width !== sprite.width || drawn.height !== sprite.height)
            throw new Error(`artwork for ${sprite.name} is ${drawn.width}x${drawn.height}, not ${sprite.width}x${sprite.height}`);
        return {
            id,
            url: `${base}/${scale}/${sprite.name}.${listing.format ?? 'png'}`,
            width: sprite.width * scale,
            height: sprite.height * scale,
        };
    });
}

export async function loadArtwork(engine, scale, base = new URL(`${ARTWORK_FOLDER}/`, document.baseURI)) {
    const listing = await (await fetch(new URL('sprites.json', base))).json();
    const list = engine.sprites();
    const plan = artworkPlan(Array.isArray(list) ? list : list.sprites, listing, scale, base.href.replace(/\/$/, ''));
    const images = await Promise.all(plan.map((sprite) => decode(sprite.url)));
    plan.forEach((sprite, i) => {
        const image = images[i];
        if (image.width !== sprite.width || image.height !== sprite.height)
            throw new Error(`${sprite.url} is ${image.width}x${image.height}`);
        engine.setSprite(sprite.id, new Uint8Array(image.data.buffer));
    });
}
