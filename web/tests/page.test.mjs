// SPDX-License-Identifier: GPL-3.0-or-later
// The page in a real Chromium: it loads from its own origin alone, the device takes the user's keys,
// pointer and controls, the language and the zoom change, the picture is the desktop's drawing, and a
// careless user (a key held while the window loses the focus, a wrong file, double clicks) breaks
// nothing.
import assert from 'node:assert/strict';
import { readFile } from 'node:fs/promises';
import path from 'node:path';
import { gzipSync } from 'node:zlib';

import { laterSheets } from '../page/artwork.js';

export const needsSite = true;

// The mode key's centre on the picture, and the setpoint scale's heading (a right click there opens
// the scale dialog).
const MODE_KEY = { x: 378, y: 356 };
const SCALE_HEADING = { x: 10, y: 420 };
const HOLD_FOR_CONFIGURATION_MS = 5000;
const WAIT_LIMIT_MS = 15000;
const LATE_SHEETS_MS = 1500; // how long the sheets of piston frames are kept back
// What one visit may load, compressed as a server would send it.
const LARGEST_VISIT_BYTES = 2000000;
// The fonts the page loads where the system lacks them.
const PAGE_FONTS = ['fonts/DejaVuSans.woff2', 'fonts/DejaVuSans-Bold.woff2'];

// A page of its own with fresh storage (kept across its own reloads), the device started and the
// start's splash and screen check answered.
export async function openDevice(h, { languages = ['de-DE', 'de'], deviceScaleFactor = 1 } = {}) {
    const page = await h.open();
    const problems = [];
    page.on('pageerror', (error) => problems.push(error.message));
    page.on('console', (message) => message.type() === 'error' && problems.push(message.text()));
    page.on('requestfailed', (request) => problems.push(`${request.url()}: ${request.failure()?.errorText}`));
    await page.addInitScript((wanted) => {
        if (!sessionStorage.getItem('vp7.test')) {
            localStorage.clear();
            sessionStorage.setItem('vp7.test', '1');
        }
        Object.defineProperty(navigator, 'languages', { get: () => wanted });
    }, languages);
    if (deviceScaleFactor !== 1) {
        const session = await page.context().newCDPSession(page);
        await session.send('Emulation.setDeviceMetricsOverride', {
            width: 1400, height: 1000, deviceScaleFactor, mobile: false,
        });
    }
    await page.goto(`${h.origin}/`);
    await ready(page, problems);
    return { page, problems };
}

async function ready(page, problems = []) {
    await page.waitForFunction(() => document.body.classList.contains('ready') ||
        document.body.classList.contains('failed'), null, { timeout: WAIT_LIMIT_MS });
    const failed = await page.evaluate(() => document.body.classList.contains('failed'));
    assert.ok(!failed, [await page.textContent('#status'), ...problems].join('\n'));
    // The start may ask about the screen; the splash waits for a click.
    for (let i = 0; i < 3 && (await page.locator('.overlay').count()) > 0; ++i)
        await page.locator('.overlay button').first().click();
    if (await page.locator('.splash').isVisible()) await page.locator('.splash').click();
    await page.locator('.splash').waitFor({ state: 'hidden' });
}

export function run(page, line) {
    return page.evaluate((l) => window.vp7.run(l), line);
}

export async function printed(page, what) {
    const result = await run(page, `print ${what}`);
    assert.ok(result.ok, `print ${what}: ${result.error}`);
    return result.out.trim();
}

function sentLines(page) {
    return page.evaluate(() => window.vp7.page.sent.slice());
}

// Waits until `print what` shows `pattern`, as long as the device needs (within the test's limit).
export async function waitForPrinted(page, what, pattern) {
    const deadline = Date.now() + WAIT_LIMIT_MS;
    let last = '';
    while (Date.now() < deadline) {
        last = await printed(page, what);
        if (pattern.test(last)) return last;
        await page.waitForTimeout(100);
    }
    throw new Error(`print ${what} still says ${last}`);
}

async function pictureBox(page) {
    return page.locator('#picture').boundingBox();
}

export async function chooseMenu(page, ...names) {
    await page.locator(`.menu[data-name="${names[0]}"] > .menu-title`).click();
    for (const name of names.slice(1, -1)) await page.locator(`.menu-item[data-name="${name}"]`).hover();
    await page.locator(`.menu-item[data-name="${names[names.length - 1]}"]`).click();
}

