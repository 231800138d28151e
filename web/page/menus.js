// SPDX-License-Identifier: GPL-3.0-or-later
// The window's menu bar: the device's menus (Datei, Extras with the language and the pointer) built
// from the form's menu items, with their captions, check marks and greying as the device keeps them,
// and the page's own View menu (the zoom). A menu opens on a click and closes on the next click
// anywhere, on Escape or when the page loses the focus.

// A page item: {name, caption, checked, radioItem, enabled, visible, parent}; `choose(name)` acts on it.
export class MenuBar {
    constructor(bar, choose) {
        this.bar = bar;
        this.choose = choose;
        this.items = new Map(); // name -> item
        this.open = null; // the open top-level menu's element
        document.addEventListener('pointerdown', (e) => {
            if (this.open && !this.bar.contains(e.target)) this.close();
        });
        document.addEventListener('keydown', (e) => {
            if (e.key === 'Escape') this.close();
        });
        window.addEventListener('blur', () => this.close());
    }

    // Sets all items anew (the device's and the page's), keeping which menu was open closed.
    setItems(items) {
        this.items = new Map(items.map((item) => [item.name, item]));
        this.render();
    }

    update(changed) {
        let any = false;
        for (const item of changed) {
            if (!this.items.has(item.name)) continue;
            this.items.set(item.name, { ...this.items.get(item.name), ...item });
            any = true;
        }
        if (any) this.render();
    }

    childrenOf(parent) {
        return [...this.items.values()].filter((item) => (item.parent ?? '') === parent && item.visible !== false);
    }

    render() {
        const openName = this.open?.dataset.name;
        this.bar.replaceChildren();
        this.open = null;
        for (const top of this.childrenOf('')) {
            const entry = document.createElement('div');
            entry.className = 'menu';
            entry.dataset.name = top.name;
            const title = document.createElement('button');
            title.type = 'button';
            title.className = 'menu-title';
            title.textContent = top.caption;
            title.disabled = top.enabled === false;
            title.addEventListener('click', () => (this.open === entry ? this.close() : this.show(entry)));
            title.addEventListener('pointerenter', () => this.open && this.open !== entry && this.show(entry));
            entry.append(title, this.list(top.name));
            this.bar.append(entry);
            if (top.name === openName) this.show(entry);
        }
    }

    list(parent) {
        const list = document.createElement('div');
        list.className = 'menu-list';
        list.setAttribute('role', 'menu');
        for (const item of this.childrenOf(parent)) {
            const sub = this.childrenOf(item.name);
            const row = document.createElement('button');
            row.type = 'button';
            row.className = 'menu-item';
            row.dataset.name = item.name;
            row.setAttribute('role', item.radioItem ? 'menuitemradio' : 'menuitem');
            row.disabled = item.enabled === false;
            const mark = document.createElement('span');
            mark.className = 'mark';
            mark.textContent = item.checked ? (item.radioItem ? '●' : '✓') : '';
            const caption = document.createElement('span');
            caption.textContent = item.caption;
            row.append(mark, caption);
            if (sub.length > 0) {
                row.classList.add('submenu');
                const holder = document.createElement('div');
                holder.className = 'menu-sub';
                holder.append(row, this.list(item.name));
                list.append(holder);
                continue;
            }
            row.addEventListener('click', () => {
                this.close();
                this.choose(item.name);
            });
            list.append(row);
        }
        return list;
    }

    show(entry) {
        this.close();
        this.open = entry;
        entry.classList.add('open');
    }

    close() {
        this.open?.classList.remove('open');
        this.open = null;
    }
}
