// SPDX-License-Identifier: GPL-3.0-or-later
// The device's message boxes and dialogs as modal overlays on the page, one at a time, and its two
// tool windows (the parameter table, the initialization's info) as panels lying over the form.
import { PanelMover } from './movable.js';

function element(tag, className, text) {
    const e = document.createElement(tag);
    if (className) e.className = className;
    if (text !== undefined) e.textContent = text;
    return e;
}

// Modal overlays queue: a second one waits until the first is answered.
export class Overlays {
    constructor(root) {
        this.root = root;
        this.queue = Promise.resolve();
        this.count = 0;
    }

    get busy() {
        return this.count > 0;
    }

    // `build(close)` fills a dialog box and calls close(answer) once; resolves with the answer.
    show(title, build) {
        this.count += 1;
        const shown = this.queue.then(
            () =>
                new Promise((resolve) => {
                    const shade = element('div', 'overlay');
                    const box = element('div', 'dialog');
                    box.setAttribute('role', 'dialog');
                    box.setAttribute('aria-modal', 'true');
                    box.append(element('div', 'dialog-title', title));
                    const body = element('div', 'dialog-body');
                    box.append(body);
                    shade.append(box);
                    let done = false;
                    const close = (answer) => {
                        if (done) return; // a double click answers once
                        done = true;
                        shade.remove();
                        this.count -= 1;
                        resolve(answer);
                    };
                    const escape = build(body, close);
                    shade.addEventListener('keydown', (e) => {
                        if (e.key === 'Escape' && escape !== undefined) close(escape);
                        e.stopPropagation();
                    });
                    this.root.append(shade);
                    (box.querySelector('[data-default]') ?? box.querySelector('button'))?.focus();
                }),
        );
        this.queue = shown.catch(() => {});
        return shown;
    }

    // A message box: its text and buttons, the device's answer to it the default (the device took its
    // answer when it showed the box); Escape counts as Cancel where there is one.
    message(title, { type, text, buttons, answer }) {
        const names = buttons?.length ? buttons : ['OK'];
        return this.show(title, (body, close) => {
            body.classList.add(`message-${String(type ?? 'information').toLowerCase()}`);
            body.append(element('div', 'message-text', text));
            const row = element('div', 'dialog-buttons');
            for (const name of names) {
                const button = element('button', null, name);
                button.type = 'button';
                button.dataset.answer = name;
                if (name === answer) button.dataset.default = '';
                button.addEventListener('click', () => close(name));
                row.append(button);
            }
            body.append(row);
            return names.includes('Cancel') ? 'Cancel' : names[0];
        });
    }

    // The setpoint scale dialog: {xe, xa} or null when cancelled.
    scaleDialog(state) {
        return this.show(state.caption, (body, close) => {
            body.classList.add('scale-dialog');
            const xe = element('input');
            xe.value = state.setpoint100 ?? '';
            xe.name = 'xe';
            xe.dataset.default = '';
            const xa = element('input');
            xa.value = state.setpoint0 ?? '';
            xa.name = 'xa';
            const fields = element('div', 'scale-fields');
            fields.append(element('label', null, state.label1), xe, element('label', null, state.label2), xa);
            const rules = element('div', 'scale-rules');
            rules.append(element('div', null, state.label3), element('div', null, '0 <= Xa <= 90'),
                element('div', null, '10 <= Xe <= 100'), element('div', null, 'Xe >= Xa + 10'));
            const ok = element('button', null, 'Ok');
            const cancel = element('button', null, state.cancel || 'Cancel');
            ok.addEventListener('click', () => close({ xe: xe.value.trim(), xa: xa.value.trim() }));
            cancel.addEventListener('click', () => close(null));
            for (const edit of [xe, xa])
                edit.addEventListener('keydown', (e) => e.key === 'Enter' && ok.click());
            const row = element('div', 'dialog-buttons');
            row.append(ok, cancel);
            body.append(fields, rules, row);
            return null;
        });
    }

    // The screen check at start: true to go on, false to close; the check box is sent as it changes.
    screenCheck(state, onCheck) {
        return this.show('Info', (body, close) => {
            body.classList.add('screen-check');
            for (const line of state.lines ?? []) body.append(element('div', 'screen-line', line));
            const row = element('div', 'dialog-buttons');
            const go = element('button', null, state.continue);
            const stop = element('button', null, state.close);
            go.addEventListener('click', () => close(true));
            stop.addEventListener('click', () => close(false));
            row.append(go, stop);
            const label = element('label', 'screen-check-box');
            const box = element('input');
            box.type = 'checkbox';
            box.checked = state.checked;
            box.addEventListener('change', () => onCheck(box.checked));
            label.append(box, element('span', null, state.check));
            body.append(row, label);
            return undefined;
        });
    }
}

// A tool window lying over the form at the device's place for it until the user moves it by its title
// bar, closed with its own button when `onClose` is given.
export class ToolPanel {
    constructor(root, className, onClose) {
        this.panel = element('div', `panel ${className}`);
        this.panel.hidden = true;
        this.title = element('div', 'panel-title');
        const bar = element('div', 'panel-bar');
        bar.append(this.title);
        if (onClose) {
            const closer = element('button', 'panel-close', '×');
            closer.type = 'button';
            closer.addEventListener('click', () => onClose());
            bar.append(closer);
        }
        this.body = element('div', 'panel-body');
        this.panel.append(bar, this.body);
        root.append(this.panel);
        this.mover = new PanelMover(this.panel, bar, className);
    }

    // Whether `state` differs from what the panel shows; the panel then keeps it as shown.
    changed(state) {
        const text = JSON.stringify(state);
        if (text === this.shownState) return false;
        this.shownState = text;
        return true;
    }

    placeAt(deviceLeft, deviceTop) {
        const { left, top } = this.mover.placeFor(deviceLeft, deviceTop);
        this.panel.style.setProperty('--x', left);
        this.panel.style.setProperty('--y', top);
    }
}

// The parameter table: the header row and the rows below it.
export function fillParamTable(panel, state) {
    panel.panel.hidden = !state.visible;
    if (!state.visible || !panel.changed(state)) return;
    panel.title.textContent = state.caption;
    panel.placeAt(state.left, state.top);
    panel.panel.style.setProperty('--h', state.height);
    const table = element('table', 'partab');
    const [header, ...rows] = state.rows ?? [];
    if (header) {
        const head = element('tr');
        for (const cell of header) head.append(element('th', null, cell));
        table.append(head);
    }
    for (const row of rows) {
        const tr = element('tr');
        for (const cell of row) tr.append(element('td', null, cell));
        table.append(tr);
    }
    panel.body.replaceChildren(table);
}

// The initialization's info window: the run, its explanation, the error, measures and keys.
export function fillInitInfo(panel, state, pause) {
    panel.panel.hidden = !state.visible;
    if (!state.visible || !panel.changed(state)) return;
    panel.title.textContent = state.run?.trim() || 'Info';
    panel.placeAt(state.left, state.top);
    const field = (label, text) => {
        const box = element('div', 'info-field');
        box.append(element('div', 'info-label', label), element('div', 'info-text', text ?? ''));
        return box;
    };
    const button = element('button', 'info-pause', state.pause);
    button.type = 'button';
    button.addEventListener('click', pause);
    panel.body.replaceChildren(
        field(state.statusLabel, state.run),
        field(state.explanationLabel, (state.lines ?? []).join('\n')),
        field(state.errorLabel, state.error),
        field(state.measureLabel, state.measure),
        field(state.keyLabel, state.keys),
        button,
    );
}
