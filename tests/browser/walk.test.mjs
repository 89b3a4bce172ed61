// A developer's whole way through the wizard window: a list-with-form
// project over the sample database, a lookup from a table and a hand-made
// list, Finish, the report, the project saved through the save dialog; then
// the saved project opened again from the recent list and generated anew,
// and Back from the final page.
import { test, after } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtempSync, mkdirSync, rmSync, existsSync, readFileSync, statSync, unlinkSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import {
  openWizard, press, handled, waitPage, frame, button, dialog, waitEntry, screenshot, choose,
  sampleDatabase, connectionString, pageName,
} from './harness.mjs';

// Shared by the tests of this file: the second opens what the first saved,
// with the same configuration home (and so the same recent list).
const root = mkdtempSync(join(tmpdir(), 'tvk-e2e-walk-'));
after(() => rmSync(root, { recursive: true, force: true }));
const home = join(root, 'home');
const site = join(root, 'site');
const includes = join(site, 'includes');
const projectFile = join(root, 'Shop.xml');
let database;
let saved = false;

const pagesFiles = () => ({
  list: join(site, 'ShopList.asp'),
  form: join(site, 'ShopForm.asp'),
  display: join(includes, 'incTVKWDisplay.asp'),
  action: join(includes, 'incTVKWAction.asp'),
  css: join(site, 'TVKW_XP.css'),
  graphics: ['TVKW_XP_SortAsc.gif', 'TVKW_XP_SortDesc.gif', 'TVKW_XP_EditRecord.gif'].map((g) => join(site, g)),
});

async function focusedLabel(page) {
  return page.evaluate(() => document.activeElement?.getAttribute('aria-label') ?? '');
}

// Shows the options of `field` on the field options page.
async function showField(page, field) {
  await choose(page, '#FieldSelect', field);
  assert.equal(await frame(page).locator('#ColumnLabel').inputValue(), field);
}

