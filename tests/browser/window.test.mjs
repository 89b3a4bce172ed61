// The window's own behaviour: Cancel ends the program, the keyboard drives
// the buttons and dialogs, and a failure the wizard traps comes up as the
// standard error report whose Retry runs the failed step again.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, readFileSync } from 'node:fs';
import { join } from 'node:path';
import {
  openWizard, press, settle, handled, waitPage, waitIdle, frame, button, dialog, dialogText, dialogIcon,
  waitEntry, screenshot, tempFolder, sampleDatabase, connectionString, within, stepTimeout,
} from './harness.mjs';

const windowButtons = ['#cmdAbout', '#cmdBack', '#cmdNext', '#cmdFinish', '#cmdExit', '#cmdCancel'];

async function endedWithin(wizard, started, limit) {
  const how = await within(stepTimeout, () => 'the program did not end', wizard.exited);
  assert.equal(how.code, 0, `exit status (stderr: ${wizard.stderr()})`);
  assert.ok(how.at - started <= limit, `the program ended ${how.at - started} ms after the press`);
}

async function showsEnded(page) {
  const ended = page.locator('#Ended');
  await ended.waitFor({ state: 'visible' });
  assert.equal(await ended.getAttribute('role'), 'status');
  assert.notEqual((await ended.textContent()).trim(), '', 'the ended window says so');
  assert.equal(await page.locator('#WizBrowser').count(), 0, 'the page frame is replaced');
  for (const id of windowButtons) {
    assert.equal(await page.locator(id).isDisabled(), true, `${id} is disabled`);
  }
}

test('Cancel ends the program within 2 seconds and the window shows that it has ended', async (t) => {
  const root = tempFolder(t);
  const { page, wizard } = await openWizard(t, join(root, 'home'));
  const started = Date.now();
  await button(page, 'Cancel').click();
  await endedWithin(wizard, started, 2000);
  await showsEnded(page);
  await screenshot(page, 'window-ended');
});

test('the keyboard: Alt+letter and Enter press the buttons, Escape cancels a dialog and then the wizard', async (t) => {
  const root = tempFolder(t);
  const { page, wizard } = await openWizard(t, join(root, 'home'));
  const f = frame(page);

  // Alt+A: the About box, closed by Enter on its OK.
  await page.keyboard.press('Alt+A');
  const about = await dialog(page, 'About TVK Wizard');
  assert.ok((await about.locator('dl dt').count()) > 0, 'the About box lists the system information');
  assert.deepEqual(await about.getByRole('button').allTextContents(), ['OK']);
  await screenshot(page, 'dialog-about');
  await page.keyboard.press('Enter');
  await about.waitFor({ state: 'hidden' });

  // The open dialog takes only a file that exists; Escape cancels it and
  // the page keeps its answers.
  await f.getByRole('button', { name: 'Browse...' }).click();
  const open = await dialog(page, 'Open Project File');
  assert.deepEqual(await open.getByLabel('Filter').locator('option').allTextContents(),
    ['TVK Wizard Files(*.xml)', 'All Files (*.*)']);
  await open.getByLabel('Path', { exact: true }).fill(join(root, 'missing.xml'));
  await open.getByLabel('Path', { exact: true }).press('Enter');
  await open.getByText('The file does not exist.').waitFor();
  await screenshot(page, 'dialog-open-project-file');
  await page.keyboard.press('Escape');
  await open.waitFor({ state: 'hidden' });
  await waitIdle(page);
  assert.equal(await f.locator('#ExistingProjectPath').inputValue(), '');
  assert.equal(await f.getByLabel('Start a new project').isChecked(), true);

  // Alt+N with the focus inside the page frame.
  await f.getByLabel('Start a new project').focus();
  await page.keyboard.press('Alt+N');
  await waitPage(page, 'TVKProjType');
  // Enter presses Next from a radio button of the page.
  await f.getByLabel('A form page', { exact: true }).check();
  await handled(page);
  await page.keyboard.press('Enter');
  await waitPage(page, 'TVKProjStyle');
  await page.keyboard.press('Alt+B');
  await waitPage(page, 'TVKProjType');
  assert.equal(await f.getByLabel('A form page', { exact: true }).isChecked(), true, 'Back keeps the answer');

  // Escape with no dialog open is Cancel.
  const started = Date.now();
  await page.keyboard.press('Escape');
  await endedWithin(wizard, started, 2000);
  await showsEnded(page);
});

