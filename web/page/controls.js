// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's option controls, built from the form state the library reports: every control at
// its place in the form's points (the page's zoom scales them through the --zoom property), with its
// caption, items, text, check mark, visibility and greying. What the user changes goes back to the
// device as a scenario line; what the device changes comes back as the control's new state.
import { quoted } from './engine.js';

// A radio group's items below its caption, each row at least as high as a radio button.
const ITEM_LEFT = 8;
const ITEM_TOP = 16;
const ITEM_HEIGHT = 17;
const GROUP_FRAME_HEIGHT = 22;

export function radioItemPlace(group, item) {
    const rows = Math.max(1, group.items.length);
    const rowHeight = Math.max(ITEM_HEIGHT, Math.floor((group.height - GROUP_FRAME_HEIGHT) / rows));
    return { left: ITEM_LEFT, top: ITEM_TOP + item * rowHeight, width: group.width - 2 * ITEM_LEFT, height: ITEM_HEIGHT };
}

// The help labels lie over the picture in their own colour and font.
const HELP_LABELS = new Set(['HilfeOben', 'HilfeUnten', 'HelpText']);

function place(element, { left, top, width, height }) {
    element.style.setProperty('--x', left);
    element.style.setProperty('--y', top);
    if (width > 0) {
        element.style.setProperty('--w', width);
        element.style.setProperty('--h', height);
        element.classList.add('sized');
    }
}

function checkable(type, name, onChange) {
    const label = document.createElement('label');
    const input = document.createElement('input');
    input.type = type;
    if (name) input.name = name;
    const caption = document.createElement('span');
    label.append(input, caption);
    input.addEventListener('change', () => onChange(input));
    return { label, input, caption };
}

// A group's frame with its caption on the frame's top line; the children are placed in the group's
// own points, as the form lays them out.
function framed() {
    const element = document.createElement('div');
    const frame = document.createElement('div');
    frame.className = 'frame';
    const legend = document.createElement('span');
    legend.className = 'legend';
    element.append(frame, legend);
    return { element, legend };
}

export class FormControls {
    // `form`: the element the controls go in; `send(line)` runs a user's line on the device.
    constructor(form, send) {
        this.form = form;
        this.send = send;
        this.elements = new Map(); // name -> {control, element, ...parts}
    }

    // Builds those of `controls` that `wanted` takes and that are not built yet, each in its place among
    // those built before it (the form's order is the order they lie over each other in): the page builds
    // what its first frame shows first, the rest a frame later.
    build(controls, picture, wanted = () => true) {
        controls.forEach((c, index) => {
            if (c.kind === 'MenuItem' || this.elements.has(c.name) || !wanted(c)) return;
            const parent = (c.parent ? this.elements.get(c.parent)?.element : this.form) ?? this.form;
            const made = this.make(c, picture);
            if (!made) return;
            made.element.dataset.name = c.name;
            made.element.classList.add('control', c.kind);
            if (HELP_LABELS.has(c.name)) made.element.classList.add('help');
            place(made.element, c);
            const sibling = (list) => list.map((other) => this.elements.get(other.name)?.element)
                .find((element) => element?.parentNode === parent);
            const before = sibling(controls.slice(0, index).reverse());
            if (before) before.after(made.element);
            else parent.insertBefore(made.element, sibling(controls.slice(index + 1)) ?? null);
            this.elements.set(c.name, { ...made, control: c });
            this.apply(c);
        });
    }

    // Sends the user's line for control `name` and shows the control as the device then has it: a change
    // the device refused (a control it holds) does not stay on the page.
    user(name, line) {
        this.send(line);
        const entry = this.elements.get(name);
        if (entry) this.apply(entry.control);
    }

