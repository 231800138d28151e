// SPDX-License-Identifier: GPL-3.0-or-later
// The browser benchmarks' own rules: the simulated time a script passes (the figure's numerator), the
// median a figure takes, and which ways of running a script the stroke benchmark accepts.
import assert from 'node:assert/strict';
import path from 'node:path';

import { median } from '../../bench/web/browser.mjs';
import { parseArguments, simulatedMs, strokeScript } from '../../bench/web/strokes.mjs';

export const needsSite = false;

const TWO_HOURS_MS = 2 * 3600 * 1000;

export const tests = [
    {
        name: 'a script passes the time of its waits alone',
        async run() {
            const rows = [
                // script, simulated ms
                ['start\nwait 2500\nclick Enter\nwait 500\n', 3000],
                ['  wait 100\n\twait 20', 120],
                ['# wait 100\nset SetPointText 100\nprint wait 7', 0],
                ['wait 2500 # a remark after the number', 2500],
                ['', 0],
            ];
            for (const [script, ms] of rows) assert.equal(simulatedMs(script), ms, JSON.stringify(script));
            assert.equal(simulatedMs(strokeScript(2)), TWO_HOURS_MS, 'the stroke script of two hours is as long');
        },
    },
    {
        name: 'a figure is the median of its runs, the lower middle of an even count',
        run() {
            const rows = [
                [[5], 5],
                [[3, 1, 2], 2],
                [[40, 10, 30, 20], 20],
                [[7, 7, 1], 7],
            ];
            for (const [values, expected] of rows) assert.equal(median(values), expected, String(values));
        },
    },
    {
        name: 'the stroke benchmark takes each way with all its paths, and the page only with a site',
        run() {
            const S = path.resolve('s.vp7s');
            const rows = [
                // arguments, the ways' labels and kinds (null: refused)
                [['s.vp7s', '--native', 'n', 'bin'], [['n', 'native']]],
                [['--runs', '3', 's.vp7s', '--node', 'w', 'r.js', 'z', '--native', 'n', 'bin'], [['w', 'node'], ['n', 'native']]],
                [['s.vp7s', '--site', 'site', '--page', 'p', 'mod'], [['p', 'page']]],
                [['s.vp7s', '--page', 'p', 'mod'], null],
                [['s.vp7s', '--node', 'w', 'r.js'], null],
                [['s.vp7s'], null],
                [['--native', 'n', 'bin'], null],
                [['--runs', '0', 's.vp7s', '--native', 'n', 'bin'], null],
                [['s.vp7s', 'other.vp7s', '--native', 'n', 'bin'], null],
            ];
            for (const [args, ways] of rows) {
                const options = parseArguments(args);
                if (ways === null) {
                    assert.equal(options, null, args.join(' '));
                    continue;
                }
                assert.equal(options.script, S);
                assert.deepEqual(options.ways.map((way) => [way.label, way.kind]), ways, args.join(' '));
            }
        },
    },
];
