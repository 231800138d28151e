// SPDX-License-Identifier: GPL-3.0-or-later
// The page's rules that need no browser: keys and points to scenario lines, zoom and repaint
// rectangles, radio items' places, file names, languages, quoting and the artwork's listing.
import assert from 'node:assert/strict';
import { deviceKeyOf, fitZoom, picturePoint, pressLine, releaseLine, shownRect } from '../page/input.js';
import { radioItemPlace } from '../page/controls.js';
import { safeFileName } from '../page/files.js';
import { browserLanguage } from '../page/texts.js';
import { quoted, scaleDialogLine } from '../page/engine.js';
import { artworkPlan, laterSheets } from '../page/artwork.js';
import { fetchFile } from '../page/fetching.js';
import { StoredSettings, firstSettings } from '../page/settings.js';

export const needsSite = false;

function key(k, { shift = false, ctrl = false, code = '' } = {}) {
    return { key: k, code, shiftKey: shift, ctrlKey: ctrl, altKey: false, metaKey: false };
}

export const tests = [
    {
        name: 'keys press and release the device keys as on the desktop',
        run() {
            const rows = [
                // event, a control focused, press line, release line
                [key('m'), false, 'press mode', 'release mode'],
                [key('M', { shift: true }), false, 'press mode right shift', 'release mode right'],
                [key(' '), false, 'press mode', 'release mode'],
                [key(' '), true, null, null],
                [key('ArrowLeft'), false, 'press dec', 'release dec'],
                [key('ArrowRight', { shift: true }), false, 'press inc right shift', 'release inc right'],
                [key('ArrowRight'), true, null, null],
                [key('-'), true, 'press dec', 'release dec'],
                [key('_', { shift: true }), false, 'press dec right shift', 'release dec right'],
                [key('+', { shift: true, code: 'BracketRight' }), false, 'press inc', 'release inc'],
                [key('+', { shift: true, code: 'NumpadAdd' }), false, 'press inc right shift', 'release inc right'],
                [key('m', { ctrl: true }), false, null, null],
                [key('x'), false, null, null],
            ];
            for (const [event, focused, press, release] of rows) {
                const mapped = deviceKeyOf(event, focused);
                assert.equal(mapped && pressLine(mapped), press, JSON.stringify(event));
                assert.equal(mapped && releaseLine(mapped), release, JSON.stringify(event));
            }
        },
    },
    {
        name: 'a point on the page is a point on the picture, kept on it',
        run() {
            const rect = { left: 100, top: 50 };
            const rows = [
                // clientX, clientY, zoom, expected
                [100, 50, 1, { x: 0, y: 0 }],
                [478.9, 406.2, 1, { x: 378, y: 356 }],
                [856, 762, 2, { x: 378, y: 356 }],
                [289, 228, 0.5, { x: 378, y: 356 }],
                [20, 10, 1, { x: 0, y: 0 }],
                [5000, 5000, 1, { x: 623, y: 696 }],
            ];
            for (const [x, y, zoom, expected] of rows)
                assert.deepEqual(picturePoint(x, y, rect, zoom, 624, 697), expected, `${x},${y} at ${zoom}`);
        },
    },
    {
        name: 'fit to window takes the largest zoom that fits, within the menu steps',
        run() {
            const form = { width: 1017, height: 715 };
            const rows = [
                [{ width: 1017, height: 715 }, 1],
                [{ width: 4000, height: 4000 }, 2],
                [{ width: 200, height: 200 }, 0.5],
                [{ width: 1400, height: 700 }, 0.97],
                [{ width: 762, height: 2000 }, 0.74],
            ];
            for (const [room, expected] of rows) assert.equal(fitZoom(form, room), expected, JSON.stringify(room));
        },
    },
    {
        name: 'a changed rectangle repaints what it covers on the shown canvas',
        run() {
            const rows = [
                // device rectangle, canvas pixels per device pixel, canvas rectangle
                [[10, 20, 30, 40], 1, [10, 20, 30, 40]],
                [[10, 20, 30, 40], 2, [19, 39, 62, 82]],
                [[11, 21, 3, 3], 0.5, [4, 9, 4, 4]],
                [[0, 0, 1248, 1394], 1, [0, 0, 1248, 1394]],
                [[1240, 1390, 8, 4], 1.5, [1859, 2084, 13, 7]],
            ];
            for (const [dirty, factor, expected] of rows) {
                const limit = { width: Math.round(1248 * factor), height: Math.round(1394 * factor) };
                assert.deepEqual(shownRect(dirty, factor, limit), expected, `${dirty} x${factor}`);
            }
        },
    },
    {
        name: 'radio items stand in rows below the group caption',
        run() {
            const rows = [
                [{ width: 185, height: 97, items: ['a', 'b', 'c', 'd'] }, [16, 34, 52, 70], 169],
                [{ width: 113, height: 57, items: ['%', 'mA'] }, [16, 33], 97],
                [{ width: 121, height: 30, items: ['x', 'y'] }, [16, 33], 105],
            ];
            for (const [group, tops, width] of rows) {
                assert.deepEqual(group.items.map((_, i) => radioItemPlace(group, i).top), tops);
                assert.equal(radioItemPlace(group, 0).width, width);
            }
        },
    },
    {
        name: 'uploaded file names stay plain names inside the files folder',
        run() {
            const rows = [
                ['config.vp7', 'config.vp7'],
                ['../../Config/VP7.ini', 'VP7.ini'],
                ['C:\\Users\\a\\Ventil 1.vp7', 'Ventil_1.vp7'],
                ['.hidden', 'hidden'],
                ['..', 'config.vp7'],
                ['"quoted" name.vp7', '_quoted__name.vp7'],
                ['', 'config.vp7'],
            ];
            for (const [name, expected] of rows) assert.equal(safeFileName(name), expected, name);
        },
    },
    {
        name: 'the first start takes the browser language, German or English',
        run() {
            const rows = [
                [['de-AT', 'en'], 'de', 'Sprache=Deutsch'],
                [['DE'], 'de', 'Sprache=Deutsch'],
                [['en-US', 'de'], 'en', 'Sprache=English'],
                [['fr-FR'], 'en', 'Sprache=English'],
                [[], 'en', 'Sprache=English'],
                [undefined, 'en', 'Sprache=English'],
            ];
            for (const [languages, language, line] of rows) {
                assert.equal(browserLanguage(languages), language, String(languages));
                assert.match(firstSettings(language), new RegExp(`^\\[Config\\]\\r\\n${line}\\r\\n$`));
            }
        },
    },
    {
        name: 'settings storage that refuses leaves the page running',
        run() {
            const refusing = {
                getItem() { throw new Error('denied'); },
                setItem() { throw new Error('quota'); },
            };
            const settings = new StoredSettings(refusing);
            assert.equal(settings.load(), null);
            assert.equal(settings.save('[Config]'), false);
            const kept = new Map();
            const working = new StoredSettings({ getItem: (k) => kept.get(k) ?? null, setItem: (k, v) => kept.set(k, v) });
            assert.equal(working.save(''), false);
            assert.equal(working.save('[Config]\r\n'), true);
            assert.equal(working.load(), '[Config]\r\n');
        },
    },
    {
        name: 'texts are quoted as the scenario language reads them',
        run() {
            const rows = [
                ['50', '"50"'],
                ['a "b"', '"a \\"b\\""'],
                ['back\\slash', '"back\\x5cslash"'],
                ['two\nlines\t', '"two\\x0alines\\x09"'],
                ['Größe', '"Größe"'],
            ];
            for (const [text, expected] of rows) assert.equal(quoted(text), expected, text);
        },
    },
    {
        name: 'the scale dialog texts become two plain words',
        run() {
            const rows = [
                [{ xe: '100', xa: '0' }, 'scaledialog 100 0'],
                [{ xe: ' 50,5 ', xa: '1 0' }, 'scaledialog 50,5 10'],
                [{ xe: '', xa: '  ' }, 'scaledialog - -'],
            ];
            for (const [values, line] of rows) assert.equal(scaleDialogLine(values), line, JSON.stringify(values));
        },
    },
    {
        name: 'the artwork listing gives every library sprite its image, or says what is wrong',
        run() {
            const listing = {
                format: 'webp',
                scales: [1, 2],
                sheets: [{ width: 640, height: 700 }, { width: 20, height: 20 }],
                sprites: [{ name: 'Image1', width: 624, height: 697, sheet: 0, x: 0, y: 0 },
                    { name: 'Strom0', width: 9, height: 14, sheet: 1, x: 11, y: 3 }],
            };
            const library = [{ name: 'Image1', width: 624, height: 697 }, { name: 'Strom0', width: 9, height: 14 }];
            assert.deepEqual(artworkPlan(library, listing, 2, 'art'), [
                { id: 0, url: 'art/2/sheet0.webp', x: 0, y: 0, width: 1248, height: 1394 },
                { id: 1, url: 'art/2/sheet1.webp', x: 22, y: 6, width: 18, height: 28 },
            ]);
            const placed = (place) => ({ ...listing, sprites: [{ ...listing.sprites[1], ...place }] });
            const wrong = [
                [library, { ...listing, scales: [1] }, 2, /scale 2/],
                [[...library, { name: 'Strom1', width: 9, height: 14 }], listing, 1, /Strom1/],
                [[{ name: 'Image1', width: 600, height: 697 }], listing, 1, /624x697, not 600x697/],
                [[library[1]], placed({ x: 12 }), 1, /outside its sheet/],
                [[library[1]], placed({ y: -1 }), 1, /outside its sheet/],
                [[library[1]], placed({ sheet: 2 }), 1, /outside its sheet/],
                [[library[1]], placed({ x: '0' }), 1, /outside its sheet/],
                [library, { ...listing, sheets: undefined }, 1, /scale 1/],
            ];
            for (const [sprites, list, scale, message] of wrong)
                assert.throws(() => artworkPlan(sprites, list, scale), message);
            // Sheets of nothing but the piston's travel frames come after the first picture, never all.
            const onSheets = (...names) => ({ sheets: names.map(() => ({})),
                sprites: names.flatMap((list, sheet) => list.map((name) => ({ name, sheet }))) });
            const rows = [
                [onSheets(['Image1', 'Kolben0'], ['Kolben35', 'SpringPiston0'], ['SpringPiston10'], ['Strom0']), [1, 2]],
                [onSheets(['Image1'], ['Kolben35', 'Strom0']), []],
                [onSheets(['Kolben0'], ['SpringPiston5']), []],
                [onSheets(['Image1'], []), []],
            ];
            for (const [listing, later] of rows) assert.deepEqual(laterSheets(listing), later, JSON.stringify(listing));
        },
    },
    {
        name: 'a file the network dropped is asked for once more, and a failure names the file',
        async run() {
            const dropped = () => Promise.reject(new TypeError('Failed to fetch'));
            const answer = (status, body = () => Promise.resolve('bytes')) =>
                () => Promise.resolve({ ok: status === 200, status, statusText: '', arrayBuffer: body });
            const cutOff = answer(200, () => Promise.reject(new TypeError('Failed to fetch')));
            const garbled = answer(200, () => Promise.reject(new SyntaxError('Unexpected token')));
            const rows = [
                // the fetches' outcomes in turn, what fetchFile gives, how many were asked
                [[answer(200)], 'bytes', 1],
                [[dropped, answer(200)], 'bytes', 2],
                [[cutOff, answer(200)], 'bytes', 2],
                [[dropped, cutOff], /sheet0\.webp: Failed to fetch/, 2],
                [[answer(404)], /sheet0\.webp: 404/, 1],
                [[dropped, answer(500)], /sheet0\.webp: 500/, 2],
                [[garbled], /sheet0\.webp: Unexpected token/, 1],
            ];
            const realFetch = globalThis.fetch;
            try {
                for (const [outcomes, expected, asked] of rows) {
                    let calls = 0;
                    globalThis.fetch = () => outcomes[calls++]();
                    const got = fetchFile('artwork/1/sheet0.webp', 'arrayBuffer', 0);
                    if (expected instanceof RegExp) await assert.rejects(got, expected);
                    else assert.equal(await got, expected);
                    assert.equal(calls, asked, String(expected));
                }
            } finally {
                globalThis.fetch = realFetch;
            }
        },
    },
];