// The program handles a page event (here the click on a project type)
// with calls to the page; a button press that arrives meanwhile must wait
// for that handler, or Next leaves the page under the handler's feet and
// the handler's next call fails with the error report ("The page has
// changed"). A slow handler (a lookup table of a large database) and a
// quick Next meet the same way.
test('a press that comes while the program still handles a page event waits for it', async (t) => {
  const root = tempFolder(t);
  const { page } = await openWizard(t, join(root, 'home'));
  await press(page, 'Next >');
  await waitPage(page, 'TVKProjType');
  // The click and the Enter in one go, both sent before the first is handled.
  await frame(page).locator('#ProjectType-Form').evaluate((radio) => {
    radio.click();
    radio.dispatchEvent(new KeyboardEvent('keydown', { key: 'Enter', code: 'Enter', bubbles: true }));
  });
  await settle(page);
  const shown = page.getByRole('dialog');
  const report = (await shown.count()) > 0 ? await dialogText(shown) : '';
  assert.equal(report, '', 'no error report');
  await waitPage(page, 'TVKProjStyle');
  await press(page, '< Back');
  await waitPage(page, 'TVKProjType');
  assert.equal(await frame(page).getByLabel('A form page', { exact: true }).isChecked(), true);
});

test('a failed save comes up as the error report; Retry asks again and the second save succeeds', async (t) => {
  const root = tempFolder(t);
  const demo = join(root, 'demo');
  sampleDatabase(demo);
  const demoProject = join(demo, 'Orders.xml');
  const { page } = await openWizard(t, join(root, 'home'));
  const f = frame(page);

  // The demo project, chosen in the open dialog by double-clicking it.
  await f.getByRole('button', { name: 'Browse...' }).click();
  const open = await dialog(page, 'Open Project File');
  await open.getByLabel('Path', { exact: true }).fill(demo);
  await open.getByLabel('Path', { exact: true }).press('Enter');
  const entries = open.getByRole('listbox', { name: 'Entries' });
  const names = await waitEntry(open, 'Orders.xml');
  assert.ok(names.indexOf('site/') >= 0 && names.indexOf('site/') < names.indexOf('Orders.xml'),
    `folders come first: ${names}`);
  assert.ok(!names.includes('TVKWizardSample.db'), 'the filter shows project files only');
  await entries.getByRole('option', { name: 'Orders.xml', exact: true }).dblclick();
  await open.waitFor({ state: 'hidden' });
  await handled(page);
  assert.equal(await f.locator('#ExistingProjectPath').inputValue(), demoProject);
  assert.equal(await f.getByLabel('Open a project file').isChecked(), true);
  await press(page, 'Next >');
  await waitPage(page, 'TVKProjType');
  await press(page, 'Finish');
  await waitPage(page, 'TVKFinished');

  // /proc takes no new files, not even from root.
  await f.getByRole('button', { name: 'Save project file' }).click();
  let save = await dialog(page, 'Save Project File');
  await save.getByLabel('Path', { exact: true }).fill('/proc');
  await save.getByLabel('Path', { exact: true }).press('Enter');
  await waitEntry(save, 'self/');
  await save.getByLabel('File name', { exact: true }).fill('tvk-retry.xml');
  await save.getByRole('button', { name: 'Save', exact: true }).click();

  const report = await dialog(page, 'TVK Wizard');
  assert.match(crlfless(await dialogText(report)),
    /^An error has occured\.\nError No: \d+ - [^\n]*\/proc\/tvk-retry\.xml[^\n]*\nSource : TVKWizard\.frmWizard\.TVKW_SaveWizData_onclick$/);
  assert.equal(await dialogIcon(report), 'Exclamation');
  assert.deepEqual(await report.getByRole('button').allTextContents(), ['Abort', 'Retry', 'Ignore']);
  assert.equal(await page.evaluate(() => document.activeElement?.textContent.trim()), 'Abort', 'the first button has the focus');
  await screenshot(page, 'dialog-error-report');
  await report.getByRole('button', { name: 'Retry', exact: true }).click();

  // Retry runs the whole step again: the save dialog comes back.
  save = await dialog(page, 'Save Project File');
  await save.getByLabel('Path', { exact: true }).fill(root);
  await save.getByLabel('Path', { exact: true }).press('Enter');
  await waitEntry(save, 'demo/');
  await save.getByLabel('File name', { exact: true }).fill('Again.xml');
  await save.getByRole('button', { name: 'Save', exact: true }).click();
  await save.waitFor({ state: 'hidden' });
  await handled(page);
  const again = join(root, 'Again.xml');
  assert.ok(existsSync(again), `${again} was written`);
  assert.ok(readFileSync(again, 'utf8').includes(`<WizardDataFile>${again}</WizardDataFile>`));
  assert.ok(!existsSync('/proc/tvk-retry.xml'));
  assert.equal(await page.getByRole('dialog').count(), 0, 'no further report after the save that worked');
});