// The mean difference of the canvas from the artwork's unlit device picture over a rectangle of the
// picture (logical pixels) that the device leaves as drawn, per colour channel.
function pictureDifference(page, region, scale) {
    return page.evaluate(async ({ region, scale }) => {
        const canvas = document.getElementById('picture');
        const ratio = canvas.width / 624;
        const shown = canvas.getContext('2d').getImageData(region.x * ratio, region.y * ratio,
            region.w * ratio, region.h * ratio).data;
        const listing = await (await fetch('artwork/sprites.json')).json();
        const image = listing.sprites.find((s) => s.name === 'Image1');
        const blob = await (await fetch(`artwork/${scale}/sheet${image.sheet}.${listing.format}`)).blob();
        const bitmap = await createImageBitmap(blob);
        const drawn = new OffscreenCanvas(region.w * ratio, region.h * ratio).getContext('2d');
        drawn.imageSmoothingQuality = 'high';
        drawn.drawImage(bitmap, (image.x + region.x) * scale, (image.y + region.y) * scale, region.w * scale,
            region.h * scale, 0, 0, region.w * ratio, region.h * ratio);
        const expected = drawn.getImageData(0, 0, region.w * ratio, region.h * ratio).data;
        let sum = 0;
        for (let i = 0; i < expected.length; i += 4)
            for (let c = 0; c < 3; ++c) sum += Math.abs(expected[i + c] - shown[i + c]);
        return sum / ((expected.length / 4) * 3);
    }, { region, scale });
}

// The nameplate and the housing above the display: drawn once, never changed by the device.
const NAMEPLATE = { x: 300, y: 40, w: 200, h: 110 };

// A hash of the picture's canvas as the next frame shows it.
function canvasHash(page) {
    return page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(() => {
        const canvas = document.getElementById('picture');
        const { data } = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height);
        let hash = 2166136261;
        for (const byte of data) hash = Math.imul(hash ^ byte, 16777619);
        resolve(hash >>> 0);
    }))));
}

