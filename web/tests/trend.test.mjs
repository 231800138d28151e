// SPDX-License-Identifier: GPL-3.0-or-later
// The trend window in a real Chromium: it follows the device's own trend sample for sample with the
// session's events, and exports the desktop's CSV and a picture of the chart.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';

import { openDevice, printed, run } from './page.test.mjs';
import { chooseSession, needHeadless, runDesktop } from './state.test.mjs';
import { rewindMarks } from '../page/trend.js';
import { sessionTime } from '../page/session.js';

export const needsSite = true;

const PNG_SIGNATURE = Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);

// The chart's samples and the device's count taken at one moment.
function chartAndDevice(page) {
    return page.evaluate(() => {
        const trend = window.vp7.page.session.trend;
        trend.update();
        const device = window.vp7.run('print trend').out.trim().split(' ');
        return { chart: trend.sampleCount, device: Number(device[1]), events: trend.events.map((e) => e[1]) };
    });
}

async function saved(page, button) {
    const download = page.waitForEvent('download');
    await page.locator(`.trend-panel button[data-export="${button}"]`).click();
    const file = await download;
    return { name: file.suggestedFilename(), data: readFileSync(await file.path()) };
}

export const tests = [
    {
        name: 'the events become the rewind\'s marks, and moments read as minutes and seconds',
        async run() {
            const marks = [
                // [the trend's events [s, text], the session's length ms, the marks]
                [[], 1000, []],
                [[[0.5, 'a']], 1000, [{ ms: 500, text: 'a' }]],
                [[[0.5, 'a'], [0.5, 'b'], [0.7, 'c']], 1000, [{ ms: 500, text: 'a; b' }, { ms: 700, text: 'c' }]],
                [[[-1, 'before'], [5, 'after']], 1000, [{ ms: 0, text: 'before' }, { ms: 1000, text: 'after' }]],
            ];
            for (const [events, length, expected] of marks) assert.deepEqual(rewindMarks(events, length), expected);
            const times = [[0, '0:00.0'], [-20, '0:00.0'], [1234, '0:01.2'], [59960, '1:00.0'], [61250, '1:01.3'],
                [3600000, '60:00.0']];
            for (const [ms, text] of times) assert.equal(sessionTime(ms), text, String(ms));
        },
    },
    {
        name: 'the trend window follows the device\'s trend with its events',
        async run(h) {
            const { page } = await openDevice(h);
            await chooseSession(page, 'trend');
            await page.locator('.trend-panel .uplot').waitFor();
            assert.ok((await run(page, 'set SetPointText 60')).ok);
            assert.ok((await run(page, 'click Enter')).ok);
            await page.waitForTimeout(1500);
            const seen = await chartAndDevice(page);
            assert.ok(seen.chart > 20, `${seen.chart} samples`);
            assert.equal(seen.chart, seen.device);
            assert.ok(seen.events.some((text) => /60/.test(text)), seen.events.join('; '));
            // Closed, it is no longer in the menu's check.
            await page.locator('.trend-panel .panel-close').click();
            assert.equal(await page.locator('.trend-panel').isHidden(), true);
        },
    },
    {
        name: 'the trend exports the desktop\'s CSV and a PNG of the chart',
        async run(h) {
            needHeadless();
            const desktop = runDesktop('start\nwait 500\ntrend DIR/out.csv\n').written['out.csv'];
            const header = String(desktop).split('\r\n')[0];
            const { page } = await openDevice(h);
            await chooseSession(page, 'trend');
            await page.locator('.trend-panel .uplot').waitFor();
            // A second of the session, whatever the device's timers did meanwhile.
            assert.ok((await run(page, 'wait 1000')).ok);
            const csv = await saved(page, 'csv');
            const rows = String(csv.data).split('\r\n').filter(Boolean);
            assert.equal(csv.name, 'trend.csv');
            assert.equal(rows[0], header);
            const count = Number((await printed(page, 'trend')).split(' ')[1]);
            assert.ok(rows.length - 1 <= count && rows.length > 1, `${rows.length} rows, ${count} samples`);
            const png = await saved(page, 'png');
            assert.deepEqual(png.data.subarray(0, 8), PNG_SIGNATURE);
            assert.ok(png.data.length > 2000, `${png.data.length} bytes`);
        },
    },
];
