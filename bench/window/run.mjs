// How fast the wizard window answers in the browser: the time the developer
// waits after pressing Next until the next page is shown and filled, and
// after picking another field on the field options page until that field's
// options are shown. Everything between the press and the answer is counted:
// the window page, the socket, the wizard thread's work and the round trips
// it makes to read and fill the page.
//
// The database is one a large project might have: 1,000 tables of a few
// columns (one of them, Orders, with a foreign key) and Wide, a table of 100
// columns that Orders looks its wide_id up in. The table page then lists
// 1,001 tables, and the field options page offers them all as lookup tables
// and reads Wide's columns whenever wide_id is shown.
//
// Steps, each measured TVK_BENCH_RUNS times (default 50) after one unmeasured
// walk onto the page:
// - Next onto the table page (from the database connection page; Back
//   returns there between runs);
// - Next onto the field options page (from the form fields page);
// - a change of "FieldSelect" to wide_id (its lookup into Wide shown) and
//   back to ref (no lookup).
// The clock runs inside the window page, from the press (or the list's change
// event) to the moment the window is no longer busy and the frame shows the
// expected page and values, so the browser driver's own round trips are not
// counted. Each step starts 300 ms (TVK_BENCH_PAUSE_MS) after the window
// became idle: a developer reads a page before pressing on, and the window
// loads pages ahead in such moments.
//
// tvkwizard is build/tvkwizard of this tree (TVK_WIZARD overrides it); the
// browser is /usr/bin/chromium driven by playwright-core. Prints the median
// and the 95th percentile of every step with its target, and exits 1 when a
// target is missed or the walk goes wrong.
import { spawn, spawnSync } from 'node:child_process';
import { existsSync, mkdtempSync, mkdirSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { createInterface } from 'node:readline';
import { fileURLToPath } from 'node:url';

const kChromium = '/usr/bin/chromium';
const kChromiumArgs = ['--no-sandbox', '--disable-gpu', '--disable-background-networking',
  '--disable-component-update', '--disable-sync', '--no-first-run'];
const kNextTargetMs = 100;
const kFieldSelectTargetMs = 150;
// Long enough for a slow first start; a step that takes this long has failed.
const kStartTimeoutMs = 30000;
const kStepTimeoutMs = 15000;

const kSmallTables = 999; // with Orders, the 1,000 tables of a few columns
const kWideColumns = 100;
const kTableCount = kSmallTables + 2; // and Wide
const kOrdersFields = ['id', 'ref', 'wide_id', 'note', 'qty'];

const repo = resolve(dirname(fileURLToPath(import.meta.url)), '..', '..');

// A failure of the run told in one line, without a stack.
function failure(message) {
  const error = new Error(message);
  error.benchFailure = true;
  return error;
}

function fail(message) {
  throw failure(message);
}

async function loadPlaywright() {
  try {
    return (await import('playwright-core')).chromium;
  } catch {
    console.error('bench/window: playwright-core is not installed; run "npm install" in ' + repo);
    process.exit(1);
  }
}

// The column names of Wide: c001 .. c099 after its key.
function wideColumn(n) {
  return 'c' + String(n).padStart(3, '0');
}

function databaseScript() {
  const sql = ['BEGIN;'];
  for (let i = 1; i <= kSmallTables; ++i) {
    const name = 't' + String(i).padStart(4, '0');
    sql.push(`CREATE TABLE ${name} (id INTEGER PRIMARY KEY, name TEXT NOT NULL, amount REAL, created TEXT);`);
  }
  // Text and integer columns by turns: the link column list offers only the
  // integer ones for wide_id, the display list every column.
  const wide = ['id INTEGER PRIMARY KEY'];
  for (let c = 1; c < kWideColumns; ++c) wide.push(`${wideColumn(c)} ${c % 2 === 1 ? 'TEXT' : 'INTEGER'}`);
  sql.push(`CREATE TABLE Wide (${wide.join(', ')});`);
  sql.push('CREATE TABLE Orders (id INTEGER PRIMARY KEY, ref TEXT NOT NULL, ' +
    'wide_id INTEGER REFERENCES Wide(id), note TEXT, qty INTEGER);');
  sql.push("INSERT INTO Wide (id, c001) VALUES (1, 'one'), (2, 'two');");
  sql.push("INSERT INTO Orders (id, ref, wide_id, qty) VALUES (1, 'A-1', 1, 3), (2, 'A-2', 2, 5);");
  sql.push('COMMIT;');
  return sql.join('\n') + '\n';
}

function buildDatabase(path) {
  const made = spawnSync('sqlite3', [path], { input: databaseScript(), encoding: 'utf8' });
  if (made.error) fail(`sqlite3 could not be run: ${made.error.message}`);
  if (made.status !== 0) fail(`sqlite3 could not build the bench database: ${made.stderr.trim()}`);
}

// Starts `tvkwizard wizard --no-browser` and answers the window's address
// once it is printed.
function startWizard(program, home) {
  const env = { ...process.env, HOME: join(home, 'home'), XDG_CONFIG_HOME: join(home, 'config') };
  mkdirSync(env.HOME);
  mkdirSync(env.XDG_CONFIG_HOME);
  const child = spawn(program, ['wizard', '--no-browser'], { cwd: home, env, stdio: ['ignore', 'pipe', 'pipe'] });
  let errors = '';
  child.stderr.setEncoding('utf8');
  child.stderr.on('data', (text) => { errors += text; });
  const address = new Promise((resolveAddress, reject) => {
    const timer = setTimeout(() => reject(failure(`tvkwizard printed no address within ${kStartTimeoutMs} ms`)),
      kStartTimeoutMs);
    createInterface({ input: child.stdout }).on('line', (line) => {
      const found = /TVK Wizard is running at (http:\/\/127\.0\.0\.1:\d+\/\?token=\S+)/.exec(line);
      if (found) {
        clearTimeout(timer);
        resolveAddress(found[1]);
      }
    });
    child.on('error', (error) => {
      clearTimeout(timer);
      reject(failure(`${program} could not be started: ${error.message}`));
    });
    child.on('exit', (code, signal) => {
      clearTimeout(timer);
      reject(failure(`tvkwizard ended (${signal ?? 'exit ' + code}) before it printed its address` +
        (errors ? ':\n' + errors.trim() : '')));
    });
  });
  return { child, address, errors: () => errors };
}

// Runs in the window page. Waits until the step can start (the window idle,
// the button enabled: a page script may enable Next a moment after a
// change, through the wizard), starts it (a window button's click, or a new
// value of a list in the frame with its change event; or nothing, only
// waiting) and answers the milliseconds until the window is idle again and
// the frame shows `expect`. A dialog that opens instead fails the step,
// told with its text.
async function timeStep({ trigger, expect, timeoutMs }) {
  // The window may show a page in a new frame element: looked up each time.
  const frameOf = () => document.getElementById('WizBrowser');
  const busy = () => document.body.getAttribute('aria-busy') !== 'false';
  const pageName = () => {
    const frame = frameOf();
    const name = frame && frame.contentDocument && frame.contentDocument.getElementById('WIZF_PageName');
    return name ? name.value : '(none)';
  };
  const describe = () => `page ${pageName()}, busy ${document.body.getAttribute('aria-busy')}`;
  const mismatch = () => {
    if (busy()) return 'busy';
    if (pageName() !== expect.page) return 'another page';
    for (const [id, property, wanted] of expect.checks) {
      const element = frameOf().contentDocument.getElementById(id);
      if (!element) return `no element ${id}`;
      const value = property === 'options' ? element.options.length : element[property];
      if (value !== wanted) return `${id}.${property} is ${JSON.stringify(value)}, not ${JSON.stringify(wanted)}`;
    }
    return '';
  };
  const dialog = () => {
    const open = [...document.querySelectorAll('[role="dialog"]')].find((d) => !d.hidden &&
      getComputedStyle(d).display !== 'none');
    return open ? open.innerText.replace(/\s+/g, ' ').trim() : '';
  };
  const button = trigger && trigger.button ? document.getElementById(trigger.button) : null;
  if (trigger && trigger.button && !button) throw new Error(`the window has no ${trigger.button}`);
  const ready = () => !busy() && (!button || (!button.disabled && !button.hidden));

  // Polled every few milliseconds, and at once on every change the
  // observers see (the end of busy is an attribute change of the window's
  // body; the frame's lists change by children). Values and checked boxes
  // change unseen: the poll finds them.
  const until = (holds, what) => new Promise((done, failed) => {
    const since = performance.now();
    const observers = [];
    let watchedDoc = null;
    let timer = 0;
    let lastDialogCheck = -Infinity;
    const finish = (outcome) => {
      for (const observer of observers) observer.disconnect();
      clearTimeout(timer);
      outcome();
    };
    const check = () => {
      const now = performance.now();
      if (holds()) return finish(() => done(now));
      // Reading styles is not free; a dialog is looked for now and then.
      if (now - lastDialogCheck > 20) {
        lastDialogCheck = now;
        const text = dialog();
        if (text) return finish(() => failed(new Error(`a dialog opened: ${text}`)));
      }
      if (now - since > timeoutMs) return finish(() => failed(new Error(`${what()} (${describe()})`)));
      const doc = frameOf() && frameOf().contentDocument;
      if (doc && doc !== watchedDoc) {
        watchedDoc = doc;
        const observer = new MutationObserver(check);
        observer.observe(doc, { subtree: true, childList: true, attributes: true });
        observers.push(observer);
      }
      clearTimeout(timer);
      timer = setTimeout(check, 2);
    };
    const body = new MutationObserver(check);
    body.observe(document.body, { attributes: true, attributeFilter: ['aria-busy'] });
    observers.push(body);
    check();
  });

  await until(ready, () => button ? `${trigger.button} could not be pressed for ${timeoutMs} ms`
    : `the window stayed busy for ${timeoutMs} ms`);
  const start = performance.now();
  if (button) {
    button.click();
  } else if (trigger) {
    const list = frameOf().contentDocument.getElementById(trigger.list);
    if (!list) throw new Error(`the frame has no ${trigger.list} (${describe()})`);
    list.value = trigger.value;
    list.dispatchEvent(new Event('input', { bubbles: true }));
    list.dispatchEvent(new Event('change', { bubbles: true }));
  }
  const end = await until(() => mismatch() === '', () => `not there after ${timeoutMs} ms: ${mismatch()}`);
  return end - start;
}

// The step's milliseconds, measured in the page.
async function step(page, trigger, expect) {
  try {
    return await page.evaluate(timeStep, { trigger, expect, timeoutMs: kStepTimeoutMs });
  } catch (error) {
    const what = !trigger ? `waiting for ${expect.page}`
      : trigger.button ? `${trigger.button} towards ${expect.page}`
        : `${trigger.list} = ${trigger.value} on ${expect.page}`;
    fail(`${what}: ${error.message.split('\n')[0].replace(/^page\.evaluate: (Error: )?/, '')}`);
  }
}

// Follows the bridge's messages: a step starts only once the wizard has
// answered "idle" after the last event the window sent. The window blocks
// presses until then, but not its page's own events, nor a press while the
// first page loads; such an event would run inside the wizard's unfinished
// work, and its time would be counted against the next step.
function watchBridge(page) {
  let sequence = 0;
  let lastEvent = 0;
  let lastIdle = 0;
  let wake = () => {};
  const parse = (payload) => {
    try {
      return JSON.parse(typeof payload === 'string' ? payload : payload.toString());
    } catch {
      return null;
    }
  };
  page.on('websocket', (socket) => {
    socket.on('framesent', ({ payload }) => {
      const message = parse(payload);
      if (message && message.event !== undefined) lastEvent = ++sequence;
    });
    socket.on('framereceived', ({ payload }) => {
      // A frame carries one message or several (posted calls travel
      // together, an idle often last among them).
      const frame = parse(payload);
      const messages = Array.isArray(frame) ? frame : [frame];
      if (messages.some((message) => message && message.op === 'idle')) {
        lastIdle = ++sequence;
        wake();
      }
    });
  });
  return async function settled() {
    const deadline = Date.now() + kStepTimeoutMs;
    while (lastIdle === 0 || lastIdle < lastEvent) {
      const left = deadline - Date.now();
      if (left <= 0) fail(`the wizard did not become idle within ${kStepTimeoutMs} ms`);
      await new Promise((done) => {
        const timer = setTimeout(done, Math.min(left, 100));
        wake = () => {
          clearTimeout(timer);
          done();
        };
      });
    }
  };
}

// A developer reads a page for a moment before pressing on; the window uses
// such moments to load pages ahead. Each step starts after this pause.
const kReadingMs = Number(process.env.TVK_BENCH_PAUSE_MS || '300');

async function press(window, button, expectPage, checks = []) {
  await window.settled();
  await new Promise((done) => setTimeout(done, kReadingMs));
  return step(window.page, { button }, { page: expectPage, checks });
}

// What each page shows once its loader has filled it.
const filled = {
  TVKDataSource: [['TableName', 'options', kTableCount]],
  // The empty choice and every table; the first shown field is the key.
  TVKFieldOptions: [['LookupTable', 'options', kTableCount + 1], ['FieldSelect', 'options', kOrdersFields.length],
    ['FieldSelect', 'value', 'id']],
};

// The field options of wide_id (its lookup into Wide: the key as the link,
// the first text column shown, every column offered for display) and of ref
// (no lookup: the lists emptied, the box cleared).
const shownField = {
  wide_id: [['ColumnLabel', 'value', 'wide_id'], ['LookupTable', 'value', 'Wide'],
    ['LookupTableLinkField', 'value', 'id'], ['LookupDisplayField', 'value', wideColumn(1)],
    ['LookupDisplayField', 'options', kWideColumns + 1], ['UseLookup', 'checked', true]],
  ref: [['ColumnLabel', 'value', 'ref'], ['LookupTable', 'value', ''], ['LookupTableLinkField', 'options', 0],
    ['LookupDisplayField', 'options', 1], ['UseLookup', 'checked', false]],
};

async function chooseField(window, field) {
  await window.settled();
  await new Promise((done) => setTimeout(done, kReadingMs));
  return step(window.page, { list: 'FieldSelect', value: field },
    { page: 'TVKFieldOptions', checks: shownField[field] });
}

function summary(samples) {
  const sorted = [...samples].sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  const median = sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
  // Nearest rank: the smallest sample that at least 95 % of the runs do not exceed.
  const p95 = sorted[Math.ceil(0.95 * sorted.length) - 1];
  return { median, p95 };
}

async function main() {
  const runs = Number(process.env.TVK_BENCH_RUNS || '50');
  if (!Number.isInteger(runs) || runs < 1)
    fail(`TVK_BENCH_RUNS must be a positive number, not "${process.env.TVK_BENCH_RUNS}"`);
  const program = resolve(process.env.TVK_WIZARD || join(repo, 'build', 'tvkwizard'));
  if (!existsSync(program)) fail(`${program} not found (build the tvkwizard target, or set TVK_WIZARD)`);
  const chromium = await loadPlaywright();

  const work = mkdtempSync(join(tmpdir(), 'tvk-bench-window-'));
  let wizard = null;
  let browser = null;
  const results = [];
  try {
    const database = join(work, 'bench.db');
    const projectDirectory = join(work, 'project');
    mkdirSync(projectDirectory);
    buildDatabase(database);

    wizard = startWizard(program, work);
    const address = await wizard.address;
    browser = await chromium.launch({ executablePath: kChromium, args: kChromiumArgs });
    const page = await browser.newPage();
    const window = { page, settled: watchBridge(page) };
    // A window that ends (tvkwizard failing) fails the run at once instead
    // of letting every step time out.
    const ended = new Promise((_, reject) => wizard.child.on('exit', (code, signal) =>
      reject(failure(`tvkwizard ended during the run (${signal ?? 'exit ' + code})` +
        (wizard.errors() ? ':\n' + wizard.errors().trim() : '')))));
    ended.catch(() => {});

    const walk = async () => {
      await page.goto(address);
      const frame = page.frameLocator('#WizBrowser');
      // The first page is filled once the wizard is idle.
      await window.settled();
      await step(page, null, { page: 'TVKIntro', checks: [] });
      await press(window, 'cmdNext', 'TVKProjType');
      await frame.locator('#ProjectType-Form').check();
      await press(window, 'cmdNext', 'TVKProjStyle');
      await press(window, 'cmdNext', 'TVKProjectName');
      await frame.locator('#ProjectName').fill('BenchWindow');
      await frame.locator('#FileDirectory').fill(projectDirectory);
      await press(window, 'cmdNext', 'TVKDatabaseConnection');
      await frame.locator('#ConnectionStringText').fill(`Driver={SQLite3};Database=${database}`);

      // Onto the table page: the first time reads the database cold.
      await press(window, 'cmdNext', 'TVKDataSource', filled.TVKDataSource);
      const dataSource = [];
      for (let i = 0; i < runs; ++i) {
        await press(window, 'cmdBack', 'TVKDatabaseConnection');
        dataSource.push(await press(window, 'cmdNext', 'TVKDataSource', filled.TVKDataSource));
      }
      results.push({ what: `Next onto the table page (${kTableCount.toLocaleString('en-US')} tables)`, samples: dataSource,
        target: kNextTargetMs });

      await frame.locator('#TableName').selectOption('Orders');
      await press(window, 'cmdNext', 'TVKFormOptions');
      await press(window, 'cmdNext', 'TVKFormFieldSelect');
      await frame.locator('#AddAllFields').click();
      await press(window, 'cmdNext', 'TVKFieldOptions', filled.TVKFieldOptions);
      const fieldOptions = [];
      for (let i = 0; i < runs; ++i) {
        await press(window, 'cmdBack', 'TVKFormFieldSelect');
        fieldOptions.push(await press(window, 'cmdNext', 'TVKFieldOptions', filled.TVKFieldOptions));
      }
      results.push({ what: 'Next onto the field options page', samples: fieldOptions, target: kNextTargetMs });

      await chooseField(window, 'ref');
      const toLookup = [];
      const toPlain = [];
      for (let i = 0; i < runs; ++i) {
        toLookup.push(await chooseField(window, 'wide_id'));
        toPlain.push(await chooseField(window, 'ref'));
      }
      results.push({ what: `FieldSelect: wide_id (lookup into ${kWideColumns} columns)`, samples: toLookup,
        target: kFieldSelectTargetMs });
      results.push({ what: 'FieldSelect: ref (no lookup)', samples: toPlain, target: kFieldSelectTargetMs });
    };
    await Promise.race([walk(), ended]);

    // Cancel ends the wizard and its server.
    await page.click('#cmdCancel').catch(() => {});
  } finally {
    if (browser) await browser.close().catch(() => {});
    if (wizard) await stopWizard(wizard.child);
    rmSync(work, { recursive: true, force: true });
  }

  let met = true;
  console.log(`${'Window step'.padEnd(48)} ${'runs'.padStart(4)} ${'median'.padStart(9)} ${'p95'.padStart(9)}  target`);
  for (const { what, samples, target } of results) {
    const { median, p95 } = summary(samples);
    const ok = p95 < target;
    met &&= ok;
    console.log(`${what.padEnd(48)} ${String(samples.length).padStart(4)} ${median.toFixed(1).padStart(6)} ms ` +
      `${p95.toFixed(1).padStart(6)} ms  p95 < ${target} ms  ${ok ? 'ok' : 'MISSED'}`);
  }
  return met;
}

// The wizard ends by itself after Cancel; one that does not is stopped.
async function stopWizard(child) {
  if (child.exitCode !== null || child.signalCode !== null) return;
  const exited = new Promise((done) => child.once('exit', done));
  const waited = await Promise.race([exited.then(() => true), new Promise((done) => setTimeout(done, 5000, false))]);
  if (waited) return;
  child.kill('SIGTERM');
  await Promise.race([exited, new Promise((done) => setTimeout(done, 5000))]);
  if (child.exitCode === null && child.signalCode === null) child.kill('SIGKILL');
}

main().then((met) => process.exit(met ? 0 : 1), (error) => {
  console.error(`bench/window: ${error.benchFailure ? error.message : error.stack || error}`);
  process.exit(1);
});