test('a list-with-form project in the XP style, from the first page to the saved project file', async (t) => {
  mkdirSync(includes, { recursive: true });
  database = sampleDatabase(join(root, 'sample'));
  const { page } = await openWizard(t, home);
  const f = frame(page);

  assert.equal(await page.title(), 'TVK Wizard - Welcome');
  assert.equal(await page.locator('#Caption').textContent(), 'TVK Wizard - Welcome');
  assert.equal(await button(page, '< Back').isDisabled(), true);
  assert.equal(await button(page, 'Finish').isDisabled(), true);
  assert.equal(await button(page, 'Exit').isHidden(), true);
  assert.equal(await button(page, 'About').isVisible(), true);
  await screenshot(page, 'TVKIntro');
  await press(page, 'Next >');

  await waitPage(page, 'TVKProjType');
  assert.equal(await button(page, 'About').isHidden(), true, 'About belongs to the first page only');
  await f.getByLabel('A list page with a form page', { exact: true }).check();
  await screenshot(page, 'TVKProjType');
  await press(page, 'Next >');

  await waitPage(page, 'TVKProjStyle');
  await f.getByLabel('XP', { exact: true }).check();
  await screenshot(page, 'TVKProjStyle');
  await press(page, 'Next >');

  await waitPage(page, 'TVKProjectName');
  await f.locator('#ProjectName').fill('Shop');
  // The folder comes from the folder browser, typed into its path field.
  await f.getByRole('button', { name: 'Browse...' }).click();
  const folders = await dialog(page, 'Select Directory');
  await folders.getByLabel('Path', { exact: true }).fill(site);
  await folders.getByLabel('Path', { exact: true }).press('Enter');
  await waitEntry(folders, 'includes/');
  assert.equal(await folders.getByLabel('Filter').count(), 0, 'the folder browser has no file filter');
  await screenshot(page, 'dialog-select-directory');
  await folders.getByRole('button', { name: 'OK', exact: true }).click();
  await folders.waitFor({ state: 'hidden' });
  await handled(page);
  assert.equal(await f.locator('#FileDirectory').inputValue(), site);
  await screenshot(page, 'TVKProjectName');
  await press(page, 'Next >');

  await waitPage(page, 'TVKDatabaseConnection');
  await f.locator('#ConnectionStringText').fill(connectionString(database));
  await screenshot(page, 'TVKDatabaseConnection');
  await press(page, 'Next >');

  await waitPage(page, 'TVKDataSource');
  const tables = await f.locator('#TableName option').allTextContents();
  assert.ok(tables.includes('T: Orders') && tables.includes('V: OrderTotals'), `tables offered: ${tables}`);
  await choose(page, '#TableName', 'Orders');
  await screenshot(page, 'TVKDataSource');
  await press(page, 'Next >');

  await waitPage(page, 'TVKListLFOptions');
  await f.locator('#RecordsPerPage').fill('5');
  await f.locator('#MaxPages').fill('8');
  await screenshot(page, 'TVKListLFOptions');
  await press(page, 'Next >');

  await waitPage(page, 'TVKFormOptions');
  await f.getByLabel('Delete records', { exact: true }).uncheck();
  await screenshot(page, 'TVKFormOptions');
  await press(page, 'Next >');

  await waitPage(page, 'TVKListFieldSelect');
  // Next waits for at least one shown field.
  assert.equal(await button(page, 'Next >').isDisabled(), true);
  await choose(page, '#TableFields', ['OrderID', 'OrderDate', 'ShipName', 'ShipCountry']);
  await f.getByRole('button', { name: 'Add >', exact: true }).click();
  await handled(page);
  assert.equal(await button(page, 'Next >').isDisabled(), false, 'Next once fields are shown');
  await screenshot(page, 'TVKListFieldSelect');
  await press(page, 'Next >');

  await waitPage(page, 'TVKFormFieldSelect');
  await f.getByRole('button', { name: 'Add All >>', exact: true }).click();
  await handled(page);
  assert.equal(await button(page, 'Next >').isDisabled(), false, 'Next once fields are shown');
  await screenshot(page, 'TVKFormFieldSelect');
  await press(page, 'Next >');

  await waitPage(page, 'TVKFieldOptions');
  assert.equal(await page.title(), 'TVK Wizard - Field Options');
  // The first field has no lookup: its lists are inert rather than disabled
  // (disabling restyles every entry of a long list), and neither a click on
  // a label nor a key changes them.
  assert.equal(await f.locator('#UseLookup').isChecked(), false);
  const lookupTables = f.locator('#LookupTable');
  assert.deepEqual(await lookupTables.evaluate((l) => [l.disabled, l.getAttribute('aria-disabled'), l.tabIndex]),
    [false, 'true', -1]);
  await f.locator('label[for="LookupTable"]').click({ force: true });
  assert.equal(await lookupTables.evaluate((l) => l.ownerDocument.activeElement === l), false, 'the label gives no focus');
  await lookupTables.click({ force: true });
  assert.deepEqual(await lookupTables.evaluate((l) => [l.ownerDocument.activeElement === l, l.matches(':open')]),
    [false, false], 'a press on the list neither focuses nor opens it');
  const before = await lookupTables.inputValue();
  await lookupTables.focus();
  await lookupTables.press('ArrowDown');
  assert.equal(await lookupTables.inputValue(), before, 'keys leave an inert list as it is');
  // The ship name is chosen from the customers' company names.
  await showField(page, 'ShipName');
  await f.locator('#ColumnLabel').fill('Ship to');
  await f.getByLabel('Show a looked-up value instead of the stored one').check();
  await f.getByLabel('a table', { exact: true }).check();
  await choose(page, '#LookupTable', 'Customers');
  // Every column may be shown; the link offers those that fit the field.
  assert.equal(await f.locator('#LookupDisplayField option').count(), 11);
  assert.ok((await f.locator('#LookupTableLinkField option').allTextContents()).includes('CompanyName'));
  await choose(page, '#LookupTableLinkField', 'CompanyName');
  await choose(page, '#LookupDisplayField', 'CompanyName');
  await f.getByLabel('radio buttons', { exact: true }).check();
  await screenshot(page, 'TVKFieldOptions');

  // The country comes from a list typed into the grid.
  await showField(page, 'ShipCountry');
  await f.getByLabel('Show a looked-up value instead of the stored one').check();
  await f.getByLabel('a hand-made list', { exact: true }).check();
  await f.getByRole('button', { name: 'Edit list...' }).click();
  const editor = await dialog(page, 'List Administration');
  const grid = editor.getByRole('grid');
  assert.deepEqual(await grid.getByRole('columnheader').allTextContents(), ['Link Field', 'Display Field']);
  assert.equal(await editor.getByLabel('Link Field 1', { exact: true }).getAttribute('maxlength'), '50');
  assert.equal(await editor.getByLabel('Display Field 1', { exact: true }).getAttribute('maxlength'), '200');
  await editor.getByLabel('Link Field 1', { exact: true }).click();
  await page.keyboard.type('DE');
  await page.keyboard.press('Tab');
  assert.equal(await focusedLabel(page), 'Display Field 1');
  await page.keyboard.type('Germany');
  await page.keyboard.press('Enter');
  assert.equal(await focusedLabel(page), 'Link Field 2', 'Enter moves to the next new row');
  await page.keyboard.type('FR');
  await page.keyboard.press('Tab');
  await page.keyboard.type('France');
  assert.equal(await editor.getByLabel('Link Field 3', { exact: true }).inputValue(), '',
    'typing into the new row adds an empty row after it');
  await screenshot(page, 'dialog-list-editor');
  await editor.getByRole('button', { name: 'OK', exact: true }).click();
  await editor.waitFor({ state: 'hidden' });
  await press(page, 'Next >');

  await waitPage(page, 'TVKConfirm');
  const planned = await f.locator('#ConfirmFiles').innerText();
  for (const line of ['Create File : ShopList.asp', 'Create File : ShopForm.asp',
    `Create File : incTVKWDisplay.asp (${includes}/)`, 'Create File : TVKW_XP.css']) {
    assert.ok(planned.includes(line), `the confirmation lists "${line}":\n${planned}`);
  }
  assert.equal(await button(page, 'Finish').isDisabled(), false, 'reaching the confirmation allows Finish');
  await screenshot(page, 'TVKConfirm');
  await press(page, 'Finish');

  await waitPage(page, 'TVKFinished');
  const files = pagesFiles();
  const report = await f.locator('#WizardResults').inputValue();
  for (const path of [files.list, files.form, files.display, files.action, files.css, ...files.graphics]) {
    assert.ok(existsSync(path), `${path} was written`);
    assert.match(report, new RegExp(`File ${path.split('/').pop().replace('.', '\\.')} successfully created`));
  }
  assert.equal(await button(page, 'Exit').isVisible(), true);
  assert.equal(await button(page, 'Finish').isHidden(), true);
  const list = readFileSync(files.list, 'utf8');
  assert.ok(list.includes('incTVKWDisplay.asp'), 'the list page includes the display routines');
  await screenshot(page, 'TVKFinished');

  // Saved through the save dialog, the file name typed.
  await f.getByRole('button', { name: 'Save project file' }).click();
  const save = await dialog(page, 'Save Project File');
  assert.deepEqual(await save.getByLabel('Filter').locator('option').allTextContents(),
    ['TVK Wizard Files(*.xml)', 'All Files (*.*)']);
  assert.equal(await save.getByLabel('File name', { exact: true }).inputValue(), 'Shop',
    'the project name is offered as the file name');
  await save.getByLabel('Path', { exact: true }).fill(root);
  await save.getByLabel('Path', { exact: true }).press('Enter');
  await waitEntry(save, 'site/');
  await save.getByLabel('File name', { exact: true }).fill('Shop.xml');
  await screenshot(page, 'dialog-save-project-file');
  await save.getByRole('button', { name: 'Save', exact: true }).click();
  await save.waitFor({ state: 'hidden' });
  await handled(page);
  assert.ok(existsSync(projectFile), `${projectFile} was written`);

  const xml = readFileSync(projectFile, 'utf8');
  assert.match(xml, /<ProjectType>ListForm<\/ProjectType>/);
  assert.match(xml, /<ProjectStyle>XP<\/ProjectStyle>/);
  assert.match(xml, /<RecordsPerPage>5<\/RecordsPerPage>/);
  assert.ok(xml.includes(`<WizardDataFile>${projectFile}</WizardDataFile>`), 'the file records its own path');
  const field = (name) => xml.slice(xml.indexOf(`<FieldName>${name}</FieldName>`)).split('</Field>')[0];
  const shipName = field('ShipName');
  assert.match(shipName, /<ColumnLabel>Ship to<\/ColumnLabel>/);
  assert.match(shipName, /<UseLookupTable>TRUE<\/UseLookupTable>/);
  assert.match(shipName, /<LookupTableType>DatabaseTable<\/LookupTableType>/);
  assert.match(shipName, /<LookupTableName>Customers<\/LookupTableName>/);
  assert.match(shipName, /<LookupJoinField>CompanyName<\/LookupJoinField>/);
  assert.match(shipName, /<LookupShowField>CompanyName<\/LookupShowField>/);
  assert.match(shipName, /<LookupDisplayType>RadioList<\/LookupDisplayType>/);
  const country = field('ShipCountry');
  assert.match(country, /<UseLookupTable>TRUE<\/UseLookupTable>/);
  assert.match(country, /<LookupTableType>ManualList<\/LookupTableType>/);
  const rows = [...country.matchAll(/<Row>\s*<JoinField>([^<]*)<\/JoinField>\s*<DisplayField>([^<]*)<\/DisplayField>\s*<\/Row>/g)]
    .map((m) => [m[1], m[2]]);
  assert.deepEqual(rows, [['DE', 'Germany'], ['FR', 'France']]);
  const settings = join(home, '.config', 'TVKWizard', 'settings.ini');
  assert.ok(readFileSync(settings, 'utf8').includes(projectFile), 'the saved project joins the recent list');
  assert.equal(await page.getByRole('dialog').count(), 0, 'the save reported nothing');
  saved = true;
});

