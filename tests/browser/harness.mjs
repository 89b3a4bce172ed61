// The harness of the browser tests: starts `tvkwizard wizard --no-browser`
// with a configuration home of its own, opens the printed URL in Debian's
// Chromium through playwright-core, and offers the few steps every test
// takes (wait for the window to settle, press a button, find a dialog,
// take a screenshot). Each wizard process is killed when its test ends.
import { spawn, execFileSync } from 'node:child_process';
import { mkdtempSync, mkdirSync, rmSync, existsSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, dirname, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { createInterface } from 'node:readline';
import { chromium } from 'playwright-core';

const here = dirname(fileURLToPath(import.meta.url));

export const sourceDir = resolve(process.env.TVK_SOURCE_DIR ?? join(here, '..', '..'));
export const binaryDir = resolve(process.env.TVK_BINARY_DIR ?? join(sourceDir, 'build'));
export const program = join(binaryDir, 'tvkwizard');
export const screenshotDir = resolve(process.env.TVK_SCREENSHOT_DIR ?? join(sourceDir, 'docs', 'screenshots'));

const chromiumPath = '/usr/bin/chromium';
const chromiumArgs = [
  '--no-sandbox',
  '--disable-gpu',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
  '--no-first-run',
];

// How long a single step (a page load, a dialog) may take before the test
// fails with a message instead of hanging until ctest's timeout.
export const stepTimeout = 20_000;

const urlLine = /^TVK Wizard is running at (http:\/\/127\.0\.0\.1:(\d+)\/\?token=(\S+))$/;

// What a test set up is taken down in reverse order when it ends: the
// browser first, then the wizard process, then the folders they used.
const teardowns = new WeakMap();

export function onEnd(t, step) {
  let steps = teardowns.get(t);
  if (!steps) {
    steps = [];
    teardowns.set(t, steps);
    t.after(async () => {
      while (steps.length > 0) await steps.pop()();
    });
  }
  steps.push(step);
}

// A folder for one test's files, removed when the test ends.
export function tempFolder(t, prefix = 'tvk-e2e-') {
  const folder = mkdtempSync(join(tmpdir(), prefix));
  onEnd(t, () => rmSync(folder, { recursive: true, force: true }));
  return folder;
}

// The bundled sample database, built by `tvkwizard demo` into `folder`.
export function sampleDatabase(folder) {
  execFileSync(program, ['demo', folder], { stdio: ['ignore', 'ignore', 'inherit'] });
  const database = join(folder, 'TVKWizardSample.db');
  if (!existsSync(database)) throw new Error(`tvkwizard demo made no ${database}`);
  return database;
}

export function connectionString(database) {
  return `Driver={SQLite3};Database=${database}`;
}

// Starts the wizard with `home` as HOME and its configuration home (so that
// the recent project list is the test's own) and resolves once the URL line
// has been read. The process is killed when the test ends.
export async function startWizard(t, home, extraArgs = []) {
  const config = join(home, '.config');
  mkdirSync(config, { recursive: true });
  const child = spawn(program, ['wizard', '--no-browser', ...extraArgs], {
    env: { ...process.env, HOME: home, XDG_CONFIG_HOME: config },
    stdio: ['ignore', 'pipe', 'pipe'],
  });
  let stderr = '';
  child.stderr.setEncoding('utf8');
  child.stderr.on('data', (chunk) => { stderr += chunk; });
  const exited = new Promise((resolveExit) => {
    child.on('exit', (code, signal) => resolveExit({ code, signal, at: Date.now() }));
  });
  onEnd(t, () => {
    if (child.exitCode === null && child.signalCode === null) child.kill('SIGKILL');
    return exited;
  });

  const lines = createInterface({ input: child.stdout });
  const first = await within(stepTimeout, () => `tvkwizard wizard printed no URL within ${stepTimeout} ms: ${stderr}`,
    Promise.race([
      new Promise((resolveLine) => lines.once('line', resolveLine)),
      exited.then((how) => {
        throw new Error(`tvkwizard wizard ended (${how.code ?? how.signal}) before printing its URL: ${stderr}`);
      }),
    ]));
  const match = urlLine.exec(first);
  if (!match) throw new Error(`unexpected first line from tvkwizard wizard: ${JSON.stringify(first)}`);
  return {
    process: child,
    url: match[1],
    port: Number(match[2]),
    token: match[3],
    home,
    config,
    exited,
    stderr: () => stderr,
  };
}

// One browser per test, closed when the test ends.
export async function launchBrowser(t) {
  const browser = await chromium.launch({ executablePath: chromiumPath, args: chromiumArgs });
  onEnd(t, () => browser.close());
  return browser;
}

// Starts a wizard and opens its window at 900 x 700; resolves when the
// first page has been shown and filled (its loader has run once Next has
// been enabled from the page).
export async function openWizard(t, home, options = {}) {
  const wizard = await startWizard(t, home, options.args ?? []);
  const browser = options.browser ?? (await launchBrowser(t));
  const page = await browser.newPage({ viewport: { width: 900, height: 700 } });
  page.setDefaultTimeout(stepTimeout);
  await page.addInitScript(countBridgeMessages);
  await page.goto(wizard.url);
  await waitPage(page, 'TVKIntro');
  await page.locator('#cmdNext:not([disabled])').waitFor({ state: 'attached' });
  await waitIdle(page);
  return { wizard, browser, page };
}

export function delay(ms) {
  return new Promise((resolveDelay) => setTimeout(resolveDelay, ms));
}

// `promise`, or a failure saying `what()` once `ms` have passed. The timer
// goes with the answer, so that a finished test file is not kept alive.
export async function within(ms, what, promise) {
  let timer;
  const late = new Promise((_, reject) => {
    timer = setTimeout(() => reject(new Error(what())), ms);
  });
  try {
    return await Promise.race([promise, late]);
  } finally {
    clearTimeout(timer);
  }
}

// Runs in the window before its own script: counts the events the page
// sends to the program and notes, on each "idle" (the program has handled
// every event so far), how many had been sent. An element event (a list
// choice, a click the program is bound to) leaves the window usable while
// the program works on it; these counts tell when it has finished. An idle
// crossing an event sent meanwhile would count that event too, which is
// why every step that sends one waits for it before the next.
function countBridgeMessages() {
  if (window !== window.top) return;
  const counts = { sent: 0, handled: 0 };
  window.__tvkBridge = counts;
  const Native = window.WebSocket;
  const send = Native.prototype.send;
  Native.prototype.send = function sendCounted(data) {
    if (typeof data === 'string' && /"event"\s*:/.test(data)) counts.sent++;
    return send.call(this, data);
  };
  window.WebSocket = class extends Native {
    constructor(...args) {
      super(...args);
      this.addEventListener('message', (event) => {
        if (typeof event.data === 'string' && /"op"\s*:\s*"idle"/.test(event.data)) counts.handled = counts.sent;
      });
    }
  };
}

// Waits until the program has handled every event the page has sent.
export async function handled(page) {
  await page.waitForFunction(() => window.__tvkBridge.handled >= window.__tvkBridge.sent, null,
    { timeout: stepTimeout });
}

// Waits until the window is no longer busy and the program has handled
// everything so far.
export async function waitIdle(page) {
  await page.locator('body[aria-busy="false"]').waitFor({ state: 'attached' });
  await handled(page);
}

// The wizard page frame.
export function frame(page) {
  return page.frameLocator('#WizBrowser');
}

// The page name the shown wizard page carries.
export async function pageName(page) {
  return frame(page).locator('#WIZF_PageName').inputValue();
}

// Waits until `name` is the shown page and the window is idle again.
export async function waitPage(page, name) {
  await frame(page).locator(`#WIZF_PageName[value="${name}"]`).waitFor({ state: 'attached' });
  await waitIdle(page);
}

// A window button by its caption ("Next >", "< Back", "Finish", ...).
export function button(page, caption) {
  return page.locator('#cmdAbout, #cmdBack, #cmdNext, #cmdFinish, #cmdExit, #cmdCancel')
    .and(page.getByRole('button', { name: caption, exact: true }));
}

// Presses a window button and waits until the window is idle again or a
// dialog has come up (dialogs are shown while the window is busy).
export async function press(page, caption) {
  await button(page, caption).click();
  await settle(page);
}

// Waits until the window is usable again or shows a dialog.
export async function settle(page) {
  await page.waitForFunction(
    () => document.body.getAttribute('aria-busy') === 'false' ||
      [...document.querySelectorAll('[role="dialog"]')].some((d) => d.checkVisibility()),
    null,
    { timeout: stepTimeout },
  );
}

// The open dialog titled `title`, once it is shown.
export async function dialog(page, title) {
  const found = page.getByRole('dialog', { name: title, exact: true });
  await found.waitFor({ state: 'visible' });
  return found;
}

// The dialog's message text (message boxes only).
export async function dialogText(box) {
  return box.locator('.DialogText').textContent();
}

// The icon of a message box: Information, Exclamation, Critical or Question.
export async function dialogIcon(box) {
  return box.locator('svg[role="img"]').getAttribute('aria-label');
}

// Waits until the message box showing `text` has gone: no dialog is shown,
// or the next one (a queued message) shows another text.
export async function answered(page, text) {
  await page.waitForFunction(
    (previous) => ![...document.querySelectorAll('[role="dialog"]')].some((d) => d.checkVisibility() &&
      d.querySelector('.DialogText')?.textContent === previous),
    text,
    { timeout: stepTimeout },
  );
}

// The names of the entries a file dialog lists ("folder/" or "file").
export async function entryNames(box) {
  return (await box.getByRole('option').allInnerTexts()).map((name) => name.trim());
}

// Waits until a file dialog lists `name`; a timeout tells what it shows.
export async function waitEntry(box, name) {
  const end = Date.now() + stepTimeout;
  for (;;) {
    const names = await entryNames(box);
    if (names.includes(name)) return names;
    if (Date.now() > end) {
      const path = await box.getByLabel('Path', { exact: true }).inputValue();
      const error = await box.getByRole('alert').textContent();
      throw new Error(`the dialog shows ${path} (${names.length} entries: ${names.slice(0, 8).join(', ')}; ` +
        `"${error}"), not ${name}`);
    }
    await delay(50);
  }
}

// A screenshot of the whole window, named after the page or dialog shown.
export async function screenshot(page, name) {
  mkdirSync(screenshotDir, { recursive: true });
  await page.screenshot({ path: join(screenshotDir, `${name}.png`) });
}

// Selects the options of a list in the frame, fires the change event as a
// person's choice would, and waits until the program has dealt with it.
export async function choose(page, selector, values) {
  await frame(page).locator(selector).selectOption(values);
  await handled(page);
}
