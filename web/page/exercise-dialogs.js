// SPDX-License-Identifier: GPL-3.0-or-later
// The exercise's words and dialogs: the choice of an exercise (the shipped ones, or a file of the
// user's), the trainee's name, and the result with its report and recording to keep. What an exercise
// or a trainee wrote is always shown as text, never as markup.
import { showReport } from './report-view.js';

export const EXERCISE_TEXTS = {
    de: {
        open: 'Übung öffnen…',
        openTitle: 'Übung öffnen',
        shipped: 'Mitgelieferte Übungen:',
        upload: 'Eigene Übung hochladen…',
        cancel: 'Abbrechen',
        cannotOpen: 'Die Übung kann nicht geöffnet werden:',
        cannotStart: 'Die Übung kann nicht gestartet werden:',
        exercise: 'Übung',
        trainee: 'Name des Übenden:',
        name: 'Name: ',
        time: 'Zeit: ',
        timeLeft: 'Verbleibende Zeit: ',
        question: 'Frage',
        handIn: 'Abgeben',
        abandon: 'Übung abbrechen',
        abandonAsk: 'Die Übung abbrechen? Es wird kein Bericht geschrieben.',
        timeUp: 'Die Zeit ist um; die Übung wird abgegeben.',
        handedIn: 'Abgegeben.',
        handedInRoom: 'An den Raum abgegeben.',
        result: 'Ergebnis',
        score: 'Ergebnis: ',
        taken: 'Benötigte Zeit: ',
        report: 'Bericht öffnen',
        saveReport: 'Bericht herunterladen',
        saveRecording: 'Aufzeichnung herunterladen',
        passed: 'bestanden',
        failed: 'nicht bestanden',
        close: 'Schließen',
        yes: 'Ja',
        no: 'Nein',
    },
    en: {
        open: 'Open exercise…',
        openTitle: 'Open exercise',
        shipped: 'Shipped exercises:',
        upload: 'Upload an exercise of your own…',
        cancel: 'Cancel',
        cannotOpen: 'The exercise cannot be opened:',
        cannotStart: 'The exercise cannot be started:',
        exercise: 'Exercise',
        trainee: "Trainee's name:",
        name: 'Name: ',
        time: 'Time: ',
        timeLeft: 'Time left: ',
        question: 'Question',
        handIn: 'Hand in',
        abandon: 'Abandon exercise',
        abandonAsk: 'Abandon the exercise? No report is written.',
        timeUp: 'Time is up; the exercise is handed in.',
        handedIn: 'Handed in.',
        handedInRoom: 'Handed in to the room.',
        result: 'Result',
        score: 'Score: ',
        taken: 'Time taken: ',
        report: 'Open report',
        saveReport: 'Download report',
        saveRecording: 'Download recording',
        passed: 'passed',
        failed: 'failed',
        close: 'Close',
        yes: 'Yes',
        no: 'No',
    },
};

export function element(tag, className, text) {
    const e = document.createElement(tag);
    if (className) e.className = className;
    if (text !== undefined) e.textContent = text;
    return e;
}

function button(text, onClick, name) {
    const b = element('button', null, text);
    b.type = 'button';
    if (name) b.name = name;
    b.addEventListener('click', onClick);
    return b;
}

// "12:05" for minutes and seconds, as the report writes a time.
export function minutesSeconds(ms) {
    const seconds = Math.floor(Math.max(0, ms) / 1000);
    return `${Math.floor(seconds / 60)}:${String(seconds % 60).padStart(2, '0')}`;
}

// A part of a file name fit for every system: letters, digits and '-', anything else '_'.
export function fileNamePart(text) {
    return Array.from(String(text), (c) => (/[\p{L}\p{N}-]/u.test(c) ? c : '_')).slice(0, 40).join('');
}

function twoDigits(n) {
    return String(n).padStart(2, '0');
}

// The moment as the report shows it ("2026-12-09 14:05") and as a file name takes it
// ("2026-12-09_14-05-09").
export function reportDate(date) {
    return `${date.getFullYear()}-${twoDigits(date.getMonth() + 1)}-${twoDigits(date.getDate())} ` +
        `${twoDigits(date.getHours())}:${twoDigits(date.getMinutes())}`;
}

