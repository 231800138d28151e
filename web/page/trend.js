// SPDX-License-Identifier: GPL-3.0-or-later
// The trend window: setpoint, position and deviation over the session's time with its events as
// marks, as the desktop's trend window draws them, following the device while shown; exported as the
// runner's CSV (the desktop's columns) or as the chart's picture.
import { FILES_FOLDER } from './engine.js';
import { ToolPanel } from './dialogs.js';
import { offerDownload } from './files.js';

// How often the chart takes what the device recorded meanwhile.
const FOLLOW_MS = 500;
// The bridge hands at most this many samples a call.
const ROWS_A_CALL = 20000;
const CHART = { width: 640, height: 300 };
// The desktop's curves, in its colours: position in the green of the picture's valve scale.
const SERIES = [
    { de: 'Sollwert %', en: 'Setpoint %', stroke: 'rgb(30, 90, 200)', scale: '%' },
    { de: 'Istwert %', en: 'Position %', stroke: 'rgb(0, 160, 60)', scale: '%' },
    { de: 'Regelabweichung %', en: 'Deviation %', stroke: 'rgb(200, 30, 30)', scale: 'e' },
];
const EVENT_COLOUR = 'rgba(120, 60, 160, 0.7)';

// The trend's events as a rewind's marks: at most one a moment, inside the session.
export function rewindMarks(items, lengthMs) {
    const marks = new Map();
    for (const [seconds, text] of items ?? []) {
        const ms = Math.min(lengthMs, Math.max(0, Math.round(seconds * 1000)));
        marks.set(ms, marks.has(ms) ? `${marks.get(ms)}; ${text}` : text);
    }
    return [...marks].map(([ms, text]) => ({ ms, text }));
}

let uplotModule = null;
async function loadUplot() {
    if (uplotModule) return uplotModule;
    const base = new URL('./lib/uplot/', import.meta.url);
    const style = document.createElement('link');
    style.rel = 'stylesheet';
    style.href = new URL('uPlot.min.css', base).href;
    document.head.append(style);
    uplotModule = (await import(new URL('uPlot.esm.js', base).href)).default;
    return uplotModule;
}

export class TrendPanel {
    constructor(page) {
        this.page = page;
        this.shown = false;
        this.clear();
        this.timer = null;
    }

    clear() {
        this.device = null;
        this.nextSample = 0;
        this.nextEvent = 0;
        this.data = [[], [], [], []];
        this.events = [];
    }

    async toggle() {
        if (this.shown) return this.hide();
        return this.show();
    }

    async show() {
        const UPlot = await loadUplot();
        if (!this.panel) this.build(UPlot);
        this.shown = true;
        this.panel.panel.hidden = false;
        this.update();
        this.timer = setInterval(() => this.update(), FOLLOW_MS);
        this.page.menus.setItems(this.page.allMenuItems());
    }

    hide() {
        this.shown = false;
        clearInterval(this.timer);
        if (this.panel) this.panel.panel.hidden = true;
        this.page.menus.setItems(this.page.allMenuItems());
    }

    build(UPlot) {
        this.panel = new ToolPanel(this.page.formElement, 'trend-panel', () => this.hide());
        this.panel.title.textContent = 'Trend';
        this.panel.placeAt(30, 40);
        const chart = document.createElement('div');
        chart.className = 'trend-chart';
        const row = document.createElement('div');
        row.className = 'dialog-buttons';
        for (const [label, act] of [['CSV', () => this.exportCsv()], ['PNG', () => this.exportPng()]]) {
            const button = document.createElement('button');
            button.type = 'button';
            button.textContent = label;
            button.dataset.export = label.toLowerCase();
            button.addEventListener('click', act);
            row.append(button);
        }
        this.panel.body.append(chart, row);
        this.plot = new UPlot({
            ...CHART,
            scales: { x: { time: false }, '%': { auto: true }, e: { auto: true } },
            axes: [{ label: 's' }, { scale: '%', label: '%' }, { scale: 'e', side: 1, grid: { show: false } }],
            series: [{ label: 't s' }, ...SERIES.map(({ stroke, scale, ...names }) =>
                ({ label: names[this.page.language] ?? names.en, stroke, scale, points: { show: false } }))],
            hooks: { draw: [(u) => this.drawEvents(u)] },
        }, this.data, chart);
    }

    // Takes what the device recorded since the last time; a new device (a state, a rewind) starts
    // the chart anew.
    update() {
        if (!this.shown) return;
        for (;;) {
            const trend = this.page.engine.trend(this.nextSample, this.nextEvent);
            if (trend.device !== this.device) {
                const device = trend.device;
                this.clear();
                this.device = device;
                continue;
            }
            for (const row of trend.samples.rows) row.forEach((value, i) => this.data[i].push(value));
            this.events.push(...trend.events.items);
            this.nextSample = trend.samples.next;
            this.nextEvent = trend.events.next;
            if (trend.samples.rows.length < ROWS_A_CALL) break;
        }
        this.plot?.setData(this.data);
    }

    drawEvents(u) {
        const { ctx } = u;
        const { top, height } = u.bbox;
        ctx.save();
        ctx.strokeStyle = EVENT_COLOUR;
        ctx.lineWidth = Math.max(1, devicePixelRatio);
        for (const [seconds] of this.events) {
            const x = Math.round(u.valToPos(seconds, 'x', true));
            ctx.beginPath();
            ctx.moveTo(x, top);
            ctx.lineTo(x, top + height);
            ctx.stroke();
        }
        ctx.restore();
    }

    // The runner's CSV of the whole trend, as the desktop exports it.
    exportCsv() {
        const path = `${FILES_FOLDER}/trend.csv`;
        const result = this.page.engine.run(`trend ${path}`);
        const written = result.ok ? this.page.engine.readFile(path) : null;
        if (written) offerDownload(written, 'trend.csv', 'text/csv');
        return written;
    }

    exportPng() {
        this.plot?.ctx.canvas.toBlob((blob) => blob && offerDownload(blob, 'trend.png'), 'image/png');
    }

    // How many samples the chart holds: the tests compare it with the device's own count.
    get sampleCount() {
        return this.data[0].length;
    }
}