export const tests = [
    {
        name: 'the page loads from its own origin alone, without errors',
        async run(h) {
            const page = await h.open();
            const requests = [];
            const failures = [];
            page.on('request', (r) => requests.push(r.url()));
            page.on('requestfailed', (r) => failures.push(r.url()));
            page.on('response', (r) => r.status() >= 400 && failures.push(`${r.status()} ${r.url()}`));
            const errors = [];
            page.on('pageerror', (e) => errors.push(e.message));
            await page.goto(`${h.origin}/`);
            await ready(page);
            const foreign = requests.filter((url) => !url.startsWith(`${h.origin}/`) && !/^(data|blob):/.test(url));
            assert.deepEqual(foreign, []);
            assert.deepEqual(failures, []);
            assert.deepEqual(errors, []);
            assert.ok(requests.some((url) => url.endsWith('.wasm')), 'no WebAssembly loaded');
            // The picture and the splash come a frame before the rest, which still lie over each other
            // in the device's order, under the page's own panels.
            const shown = await page.evaluate(() => {
                const listed = window.vp7.form().controls.map((c) => c.name);
                return [...document.getElementById('form').children].map((e) =>
                    e.classList.contains('control') ? listed.indexOf(e.dataset.name) : -1);
            });
            const controls = shown.filter((rank) => rank >= 0);
            assert.ok(controls.length > 20, `${controls.length} controls built`);
            assert.deepEqual(controls, [...controls].sort((a, b) => a - b));
            assert.ok(!shown.slice(shown.indexOf(-1)).some((rank) => rank >= 0), 'a control over the panels');
            // Every pixel of the picture was drawn at the start, to its edges: drawing it all again
            // changes none.
            const redrawn = await page.evaluate(() => {
                const canvas = document.getElementById('picture');
                const read = () => canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
                const before = read();
                window.vp7.page.picture.updateAll();
                const after = read();
                let changed = 0;
                for (let i = 0; i < after.length; ++i) if (after[i] !== before[i]) ++changed;
                return changed;
            });
            assert.equal(redrawn, 0);
        },
    },
    {
        name: 'a device left alone repaints nothing, and a key repaints what it changed',
        async run(h) {
            const { page, problems } = await openDevice(h);
            const counted = () => page.evaluate(() => window.vp7Counted);
            await page.evaluate(() => {
                const { page: shown } = window.vp7;
                window.vp7Counted = { presented: 0, forms: 0 };
                const present = shown.picture.present.bind(shown.picture);
                shown.picture.present = (rect) => {
                    ++window.vp7Counted.presented;
                    present(rect);
                };
                const showForm = shown.showForm.bind(shown);
                shown.showForm = (form) => {
                    ++window.vp7Counted.forms;
                    showForm(form);
                };
            });
            // The device redraws its display each second in RUN, as it was.
            for (let second = 0; second < 5; ++second) await page.evaluate(() => window.vp7.pass(1000));
            assert.deepEqual(await counted(), { presented: 0, forms: 0 });
            await page.locator('#picture').focus();
            await page.keyboard.press('m');
            await page.waitForFunction(() => window.vp7Counted.presented > 0, null, { timeout: WAIT_LIMIT_MS });
            assert.deepEqual(problems, []);
        },
    },
    {
        name: 'what a visit loads stays under 2 MB compressed, fonts included, at both pixel ratios',
        async run(h) {
            for (const ratio of [1, 2]) {
                const page = await h.open();
                const loaded = new Set(PAGE_FONTS);
                page.on('request', (r) => loaded.add(new URL(r.url()).pathname.slice(1) || 'index.html'));
                if (ratio !== 1) {
                    const session = await page.context().newCDPSession(page);
                    await session.send('Emulation.setDeviceMetricsOverride', {
                        width: 1400, height: 1000, deviceScaleFactor: ratio, mobile: false,
                    });
                }
                await page.goto(`${h.origin}/`);
                await ready(page);
                let total = 0;
                for (const file of loaded) total += gzipSync(await readFile(path.join(h.site, file)), { level: 9 }).length;
                assert.ok(total < LARGEST_VISIT_BYTES, `ratio ${ratio}: ${total} bytes`);
                assert.ok(![...loaded].some((f) => f.startsWith(`artwork/${3 - ratio}/`)), `ratio ${ratio} loads the other scale`);
                await page.close();
            }
        },
    },
    {
        name: 'the mode key held five seconds enters the configuration, and its release leaves it held there',
        async run(h) {
            const { page, problems } = await openDevice(h);
            assert.match(await printed(page, 'lcd'), /AUT/);
            await page.locator('#picture').focus();
            await page.keyboard.down('m');
            await page.waitForTimeout(HOLD_FOR_CONFIGURATION_MS);
            await waitForPrinted(page, 'lcd', /YFCT/);
            await page.keyboard.up('m');
            assert.deepEqual((await sentLines(page)).slice(-2), ['press mode', 'release mode']);
            // In the configuration the increase key, clicked with the pointer, changes the value.
            const before = await printed(page, 'lcd');
            const box = await pictureBox(page);
            await page.mouse.click(box.x + 480, box.y + 356);
            await waitForPrinted(page, 'lcd', new RegExp(`^(?!${before.replace(/[^\w ]/g, '.')}$)`));
            assert.deepEqual(problems, []);
        },
    },
    {
        name: 'the option controls change the device and show what it changed',
        async run(h) {
            const { page } = await openDevice(h);
            const rows = [
                // what the user does, the line that reads it back, what it says
                [() => page.locator('[data-name="FrictionSelect"] input').click(), 'FrictionSelect', 'FrictionSelect 1'],
                [() => page.locator('[data-name="FrictionSelect"] input').click(), 'FrictionSelect', 'FrictionSelect 0'],
                [() => page.locator('[data-name="DrosselSelect"] .RadioItem').nth(2).click(), 'DrosselSelect', 'DrosselSelect 2'],
                [() => page.locator('[data-name="SelfClosingSelect"] input').click(), 'SelfClosingSelect', 'SelfClosingSelect 1'],
                [() => page.locator('[data-name="SetpointDimSelect"] .RadioItem').nth(1).click(), 'SetpointDimSelect', 'SetpointDimSelect 1'],
            ];
            for (const [act, what, expected] of rows) {
                await act();
                assert.equal(await printed(page, what), expected);
            }
            // What the device changes itself reaches the page: a line of the language sets the box.
            await run(page, 'set LeakageSelect 1');
            assert.equal(await page.locator('[data-name="LeakageSelect"] input').isChecked(), true);
            // A setpoint typed (in mA now, as the row above chose) and confirmed with Enter.
            await page.locator('[data-name="SetPointText"]').fill('12');
            await page.locator('[data-name="SetPointText"]').press('Enter');
            assert.equal(await printed(page, 'SetPointText'), 'SetPointText "12"');
            assert.deepEqual(await page.evaluate(() => window.vp7.page.errors), []);
        },
    },
    {
        name: 'the language switches from the menu and stays for the next visit',
        async run(h) {
            const { page } = await openDevice(h, { languages: ['de-DE'] });
            const caption = () => page.locator('[data-name="ZorizOptions"] .legend').textContent();
            const german = await caption();
            assert.equal(await page.locator('.menu[data-name="Datei1"] > .menu-title').textContent(), 'Datei');
            await chooseMenu(page, 'Extras1', 'Sprache1', 'English1');
            const english = await caption();
            assert.notEqual(english, german);
            assert.equal(await page.locator('.menu[data-name="Datei1"] > .menu-title').textContent(), 'File');
            assert.equal(await page.locator('.menu[data-name="View"] > .menu-title').textContent(), 'View');
            // Leaving the page writes the settings as closing the desktop's window does.
            await page.reload();
            await ready(page);
            assert.match(await page.evaluate(() => localStorage.getItem('vp7.settings')), /Sprache=English/);
            assert.equal(await caption(), english);
        },
    },
    {
        name: 'the first visit starts in the browser language',
        async run(h) {
            const rows = [[['de-AT'], 'Datei'], [['en-GB'], 'File'], [['fr'], 'File']];
            for (const [languages, file] of rows) {
                const { page } = await openDevice(h, { languages });
                assert.equal(await page.locator('.menu[data-name="Datei1"] > .menu-title').textContent(), file,
                    String(languages));
                await page.close();
            }
        },
    },
    {
        name: 'zoomed, the form and the picture grow alike and the pointer still meets the keys',
        async run(h) {
            const { page } = await openDevice(h);
            const rows = [['zoom200', 2], ['zoom50', 0.5], ['zoom150', 1.5], ['zoom100', 1]];
            for (const [item, zoom] of rows) {
                await chooseMenu(page, 'View', item);
                const box = await pictureBox(page);
                assert.ok(Math.abs(box.width - 624 * zoom) < 1, `${item}: picture ${box.width} wide`);
                assert.equal(await page.evaluate(() => document.getElementById('picture').width), 624 * zoom);
                const group = await page.locator('[data-name="ZorizOptions"]').boundingBox();
                assert.ok(Math.abs(group.width - 225 * zoom) < 1, `${item}: group ${group.width} wide`);
                await page.locator('#picture').click({
                    position: { x: MODE_KEY.x * zoom + zoom / 2, y: MODE_KEY.y * zoom + zoom / 2 },
                });
                const lines = await sentLines(page);
                assert.ok(lines.includes(`down ${MODE_KEY.x} ${MODE_KEY.y} left`), `${item}: ${lines.slice(-3)}`);
            }
            await chooseMenu(page, 'View', 'fit');
            const fitted = await page.locator('#form').boundingBox();
            assert.ok(fitted.width <= 1400 && fitted.height <= 1000, JSON.stringify(fitted));
            assert.equal(await page.evaluate(() => localStorage.getItem('vp7.zoom')), 'fit');
        },
    },
    {
        name: 'the picture shows the desktop drawing at both pixel ratios and every zoom',
        async run(h) {
            const rows = [
                // device pixel ratio, zoom item, artwork scale, tolerance per channel
                [1, 'zoom100', 1, 0.5],
                [2, 'zoom100', 2, 0.5],
                [1, 'zoom200', 1, 6],
                [2, 'zoom50', 2, 6],
            ];
            for (const [ratio, item, scale, tolerance] of rows) {
                const { page } = await openDevice(h, { deviceScaleFactor: ratio });
                await chooseMenu(page, 'View', item);
                const difference = await pictureDifference(page, NAMEPLATE, scale);
                assert.ok(difference <= tolerance, `ratio ${ratio} ${item}: ${difference.toFixed(2)}`);
                await page.close();
            }
        },
    },
    {
        name: 'the module starts from a server that does not call it WebAssembly, and a missing file is said by name',
        async run(h) {
            const module = /\/vp7\.wasm$/, sheet = /\/artwork\/1\/sheet0\.\w+$/;
            const rows = [
                // what, which file, the server's answer, null for a start or what the failure says
                ['the module as plain bytes', module, (route, bytes) => route.fulfill({ body: bytes, contentType: 'application/octet-stream' }), null],
                ['no module', module, (route) => route.fulfill({ status: 404, body: 'no' }), 'vp7.wasm'],
                ['a module of garbage', module, (route) => route.fulfill({ body: Buffer.from('not wasm'), contentType: 'application/wasm' }), ''],
                // the device has started by the time a sheet fails: nothing of it stays in sight
                ['no sheet', sheet, (route) => route.fulfill({ status: 404, body: 'no' }), 'sheet0'],
                ['a sheet of garbage', sheet, (route) => route.fulfill({ body: Buffer.from('not an image'), contentType: 'image/webp' }), 'sheet0'],
            ];
            const bytes = await readFile(path.join(h.site, 'vp7.wasm'));
            for (const [what, file, answer, outcome] of rows) {
                const page = await h.open();
                await page.route(file, (route) => answer(route, bytes));
                await page.goto(`${h.origin}/`);
                await page.waitForFunction(() => document.body.classList.contains('ready') ||
                    document.body.classList.contains('failed'), null, { timeout: WAIT_LIMIT_MS });
                const shown = await page.evaluate(() => document.body.className);
                const said = await page.textContent('#status');
                assert.ok(shown.includes(outcome === null ? 'ready' : 'failed') && said.includes(outcome ?? ''), `${what}: ${shown}, ${said}`);
                if (outcome !== null) assert.ok(!(await page.isVisible('#menubar')) && !(await page.isVisible('#form')), `${what}: the window stays`);
                await page.close();
            }
        },
    },

    {
        name: 'the picture is the same whichever of the module and the sheets comes last',
        async run(h) {
            const listing = JSON.parse(await readFile(path.join(h.site, 'artwork', 'sprites.json'), 'utf8'));
            const later = laterSheets(listing);
            assert.ok(later.length > 0, 'no sheet of piston frames');
            const first = listing.sheets.map((_, n) => n).filter((n) => !later.includes(n));
            const sheets = (numbers) => new RegExp(`/artwork/\\d/sheet(${numbers.join('|')})\\.\\w+$`);
            const rows = [
                // what is kept back: the device starts before the first picture's sheets are in, after
                // them, or draws its piston before the sheets of its frames are in
                ['the first sheets', sheets(first)],
                ['the module', /\/vp7\.wasm$/],
                ['the piston frames', sheets(later)],
            ];
            const hashes = [];
            for (const [kept, url] of rows) {
                const page = await h.open();
                // A self-closing valve starts at a spring frame, which lies on a sheet of piston frames.
                await page.addInitScript(() => {
                    if (!sessionStorage.getItem('vp7.test')) {
                        localStorage.clear();
                        localStorage.setItem('vp7.settings', '[Config]\nVenitlArt=S\n');
                        sessionStorage.setItem('vp7.test', '1');
                    }
                });
                await page.route(url, async (route) => {
                    await page.waitForTimeout(LATE_SHEETS_MS);
                    await route.continue();
                });
                await page.goto(`${h.origin}/`);
                await ready(page);
                hashes.push([kept, await canvasHash(page)]);
                // Drawn again now, a picture already whole changes no pixel.
                await page.evaluate(() => {
                    window.vp7.page.engine.repaintPicture();
                    window.vp7.page.follow();
                });
                assert.equal(await canvasHash(page), hashes.at(-1)[1], `${kept} kept back: the picture was not whole`);
                await page.close();
            }
            assert.ok(hashes.every(([, hash]) => hash === hashes[0][1]), JSON.stringify(hashes));
        },
    },
    {
        name: 'a finger taps with the left button, and a long press or a second finger is the right one',
        async run(h) {
            const { page } = await openDevice(h);
            const session = await page.context().newCDPSession(page);
            const box = await pictureBox(page);
            const at = (p) => ({ x: box.x + p.x + 0.5, y: box.y + p.y + 0.5 });
            const touch = (type, points) => session.send('Input.dispatchTouchEvent', {
                type, touchPoints: points.map((p, id) => ({ ...at(p), id })),
            });
            const dec = { x: 428, y: 356 };
            const inc = { x: 480, y: 356 };
            const rows = [
                // what the fingers do, the pointer lines it makes
                [async () => {
                    await touch('touchStart', [dec]);
                    await touch('touchEnd', []);
                }, ['down 428 356 left', 'up 428 356 left']],
                [async () => {
                    await touch('touchStart', [dec]);
                    await page.waitForTimeout(900);
                    await touch('touchEnd', []);
                }, ['down 428 356 right', 'up 428 356 right']],
                [async () => {
                    await touch('touchStart', [dec]);
                    await touch('touchStart', [dec, inc]);
                    await touch('touchEnd', [dec]);
                    await touch('touchEnd', []);
                }, ['down 480 356 right', 'up 480 356 right']],
            ];
            for (const [act, expected] of rows) {
                const before = (await sentLines(page)).length;
                await act();
                await page.waitForTimeout(100);
                const lines = (await sentLines(page)).slice(before).filter((l) => /^(down|up) /.test(l));
                assert.deepEqual(lines, expected);
            }
        },
    },
    {
        name: 'a key held while the window loses the focus is let go, as is a held button',
        async run(h) {
            const { page } = await openDevice(h);
            await page.locator('#picture').focus();
            await page.keyboard.down('+');
            assert.equal(await page.locator('.key-held').isVisible(), true, 'the held key shows no pressed cap');
            await page.evaluate(() => window.dispatchEvent(new Event('blur')));
            assert.equal(await page.locator('.key-held').isVisible(), false, 'the key let go still shows pressed');
            await page.keyboard.up('+');
            const box = await pictureBox(page);
            await page.mouse.move(box.x + 428, box.y + 356);
            await page.mouse.down();
            await page.evaluate(() => window.dispatchEvent(new Event('blur')));
            await page.mouse.up();
            const lines = await sentLines(page);
            assert.deepEqual(lines.filter((l) => /^(press|release|down|up) /.test(l)),
                ['press inc', 'release inc', 'down 428 356 left', 'up 428 356 left']);
            assert.equal(await printed(page, 'latches'), 'latches 0 0 0');
        },
    },
    {
        name: 'a file that is no configuration gets the device message, and a double click answers it once',
        async run(h) {
            const { page } = await openDevice(h);
            const chooser = page.waitForEvent('filechooser');
            await chooseMenu(page, 'Datei1', 'Konfigurationladen1');
            await (await chooser).setFiles({ name: 'notes.vp7', mimeType: 'text/plain', buffer: Buffer.from('not a configuration') });
            await page.locator('.overlay .dialog').waitFor();
            assert.equal(await page.locator('.overlay').count(), 1);
            await page.locator('.overlay button').first().dblclick();
            await page.locator('.overlay').waitFor({ state: 'detached' });
            assert.deepEqual(await page.evaluate(() => window.vp7.page.errors), []);
            // A file far too large for a configuration is refused by the page before anything reads it.
            const second = page.waitForEvent('filechooser');
            await chooseMenu(page, 'Datei1', 'Konfigurationladen1');
            await (await second).setFiles({ name: 'big.vp7', mimeType: 'application/octet-stream', buffer: Buffer.alloc(3 << 20) });
            await page.locator('.overlay .message-error').waitFor();
            await page.locator('.overlay button').first().click();
            assert.ok(!(await sentLines(page)).includes('file /vp7/Data/big.vp7'));
            // The device goes on: a control still answers.
            await page.locator('[data-name="FrictionSelect"] input').click();
            assert.equal(await printed(page, 'FrictionSelect'), 'FrictionSelect 1');
        },
    },
    {
        name: 'the scale dialog opened on the picture takes the texts typed, and asks again while they are refused',
        async run(h) {
            const { page } = await openDevice(h);
            const rows = [
                // Xe, Xa typed; refused (the device's error, the dialog again); the setpoint field after
                ['50', '10', false, 'SetPointText "10"'],
                ['5', '0', true, 'SetPointText "10"'],
                ['60', '55', true, 'SetPointText "10"'],
                ['100', '0', false, 'SetPointText "0"'],
            ];
            for (const [xe, xa, refused, field] of rows) {
                await page.locator('#picture').click({ button: 'right', position: SCALE_HEADING });
                const dialog = page.locator('.scale-dialog');
                await dialog.waitFor();
                await dialog.locator('input[name="xe"]').fill(xe);
                await dialog.locator('input[name="xa"]').fill(xa);
                await dialog.locator('button').first().click();
                if (refused) {
                    await page.locator('.message-error').waitFor();
                    await page.locator('.overlay button').first().click();
                    await dialog.waitFor();
                    assert.equal(await dialog.locator('input[name="xe"]').inputValue(), xe);
                    await dialog.locator('button').nth(1).click();
                }
                await page.locator('.overlay').waitFor({ state: 'detached' });
                assert.equal(await printed(page, 'SetPointText'), field, `${xe} ${xa}`);
            }
        },
    },
    {
        name: 'a message box answered otherwise than the device did acts as the user chose',
        async run(h) {
            const { page } = await openDevice(h, { languages: ['en-GB'] });
            const rows = [
                // the variant chosen, the button, the variant after it, whether the page started anew
                [1, 'Cancel', 1, false],
                [2, 'OK', 2, true],
            ];
            for (const [variant, button, after, restarted] of rows) {
                await page.evaluate(() => (window.notRestarted = true));
                await page.locator('[data-name="ControllerSelect"] .RadioItem').nth(variant).click();
                await page.locator(`.overlay button[data-answer="${button}"]`).click();
                if (restarted) await ready(page);
                assert.equal(await page.evaluate(() => window.notRestarted === true), !restarted, button);
                assert.equal(await printed(page, 'ControllerSelect'), `ControllerSelect ${after}`, button);
            }
        },
    },
    {
        name: 'the initialization shows its window, and its button pauses and continues the run',
        async run(h) {
            const { page } = await openDevice(h, { languages: ['en-GB'] });
            const panel = page.locator('.initinfo-panel');
            // Into the configuration, on to the initialization, and its start held for five seconds.
            const lines = ['press mode', 'wait 5000', 'release mode',
                ...Array(3).fill(['press mode', 'release mode']).flat(), 'press inc', 'wait 4900', 'release inc'];
            for (const line of lines) assert.ok((await run(page, line)).ok, line);
            await panel.waitFor();
            assert.match(await panel.locator('.panel-title').textContent(), /RUN \d/);
            assert.match(await panel.locator('.info-text').nth(1).textContent(), /\w/);
            const rows = [['Pause', 'Continue'], ['Continue', 'Pause']];
            for (const [shown, after] of rows) {
                assert.equal(await panel.locator('.info-pause').textContent(), shown);
                await panel.locator('.info-pause').click();
                assert.match(await printed(page, 'initinfo'), new RegExp(`"${after}"$`));
                assert.equal(await panel.locator('.info-pause').textContent(), after);
            }
        },
    },
    {
        name: 'a configuration saved downloads and loads back',
        async run(h) {
            const { page } = await openDevice(h);
            await page.locator('[data-name="DrosselSelect"] .RadioItem').nth(3).click();
            const download = page.waitForEvent('download');
            await chooseMenu(page, 'Datei1', 'Konfigurationspeichern1');
            const saved = await download;
            const bytes = await (await saved.createReadStream()).toArray();
            const file = Buffer.concat(bytes);
            assert.ok(file.length > 0);
            await page.locator('[data-name="DrosselSelect"] .RadioItem').nth(0).click();
            assert.equal(await printed(page, 'DrosselSelect'), 'DrosselSelect 0');
            const chooser = page.waitForEvent('filechooser');
            await chooseMenu(page, 'Datei1', 'Konfigurationladen1');
            await (await chooser).setFiles({ name: saved.suggestedFilename(), mimeType: 'application/octet-stream', buffer: file });
            await waitForPrinted(page, 'DrosselSelect', /DrosselSelect 3/);
        },
    },
];
