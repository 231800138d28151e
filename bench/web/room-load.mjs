// SPDX-License-Identifier: GPL-3.0-or-later
// node bench/web/room-load.mjs --site DIR --mqtt-port PORT --room ROOM --seats FIRST-LAST [--lifetime S]:
// the browser seats of the classroom's load bench (vp7_classroom_load). Starts websockify on a free
// port of the loopback in front of the bench's broker, serving the site, and one headless Chromium
// whose pages join the room with the class sheet's link, a seat each (storage of its own), and a
// bare page beside them. Speaks in lines: prints "joined N" once every seat's page is in the room;
// read "idle SECONDS": prints "idle-cpu MEDIAN MAX BARE", the renderers' CPU over that time in % of
// a core (the seats' median and max, the bare page's). Ends at the end of its input, or after its
// lifetime (300 s) whatever it is doing, with everything it started.
import path from 'node:path';
import readline from 'node:readline';
import { fileURLToPath, pathToFileURL } from 'node:url';

import { freePort, joinPage, roomState, startWebsockify, stopped } from '../../web/tests/room-servers.mjs';
import { launchBenchChromium, median } from './browser.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const LIFETIME_S = 300;
// A seat's password: any eight signs of the codes' alphabet; the bench's broker takes every account.
const PASSWORD_SIGNS = 'K7QFM2XA';

function parseArguments(args) {
    const options = { lifetimeS: LIFETIME_S };
    for (let i = 0; i + 1 < args.length; i += 2) {
        const value = args[i + 1];
        if (args[i] === '--site') options.site = path.resolve(value);
        else if (args[i] === '--mqtt-port') options.mqttPort = Number(value);
        else if (args[i] === '--room') options.room = value;
        else if (args[i] === '--lifetime') options.lifetimeS = Number(value);
        else if (args[i] === '--seats') [options.first, options.last] = value.split('-').map(Number);
        else return null;
    }
    const { site, mqttPort, room, first, last } = options;
    return site && mqttPort > 0 && room && first >= 1 && last >= first && last <= 99 ? options : null;
}

function code(seat) {
    return `${String(seat).padStart(2, '0')}-${PASSWORD_SIGNS.slice(0, 4)}-${PASSWORD_SIGNS.slice(4)}`;
}

// A page's renderer: its CPU time so far, in seconds, from the page's own performance metrics.
async function cpuClock(page) {
    const session = await page.context().newCDPSession(page);
    await session.send('Performance.enable');
    return async () => {
        const { metrics } = await session.send('Performance.getMetrics');
        return metrics.find((m) => m.name === 'ProcessTime').value;
    };
}

async function rendererCount(browser) {
    const session = await browser.newBrowserCDPSession();
    const { processInfo } = await session.send('SystemInfo.getProcessInfo');
    await session.detach();
    return processInfo.filter((p) => p.type === 'renderer').length;
}

async function idleCpu(clocks, seconds) {
    const before = await Promise.all(clocks.map((clock) => clock()));
    await new Promise((resolve) => setTimeout(resolve, seconds * 1000));
    const after = await Promise.all(clocks.map((clock) => clock()));
    return after.map((t, i) => (100 * (t - before[i])) / seconds);
}

const options = parseArguments(process.argv.slice(2));
if (!options) {
    console.error('usage: node room-load.mjs --site DIR --mqtt-port PORT --room ROOM --seats FIRST-LAST [--lifetime S]');
    process.exit(2);
}
let websockify = null;
let browser = null;
async function end(status) {
    await browser?.close().catch(() => {});
    if (websockify) await stopped(websockify);
    process.exit(status);
}
setTimeout(() => {
    console.error(`room-load.mjs: ended after its lifetime of ${options.lifetimeS} s`);
    end(1);
}, options.lifetimeS * 1000).unref();
try {
    const webPort = await freePort();
    websockify = await startWebsockify(options.site, webPort, options.mqttPort);
    browser = await launchBenchChromium();
    const seats = [];
    for (let seat = options.first; seat <= options.last; ++seat) seats.push(seat);
    // Each seat a browser's visitor of its own (its own storage, its own renderer), one after another
    // as trainees come in.
    const pages = [];
    for (const seat of seats) {
        const context = await browser.newContext({ viewport: { width: 1400, height: 1000 } });
        const link = `http://127.0.0.1:${webPort}/#join=${options.room}/${code(seat)}&mqtt=${options.mqttPort}&tls=0`;
        const { page } = await joinPage({ open: () => context.newPage() }, link, `Trainee ${seat}`);
        await roomState(page, 'joined');
        pages.push(page);
    }
    const bare = await (await browser.newContext()).newPage();
    await bare.goto(pathToFileURL(path.join(here, 'bare.html')).href);
    const clocks = await Promise.all([...pages, bare].map(cpuClock));
    // Each page's figure is its own renderer's only when no two pages share one.
    const renderers = await rendererCount(browser);
    if (renderers < clocks.length) console.error(`room-load.mjs: ${clocks.length} pages share ${renderers} renderers`);
    console.log(`joined ${pages.length}`);
    for await (const line of readline.createInterface({ input: process.stdin })) {
        const [word, value] = line.split(' ');
        if (word !== 'idle') continue;
        const percents = await idleCpu(clocks, Number(value));
        const bareCpu = percents.pop();
        console.log(`idle-cpu ${median(percents).toFixed(3)} ${Math.max(...percents).toFixed(3)} ${bareCpu.toFixed(3)}`);
    }
    await end(0);
} catch (error) {
    console.error(`room-load.mjs: ${error.message}`);
    await end(1);
}
