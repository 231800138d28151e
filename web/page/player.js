// SPDX-License-Identifier: GPL-3.0-or-later
// Plays a checked recording in place of the page's device, as the desktop's player plays one: the
// recording's settings and start, then each line at its moment on the device's own clock, at 1x, 2x or
// 4x the page's time, with a bar that pauses, shows the time and stops. The user's own input is not
// taken meanwhile; when the recording ends the user goes on from where it left the device.

// The runner reads no recording larger than this.
export const LARGEST_RECORDING = 64 << 20;
// How often the played device catches up with the page's time.
const FRAME_MS = 40;
const SPEEDS = [1, 2, 4];

export class Player {
    // `plan` is the library's check of the recording: {setup, start, steps: [[ms, line]], startMs, endMs}.
    constructor(page, plan, name, ended) {
        this.page = page;
        this.plan = plan;
        this.ended = ended;
        this.next = 0;
        this.speed = 1;
        this.paused = false;
        this.finished = false;
        const engine = page.engine;
        engine.reset();
        for (const line of [...plan.setup, plan.start]) engine.run(line);
        this.playedMs = this.deviceMs() - plan.startMs;
        this.lastNow = page.now();
        this.bar = this.buildBar(name);
        page.driver = (now) => this.tick(now);
        page.drivenFrameMs = FRAME_MS;
        this.showProgress();
    }

    deviceMs() {
        return this.page.engine.trend(Number.MAX_SAFE_INTEGER, Number.MAX_SAFE_INTEGER).nowMs;
    }

    buildBar(name) {
        const bar = document.createElement('div');
        bar.className = 'player-bar';
        const title = document.createElement('span');
        title.textContent = `▶ ${name}`;
        this.pauseButton = document.createElement('button');
        this.pauseButton.type = 'button';
        this.pauseButton.className = 'player-pause';
        this.pauseButton.addEventListener('click', () => this.setPaused(!this.paused));
        const speed = document.createElement('select');
        speed.className = 'player-speed';
        for (const factor of SPEEDS) speed.append(new Option(`${factor}×`, String(factor)));
        speed.addEventListener('change', () => {
            this.speed = Number(speed.value);
        });
        this.time = document.createElement('span');
        this.time.className = 'player-time';
        const stop = document.createElement('button');
        stop.type = 'button';
        stop.className = 'player-stop';
        stop.textContent = '■';
        stop.addEventListener('click', () => this.stop());
        bar.append(title, this.pauseButton, speed, this.time, stop);
        document.body.append(bar);
        document.body.classList.add('playing');
        return bar;
    }

    setPaused(paused) {
        this.paused = paused;
        this.showProgress();
    }

    // The page's time since the last frame passes on the played device, the recording's lines
    // running at their moments, each after a wait to it.
    tick(now) {
        const passed = Math.max(0, now - this.lastNow);
        this.lastNow = now;
        if (this.paused || this.finished) return;
        this.playedMs += passed * this.speed;
        this.playUntil(Math.min(this.plan.startMs + this.playedMs, this.plan.endMs));
        this.showProgress();
        if (this.deviceMs() >= this.plan.endMs) this.stop();
    }

    playUntil(ms) {
        const engine = this.page.engine;
        const steps = this.plan.steps;
        const waitTo = (at) => {
            const left = Math.floor(at - this.deviceMs());
            if (left > 0) engine.run(`wait ${left}`);
        };
        for (; this.next < steps.length && steps[this.next][0] <= ms; ++this.next) {
            waitTo(steps[this.next][0]);
            engine.run(steps[this.next][1]); // a line that fails is passed over, as the check passed it
        }
        waitTo(ms);
    }

    showProgress() {
        const seconds = (ms) => (Math.max(0, ms) / 1000).toFixed(1);
        const length = this.plan.endMs - this.plan.startMs;
        this.time.textContent = `${seconds(Math.min(this.playedMs, length))} / ${seconds(length)} s`;
        this.pauseButton.textContent = this.paused ? '▶' : '❚❚';
    }

    // The recording ends here: the page's time passes on the device again from now on.
    stop() {
        if (this.finished) return;
        this.finished = true;
        this.page.driver = null;
        this.page.engine.clockFrom(this.page.now());
        this.bar.remove();
        document.body.classList.remove('playing');
        this.ended();
        this.page.follow();
        this.page.schedule();
    }
}