    make(c, picture) {
        const name = c.name;
        switch (c.kind) {
        case 'CheckBox': {
            const parts = checkable('checkbox', null, (input) => this.user(name, `set ${name} ${input.checked ? 1 : 0}`));
            return { element: parts.label, ...parts };
        }
        case 'RadioButton': {
            const parts = checkable('radio', `radio-${c.parent || 'form'}`, () => this.user(name, `set ${name} 1`));
            return { element: parts.label, ...parts };
        }
        case 'RadioGroup': {
            const { element, legend } = framed();
            const items = c.items.map((_, i) => {
                const parts = checkable('radio', `group-${name}`, () => this.user(name, `set ${name} ${i}`));
                place(parts.label, radioItemPlace(c, i));
                parts.label.classList.add('control', 'RadioItem');
                element.append(parts.label);
                return parts;
            });
            return { element, legend, items };
        }
        case 'Group':
            return framed();
        case 'Edit': {
            const element = document.createElement('input');
            element.type = 'text';
            element.spellcheck = false;
            element.addEventListener('input', () => this.user(name, `set ${name} ${quoted(element.value)}`));
            element.addEventListener('keydown', (e) => {
                if (e.key === 'Enter') this.send('click Enter');
            });
            return { element };
        }
        case 'Button': {
            const element = document.createElement('button');
            element.type = 'button';
            element.addEventListener('click', () => this.send(`click ${name}`));
            return { element };
        }
        case 'Label':
        case 'StaticText':
            return { element: document.createElement('div') };
        case 'Shape': {
            const element = document.createElement('div');
            picture?.attachOverlay(element);
            return { element };
        }
        case 'Image':
            if (name === 'Image1' && picture) return { element: picture.canvas };
            return this.makeSplash(c);
        default:
            return null;
        }
    }

    // The splash picture lies over the whole form until it is clicked away.
    makeSplash() {
        const element = document.createElement('div');
        element.classList.add('splash');
        element.innerHTML =
            '<div class="splash-title"><span>KELDAR VP7</span><span class="splash-kind">Stellungsregler<br>Positioner</span></div>' +
            '<div class="splash-line">Nachbildung für Ausbildung und Vorführung · Training simulator</div>' +
            '<div class="splash-continue"></div>';
        element.addEventListener('click', () => this.send('click Image2'));
        return { element };
    }

    // The control's state as the device now has it.
    apply(c) {
        const entry = this.elements.get(c.name);
        if (!entry) return;
        entry.control = c;
        const { element } = entry;
        switch (c.kind) {
        case 'CheckBox':
        case 'RadioButton':
            entry.caption.textContent = c.caption;
            entry.input.checked = c.checked;
            entry.input.disabled = !c.enabled;
            break;
        case 'RadioGroup':
            entry.legend.textContent = c.caption;
            entry.items.forEach((item, i) => {
                item.caption.textContent = c.items[i] ?? '';
                item.input.checked = i === c.itemIndex;
                item.input.disabled = !c.enabled;
            });
            break;
        case 'Group':
            entry.legend.textContent = c.caption;
            break;
        case 'Edit':
            if (element.value !== c.text) element.value = c.text;
            element.disabled = !c.enabled;
            break;
        case 'Button':
            if (c.name === 'SetpointButton') element.classList.add('setpoint-glyph');
            else element.textContent = c.caption;
            element.disabled = !c.enabled;
            break;
        case 'Label':
            element.textContent = (c.text ?? '').replace(/\r\n/g, '\n');
            place(element, { ...c, width: 0 });
            if (c.width > 0) element.style.setProperty('--min-w', c.width);
            break;
        case 'StaticText':
            element.textContent = c.caption;
            break;
        default:
            break;
        }
        // The rows below a control an exercise hides close up over it.
        if (c.kind !== 'Label') place(element, c);
        element.hidden = !c.visible;
        element.classList.toggle('disabled', !c.enabled);
    }

    // A control's caption as shown (the tests and the menus read them back).
    control(name) {
        return this.elements.get(name)?.control ?? null;
    }

    setSplashText(text) {
        const line = this.form.querySelector('.splash-continue');
        if (line) line.textContent = text;
    }
}
