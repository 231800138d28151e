// SPDX-License-Identifier: GPL-3.0-or-later
// Loaded by the page's head on its own, ahead of the page's other modules: the device's WebAssembly
// compiles while those still arrive, instead of once they all ran. engine.js imports the same promise.
// A server that does not say `application/wasm` gets the bytes compiled whole instead of as they come.
const url = new URL('vp7.wasm', import.meta.url);

function compileWhole() {
    return fetch(url, { credentials: 'same-origin' }).then((response) => {
        if (!response.ok) throw new Error(`${url.pathname}: ${response.status} ${response.statusText}`);
        return response.arrayBuffer();
    }).then((bytes) => WebAssembly.compile(bytes));
}

export const compiledModule = WebAssembly.compileStreaming(fetch(url, { credentials: 'same-origin' }))
    .catch(compileWhole);
// Taken by the page when it starts; a failure is reported there.
compiledModule.catch(() => {});