function crlfless(text) {
  return text.replace(/\r\n/g, '\n');
}

test('pages are loaded ahead out of sight, out of reach of the keyboard, and Next shows one by a swap of frames', async (t) => {
  const root = tempFolder(t);
  const { page } = await openWizard(t, join(root, 'home'));
  const pages = 14; // the .htm files of TVKWizardHTML, each kept once
  await page.waitForFunction((count) => document.querySelectorAll('iframe.Preloaded').length === count, pages,
    { timeout: stepTimeout });
  const hidden = await page.$$eval('iframe.Preloaded', (frames) => frames.map((f) =>
    [f.inert, f.getAttribute('aria-hidden'), f.tabIndex, getComputedStyle(f).visibility, f.id]));
  for (const facts of hidden) assert.deepEqual(facts, [true, 'true', -1, 'hidden', ''], 'a page loaded ahead');

  await page.evaluate(() => { document.getElementById('WizBrowser').dataset.first = 'yes'; });
  await press(page, 'Next >');
  await waitPage(page, 'TVKProjType');
  const shown = await page.$eval('#WizBrowser', (f) => [f.dataset.first ?? '', f.inert, f.hasAttribute('aria-hidden'),
    f.className, document.querySelectorAll('#WizBrowser').length]);
  assert.deepEqual(shown, ['', false, false, '', 1], 'the page comes from a frame loaded ahead');
  // The page shown works as a loaded one does: its answers are read and kept.
  await frame(page).locator('#ProjectType-Form').check();
  await press(page, 'Next >');
  await waitPage(page, 'TVKProjStyle');
  await press(page, '< Back');
  await waitPage(page, 'TVKProjType');
  assert.equal(await frame(page).locator('#ProjectType-Form').isChecked(), true);
  // Frames swapped out are taken down once the window is idle: a copy of
  // every page ahead and the one shown are all that stay.
  await page.waitForFunction((count) => document.querySelectorAll('iframe').length === count + 1, pages,
    { timeout: stepTimeout });
});

// The options of the lookup table list in the field options page.
async function lookupTables(page) {
  return frame(page).locator('#LookupTable').evaluate((list) => Array.from(list.options, (o) => [o.value, o.text, o.dataset.mark ?? '']));
}

// Waits until the copy of the field options page loaded ahead has its long
// list filled ahead, and marks one of those entries.
async function markFilledAhead(page, entries) {
  await page.waitForFunction((count) => [...document.querySelectorAll('iframe.Preloaded')].some((f) =>
    f.contentDocument?.location.pathname.endsWith('/TVKFieldOptions.htm') &&
    f.contentDocument.getElementById('LookupTable')?.options.length === count), entries, { timeout: stepTimeout });
  await page.evaluate(() => {
    const copy = [...document.querySelectorAll('iframe.Preloaded')].find((f) =>
      f.contentDocument?.location.pathname.endsWith('/TVKFieldOptions.htm') &&
      f.contentDocument.getElementById('LookupTable').options.length > 1);
    copy.contentDocument.getElementById('LookupTable').options[1].dataset.mark = 'ahead';
  });
}

