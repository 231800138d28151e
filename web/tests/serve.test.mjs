// SPDX-License-Identifier: GPL-3.0-or-later
// The static server: what it serves, with which type and policy, and what it refuses.
import assert from 'node:assert/strict';
import { mkdtemp, mkdir, rm, symlink, writeFile } from 'node:fs/promises';
import { request } from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { startServer } from '../serve.mjs';

export const needsSite = false;

// A raw request, so the path reaches the server exactly as written (dots and all).
function fetchRaw(port, method, target) {
    return new Promise((resolve, reject) => {
        const req = request({ host: '127.0.0.1', port, method, path: target }, (res) => {
            let body = '';
            res.on('data', (chunk) => (body += chunk));
            res.on('end', () => resolve({ status: res.statusCode, headers: res.headers, body }));
        });
        req.on('error', reject);
        req.end();
    });
}

async function withSite(body) {
    const top = await mkdtemp(path.join(os.tmpdir(), 'vp7-serve-'));
    const site = path.join(top, 'site');
    await mkdir(path.join(site, 'artwork', '2'), { recursive: true });
    await writeFile(path.join(top, 'secret.txt'), 'secret');
    await mkdir(path.join(top, 'outside'));
    await writeFile(path.join(top, 'outside', 'x.js'), 'secret');
    const files = {
        'index.html': '<!DOCTYPE html>', 'vp7.wasm': 'w', 'vp7.js': 'j', 'main.mjs': 'm', 'style.css': 'c',
        'artwork/sprites.json': '{}', 'artwork/2/Image1.webp': 'i', 'artwork/2/Strom0.png': 'p',
        'a.vp7x': 'x', 'b.vp7s': 's', 'data.bin': 'b',
    };
    for (const [name, text] of Object.entries(files)) await writeFile(path.join(site, name), text);
    await symlink(path.join(top, 'secret.txt'), path.join(site, 'link.txt'));
    await symlink(path.join(top, 'outside'), path.join(site, 'linked'));
    await symlink(path.join(site, 'vp7.js'), path.join(site, 'alias.js'));
    const server = await startServer(site, 0);
    try {
        await body(server.address().port);
    } finally {
        server.close();
        await rm(top, { recursive: true, force: true });
    }
}

export const tests = [
    {
        name: 'the server gives each file its type and refuses what lies outside the folder',
        run: () => withSite(async (port) => {
            const rows = [
                ['GET', '/', 200, 'text/html; charset=utf-8'],
                ['GET', '/vp7.wasm', 200, 'application/wasm'],
                ['GET', '/vp7.js', 200, 'text/javascript; charset=utf-8'],
                ['GET', '/main.mjs', 200, 'text/javascript; charset=utf-8'],
                ['GET', '/style.css', 200, 'text/css; charset=utf-8'],
                ['GET', '/artwork/sprites.json', 200, 'application/json; charset=utf-8'],
                ['GET', '/artwork/2/Image1.webp', 200, 'image/webp'],
                ['GET', '/artwork/2/Strom0.png?v=1', 200, 'image/png'],
                ['GET', '/a.vp7x', 200, 'application/octet-stream'],
                ['GET', '/b.vp7s', 200, 'text/plain; charset=utf-8'],
                ['GET', '/data.bin', 200, 'application/octet-stream'],
                ['GET', '/alias.js', 200, 'text/javascript; charset=utf-8'],
                ['HEAD', '/vp7.wasm', 200, 'application/wasm'],
                ['GET', '/missing.js', 404],
                ['GET', '/../secret.txt', 404],
                ['GET', '/artwork/../../secret.txt', 404],
                ['GET', '/%2e%2e/secret.txt', 404],
                ['GET', '/%2E%2E%2fsecret.txt', 404],
                ['GET', '/artwork%2f..%2f..%2fsecret.txt', 404],
                ['GET', '/..%5csecret.txt', 404],
                ['GET', '/link.txt', 404],
                ['GET', '/linked/x.js', 404],
                ['GET', '/%00', 404],
                ['GET', '/%E0%A4%A', 404],
                ['POST', '/', 405],
                ['PUT', '/vp7.js', 405],
                ['DELETE', '/vp7.js', 405],
            ];
            for (const [method, target, status, type] of rows) {
                const answer = await fetchRaw(port, method, target);
                assert.equal(answer.status, status, `${method} ${target}`);
                if (type) assert.equal(answer.headers['content-type'], type, `${method} ${target}`);
                assert.match(answer.headers['content-security-policy'], /default-src 'self'/, target);
                assert.ok(!answer.body.includes('secret'), `${method} ${target} leaked`);
                if (method === 'HEAD') assert.equal(answer.body, '');
            }
        }),
    },
    {
        name: 'the server listens on this machine alone',
        run: () => withSite(async (port) => {
            const server = await startServer(os.tmpdir(), 0);
            try {
                assert.equal(server.address().address, '127.0.0.1');
                assert.notEqual(server.address().port, port);
            } finally {
                server.close();
            }
        }),
    },
];