export function fileDate(date) {
    return `${reportDate(date).replace(' ', '_').replace(':', '-')}-${twoDigits(date.getSeconds())}`;
}

// "03-friction_Anna_2026-12-09_14-05-09": the recording and the report share it.
export function sessionStem(exerciseFile, trainee, date) {
    const exercise = String(exerciseFile).replace(/\.[^.]*$/, '');
    return `${fileNamePart(exercise)}_${fileNamePart(trainee)}_${fileDate(date)}`;
}

// Offers `data` as a download named `name`.
export function download(name, data, type) {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([data], { type }));
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 0);
}

// The exercise chosen: {shipped: NAME} or {upload: true}; null when cancelled. `shipped` lists
// {name, title}.
export function chooseExercise(overlays, t, shipped) {
    return overlays.show(t.openTitle, (body, close) => {
        body.classList.add('exercise-choice');
        body.append(element('div', null, t.shipped));
        const list = element('div', 'exercise-list');
        for (const { name, title } of shipped) {
            const row = button(title, () => close({ shipped: name }), name);
            row.title = name;
            list.append(row);
        }
        const row = element('div', 'dialog-buttons');
        row.append(button(t.upload, () => close({ upload: true }), 'upload'),
            button(t.cancel, () => close(null), 'cancel'));
        body.append(list, row);
        return null;
    });
}

// The trainee's name, trimmed and not empty; null when cancelled.
export function askTrainee(overlays, t) {
    return overlays.show(t.exercise, (body, close) => {
        const name = element('input');
        name.name = 'trainee';
        name.dataset.default = '';
        name.maxLength = 100;
        const ok = button('OK', () => close(name.value.trim()), 'ok');
        ok.disabled = true;
        name.addEventListener('input', () => (ok.disabled = name.value.trim().length === 0));
        name.addEventListener('keydown', (e) => e.key === 'Enter' && !ok.disabled && ok.click());
        const label = element('label', 'exercise-trainee', t.trainee);
        label.append(name);
        const row = element('div', 'dialog-buttons');
        row.append(ok, button(t.cancel, () => close(null), 'cancel'));
        body.append(label, row);
        return null;
    });
}

// A question with Yes and No: true for Yes.
export function confirm(overlays, title, t, text) {
    return overlays.show(title, (body, close) => {
        body.append(element('div', 'message-text', text));
        const row = element('div', 'dialog-buttons');
        const no = button(t.no, () => close(false), 'no');
        no.dataset.default = '';
        row.append(button(t.yes, () => close(true), 'yes'), no);
        body.append(row);
        return false;
    });
}

// The result as the hand-in found it: each check passed or not with its text and the value found,
// the answer, the time taken and the score; the report (opened on its own, downloaded) and the
// recording to download beside it. Resolves when closed.
export function showResult(overlays, t, result, files, language) {
    return overlays.show(t.result, (body, close) => {
        body.classList.add('exercise-result');
        body.append(element('div', 'exercise-score', `${t.score}${result.passed} / ${result.total}`),
            element('div', null, `${t.taken}${minutesSeconds(result.takenMs)}`));
        const checks = element('table', 'exercise-checks');
        const judged = (passed) => element('td', passed ? 'passed' : 'failed', passed ? `✔ ${t.passed}` : `✘ ${t.failed}`);
        for (const check of result.checks) {
            const row = element('tr');
            row.append(element('td', null, check.text[language]), judged(check.passed), element('td', null, check.value));
            checks.append(row);
        }
        if (result.question !== null) {
            const row = element('tr');
            row.append(element('td', null, t.question), judged(result.question), element('td'));
            checks.append(row);
        }
        const row = element('div', 'dialog-buttons');
        row.append(button(t.report, () => showReport(result.report), 'report'),
            button(t.saveReport, () => download(files.report, result.report, 'text/html'), 'save-report'),
            button(t.saveRecording, () => download(files.recording, result.recording, 'text/plain'),
                'save-recording'),
            button(t.close, () => close(true), 'close'));
        body.append(checks, row);
        return true;
    });
}
