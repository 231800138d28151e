// SPDX-License-Identifier: GPL-3.0-or-later
// The tool panels moved by their title bar with the mouse, a finger and the arrow keys: each lands
// where it was dragged, never outside the page's area below the menus, and stays there for the visit
// however the device places it again.
import assert from 'node:assert/strict';

import { openDevice, run } from './page.test.mjs';

export const needsSite = true;

const STEPS = 8;

// Drags from `from` by `by` (client pixels) with the mouse or a finger.
async function drag(page, cdp, kind, from, by) {
    const points = Array.from({ length: STEPS + 1 }, (_, i) =>
        ({ x: from.x + (by.x * i) / STEPS, y: from.y + (by.y * i) / STEPS }));
    if (kind === 'mouse') {
        await page.mouse.move(points[0].x, points[0].y);
        await page.mouse.down();
        for (const p of points.slice(1)) await page.mouse.move(p.x, p.y);
        await page.mouse.up();
        return;
    }
    await cdp.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [points[0]] });
    for (const p of points.slice(1)) await cdp.send('Input.dispatchTouchEvent', { type: 'touchMove', touchPoints: [p] });
    await cdp.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
}

export const tests = [
    {
        name: 'a tool panel dragged by its title bar lands there, kept inside the page, and keeps its place',
        async run(h) {
            const { page, problems } = await openDevice(h);
            const cdp = await page.context().newCDPSession(page);
            assert.ok((await run(page, 'menu ParameterTabelle1')).ok);
            const panel = page.locator('.partab-panel');
            const bar = panel.locator('.panel-bar');
            await panel.waitFor();
            const area = await page.locator('#scroller').evaluate((e) => {
                const r = e.getBoundingClientRect();
                return { left: r.left, top: r.top, right: Math.min(r.right, document.documentElement.clientWidth),
                    bottom: Math.min(r.bottom, document.documentElement.clientHeight) };
            });
            const { width, height } = await panel.boundingBox();
            const start = await panel.boundingBox();
            const rows = [
                // how, moved by, where its top left corner ends (null: moved by exactly that much)
                ['mouse', { x: 200, y: 100 }, null],
                ['touch', { x: -120, y: 40 }, null],
                ['mouse', { x: -5000, y: -5000 }, { x: area.left, y: area.top }],
                ['touch', { x: 5000, y: 5000 }, { x: area.right - width, y: area.bottom - height }],
                ['mouse', { x: -300, y: -200 }, null],
            ];
            let expected = start;
            for (const [kind, by, corner] of rows) {
                const before = await panel.boundingBox();
                // Held by the bar's left part: its close button is no handle.
                await drag(page, cdp, kind, { x: before.x + 20, y: before.y + 8 }, by);
                const after = await panel.boundingBox();
                expected = corner ?? { x: before.x + by.x, y: before.y + by.y };
                assert.ok(Math.abs(after.x - expected.x) <= 1 && Math.abs(after.y - expected.y) <= 1,
                    `${kind} by ${by.x},${by.y}: at ${after.x},${after.y}, not ${expected.x},${expected.y}`);
            }
            // The arrows move it while its bar has the focus, and reach not the device's keys.
            await bar.focus();
            const sentLines = () => page.evaluate(() => window.vp7.page.sent.join('\n'));
            const [leftBefore, sentBefore] = [(await panel.boundingBox()).x, await sentLines()];
            await page.keyboard.press('ArrowRight');
            assert.equal((await panel.boundingBox()).x, leftBefore + 10);
            assert.equal(await sentLines(), sentBefore);
            // Closed and opened again, the device would place it anew: it stays where the user put it.
            const kept = await panel.boundingBox();
            await panel.locator('.panel-close').click();
            await panel.waitFor({ state: 'hidden' });
            assert.ok((await run(page, 'menu ParameterTabelle1')).ok);
            await panel.waitFor();
            assert.deepEqual(await panel.boundingBox(), kept);
            assert.deepEqual(problems, []);
        },
    },
];