test('the saved project opened from the recent list is generated again; Back from the final page', async (t) => {
  assert.ok(saved, 'the project of the first test was not saved');
  const files = pagesFiles();
  // The pages are always written anew; an include file only when missing.
  unlinkSync(files.list);
  unlinkSync(files.display);
  const keptCss = statSync(files.css).mtimeMs;

  const { page } = await openWizard(t, home);
  const f = frame(page);
  const recent = f.locator('#RecentProjects');
  assert.deepEqual(await recent.locator('option').evaluateAll((o) => o.map((x) => x.value)), [projectFile]);
  await recent.selectOption(projectFile);
  assert.equal(await f.getByLabel('Open a recent project').isChecked(), true);
  await screenshot(page, 'TVKIntro-recent');
  await press(page, 'Next >');

  await waitPage(page, 'TVKProjType');
  assert.equal(await f.getByLabel('A list page with a form page', { exact: true }).isChecked(), true);
  assert.equal(await button(page, 'Finish').isDisabled(), false, 'a finished project may be finished at once');
  await press(page, 'Finish');

  await waitPage(page, 'TVKFinished');
  const report = await f.locator('#WizardResults').inputValue();
  assert.ok(existsSync(files.list) && existsSync(files.display), 'the removed files are written again');
  assert.match(report, /File ShopList\.asp successfully created/);
  assert.match(report, /File incTVKWDisplay\.asp successfully created/);
  assert.equal(statSync(files.css).mtimeMs, keptCss, 'an existing stylesheet is kept');
  const list = readFileSync(files.list, 'utf8');
  assert.ok(list.includes('Germany') || readFileSync(files.form, 'utf8').includes('Germany'),
    'the hand-made list reaches the generated pages');

  // Back leaves the final page for the stage before it, and Finish returns.
  await press(page, '< Back');
  await waitPage(page, 'TVKConfirm');
  assert.equal(await pageName(page), 'TVKConfirm');
  assert.equal(await button(page, 'Finish').isVisible(), true);
  assert.equal(await button(page, 'Finish').isDisabled(), false);
  assert.equal(await button(page, 'Exit').isHidden(), true);
  await press(page, '< Back');
  await waitPage(page, 'TVKFieldOptions');
  // The page is filled again from the answers given.
  await choose(page, '#FieldSelect', 'ShipName');
  assert.equal(await f.locator('#ColumnLabel').inputValue(), 'Ship to');
  assert.equal(await f.locator('#LookupTable').inputValue(), 'Customers');
  assert.equal(await f.locator('#LookupDisplayField').inputValue(), 'CompanyName');
  assert.equal(await f.getByLabel('radio buttons', { exact: true }).isChecked(), true);
  assert.equal(await f.locator('#UseLookup').isChecked(), true);
});