test('long lists are filled ahead only with what the program fills them with', async (t) => {
  const root = tempFolder(t);
  const database = sampleDatabase(join(root, 'sample'));
  const extra = Array.from({ length: 120 }, (_, i) => `CREATE TABLE extra_${String(i).padStart(3, '0')} (id INTEGER PRIMARY KEY);`);
  execFileSync('sqlite3', [database, extra.join('\n')]);
  const { page } = await openWizard(t, join(root, 'home'));
  const f = frame(page);
  // Each step's answers, then Next onto the page named after it.
  const steps = [
    ['TVKProjType', () => f.getByLabel('A form page', { exact: true }).check()],
    ['TVKProjStyle', () => {}],
    ['TVKProjectName', async () => {
      await f.locator('#ProjectName').fill('Ahead');
      await f.locator('#FileDirectory').fill(root);
    }],
    ['TVKDatabaseConnection', () => f.locator('#ConnectionStringText').fill(connectionString(database))],
    ['TVKDataSource', () => f.locator('#TableName').selectOption('Orders')],
    ['TVKFormOptions', () => {}],
    ['TVKFormFieldSelect', async () => {
      await f.getByRole('button', { name: 'Add All >>', exact: true }).click();
      await handled(page);
    }],
  ];
  await press(page, 'Next >');
  for (const [name, answer] of steps) {
    await waitPage(page, name);
    await answer();
    await press(page, 'Next >');
  }
  await waitPage(page, 'TVKFieldOptions');
  const first = await lookupTables(page);
  assert.ok(first.length > 120 && first.some(([value]) => value === 'extra_119'), `${first.length} lookup tables`);

  // The same tables again: the entries filled ahead are the program's own.
  await press(page, '< Back');
  await waitPage(page, 'TVKFormFieldSelect');
  await markFilledAhead(page, first.length);
  await press(page, 'Next >');
  await waitPage(page, 'TVKFieldOptions');
  const again = await lookupTables(page);
  assert.deepEqual(again.map(([value, text]) => [value, text]), first.map(([value, text]) => [value, text]));
  assert.equal(again[1][2], 'ahead', 'the entries filled ahead were taken');
  assert.equal(await f.locator('#LookupTable').inputValue(), '', 'the first field has no lookup');

  // A table made meanwhile and read on the table page: the program's fills
  // differ, the entries filled ahead go and the lists are the program's.
  await press(page, '< Back');
  await waitPage(page, 'TVKFormFieldSelect');
  await markFilledAhead(page, first.length);
  execFileSync('sqlite3', [database, 'CREATE TABLE extra_new (id INTEGER PRIMARY KEY);']);
  await press(page, '< Back');
  await waitPage(page, 'TVKFormOptions');
  await press(page, '< Back');
  await waitPage(page, 'TVKDataSource');
  const tables = await f.locator('#TableName').evaluate((list) => Array.from(list.options, (o) => o.value));
  assert.ok(tables.includes('extra_new'), 'the table page reads the new table');
  assert.equal(new Set(tables).size, tables.length, 'no table twice');
  assert.equal(await f.locator('#TableName').inputValue(), 'Orders');
  for (const name of ['TVKFormOptions', 'TVKFormFieldSelect', 'TVKFieldOptions']) {
    await press(page, 'Next >');
    await waitPage(page, name);
  }
  const changed = await lookupTables(page);
  assert.equal(changed.length, first.length + 1);
  assert.ok(changed.some(([value]) => value === 'extra_new'));
  assert.equal(new Set(changed.map(([value]) => value)).size, changed.length, 'no entry twice');
  assert.ok(changed.every(([, , mark]) => mark === ''), 'nothing filled ahead is left');
});
