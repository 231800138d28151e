// SPDX-License-Identifier: GPL-3.0-or-later
// Plays a checked recording in place of the page's device, as the desktop's player plays one: the
// recording's settings and start in a scratch folder of its own, then each line at its moment on the
// device's own clock, at 1x, 2x or 4x the page's time, with a bar that pauses, shows the time and
// stops. The user's own input is not taken meanwhile, and the played device's settings are never the
// user's. At its end the recording stands still, shown, until the user stops it; then the user's own
// device starts again on the user's settings, which the played device never touched.

// The runner reads no recording larger than this.
export const LARGEST_RECORDING = 64 << 20;
// How often the played device catches up with the page's time.
const FRAME_MS = 40;
// How often the page looks at a recording standing at its end, where nothing changes any more.
const STANDING_FRAME_MS = 1000;
const SPEEDS = [1, 2, 4];
// The played device's program folder: its settings and whatever it saves, emptied for each recording.
export const PLAY_FOLDER = '/vp7-play';
const END_WORD = { de: 'Ende', en: 'End' };

export class Player {
    // `plan` is the library's check of the recording: {setup, start, steps: [[ms, line]], startMs, endMs}.
    constructor(page, plan, name, ended) {
        this.page = page;
        this.plan = plan;
        this.ended = ended;
        this.next = 0;
        this.speed = 1;
        this.paused = false;
        this.atEnd = false;
        this.finished = false;
        const engine = page.engine;
        // The user's device closes as the desktop's window does, which writes the settings file it
        // starts again on; the played device keeps its own in a folder of its own.
        engine.close();
        page.saveSettings();
        engine.resetInScratch(PLAY_FOLDER);
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
        if (this.paused || this.atEnd || this.finished) return;
        this.playedMs += passed * this.speed;
        this.playUntil(Math.min(this.plan.startMs + this.playedMs, this.plan.endMs));
        if (this.deviceMs() >= this.plan.endMs) this.reachEnd();
        this.showProgress();
    }

    // The recording has played whole: its device stands as the recording left it, shown with the
    // word the desktop's player shows, and nothing passes on it any more.
    reachEnd() {
        this.atEnd = true;
        this.page.drivenFrameMs = STANDING_FRAME_MS;
        this.bar.classList.add('ended');
        this.pauseButton.disabled = true;
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
        const end = this.atEnd ? `  ${END_WORD[this.page.language] ?? END_WORD.en}` : '';
        this.time.textContent = `${seconds(Math.min(this.playedMs, length))} / ${seconds(length)} s${end}`;
        this.pauseButton.textContent = this.paused ? '▶' : '❚❚';
    }

    // The recording is over: the user's own device starts again on the settings file in the page's
    // own folder, which the played device never wrote. An exercise opened meanwhile keeps its device.
    stop() {
        if (this.finished) return;
        this.finished = true;
        this.page.driver = null;
        this.bar.remove();
        document.body.classList.remove('playing');
        const { page } = this;
        if (!page.exercises?.running) {
            page.engine.reset();
            const refused = page.engine.start(screen.width, screen.height, page.now());
            if (refused) page.errors.push({ line: 'start', error: refused });
        }
        this.ended();
    }
}
