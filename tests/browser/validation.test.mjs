// The wizard's refusals as the developer meets them in the window: each
// message comes up as a dialog with its exact text and icon, and the page
// stays until the answer is corrected.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { writeFileSync, mkdirSync } from 'node:fs';
import { join } from 'node:path';
import {
  openWizard, press, waitPage, frame, dialog, dialogText, dialogIcon, answered, screenshot, choose, tempFolder,
  sampleDatabase, connectionString, pageName,
} from './harness.mjs';

const crlf = (text) => text.replace(/\r\n/g, '\n');

// Presses Next, expects each message in turn (title "TVK Wizard"), answers
// it with OK, and checks that the page has stayed.
async function refused(page, messages, shot) {
  const stayed = await pageName(page);
  await press(page, 'Next >');
  for (const [index, { text, icon }] of messages.entries()) {
    const box = await dialog(page, 'TVK Wizard');
    const shown = await dialogText(box);
    assert.equal(crlf(shown), crlf(text));
    assert.equal(await dialogIcon(box), icon);
    assert.deepEqual(await box.getByRole('button').allTextContents(), ['OK']);
    if (shot && index === 0) await screenshot(page, shot);
    // OK is the default button: Enter answers it.
    await page.keyboard.press('Enter');
    await answered(page, shown);
  }
  await waitPage(page, stayed);
  assert.equal(await pageName(page), stayed, 'the page stays after its refusal');
}

test('every page-storing rule refuses its page with its own message', async (t) => {
  const root = tempFolder(t);
  const database = sampleDatabase(join(root, 'sample'));
  const site = join(root, 'site');
  mkdirSync(site);
  const notProject = join(root, 'other.xml');
  writeFileSync(notProject, '<?xml version="1.0"?><Other/>\n');

  const { page } = await openWizard(t, join(root, 'home'));
  const f = frame(page);

  // Any other XML file is not a project file.
  await f.locator('#ExistingProjectPath').fill(notProject);
  assert.equal(await f.getByLabel('Open a project file').isChecked(), true);
  await refused(page, [{ text: `Couldn't open Wizard data file ${notProject}`, icon: 'Critical' }],
    'dialog-open-failed');
  await f.getByLabel('Start a new project').check();
  await press(page, 'Next >');

  await waitPage(page, 'TVKProjType');
  await f.getByLabel('A list page with a form page', { exact: true }).check();
  await press(page, 'Next >');
  await waitPage(page, 'TVKProjStyle');
  await press(page, 'Next >');

  await waitPage(page, 'TVKProjectName');
  const badProject = {
    text: 'Please enter a valid project name.\r\n(no spaces or invalid file system characters)',
    icon: 'Information',
  };
  await refused(page, [badProject], 'dialog-invalid-project-name');
  // A name with a blank is told twice: what is wrong with it, then the rule.
  await f.locator('#ProjectName').fill('My Shop');
  await f.locator('#FileDirectory').fill(site);
  await refused(page, [
    { text: 'Please enter a valid name using on Alpha-numeric characters', icon: 'Information' },
    badProject,
  ]);
  await f.locator('#ProjectName').fill('Shop');
  await f.locator('#FileDirectory').fill(join(root, 'no-such-folder'));
  await refused(page, [{ text: 'Please enter a valid path.', icon: 'Information' }]);
  await f.locator('#FileDirectory').fill(site);
  await press(page, 'Next >');

  await waitPage(page, 'TVKDatabaseConnection');
  const missing = join(root, 'no-such-folder', 'none.db');
  await f.locator('#ConnectionStringText').fill(connectionString(missing));
  await press(page, 'Next >');
  const failure = await dialog(page, 'TVK Wizard');
  assert.match(crlf(await dialogText(failure)), /^Unable to open connection to database\n\nError : .+ \(\d+\) - .+/s);
  assert.equal(await dialogIcon(failure), 'Critical');
  await screenshot(page, 'dialog-connection-failed');
  await failure.getByRole('button', { name: 'OK' }).click();
  await waitPage(page, 'TVKDatabaseConnection');
  await f.locator('#ConnectionStringText').fill(connectionString(database));
  await press(page, 'Next >');

  await waitPage(page, 'TVKDataSource');
  // A view has no primary key, which a list with a form cannot do without.
  await choose(page, '#TableName', 'OrderTotals');
  await refused(page, [{
    text: "The Wizard doesn't  support List & Form projects\r\nwith tables that don't have primary keys. \r\n" +
      '\r\nPlease choose another table or use back to change project type',
    icon: 'Exclamation',
  }], 'dialog-no-primary-key');
  // A list alone may show the view; it says that editing is off and goes on.
  for (const back of ['TVKDatabaseConnection', 'TVKProjectName', 'TVKProjStyle', 'TVKProjType']) {
    await press(page, '< Back');
    await waitPage(page, back);
  }
  await f.getByLabel('A list page', { exact: true }).check();
  for (const next of ['TVKProjStyle', 'TVKProjectName', 'TVKDatabaseConnection', 'TVKDataSource']) {
    await press(page, 'Next >');
    await waitPage(page, next);
  }
  assert.equal(await f.locator('#TableName').inputValue(), 'OrderTotals', 'the stored choice is shown again');
  await press(page, 'Next >');
  const readOnly = await dialog(page, 'TVK Wizard');
  assert.equal(crlf(await dialogText(readOnly)), "The Wizard doesn't support editing tables,\nthat don't have primary keys. \n\nEditing for this table has been disabled");
  assert.equal(await dialogIcon(readOnly), 'Information');
  await screenshot(page, 'dialog-editing-disabled');
  await readOnly.getByRole('button', { name: 'OK' }).click();

  await waitPage(page, 'TVKListOptions');
  for (const label of ['Add records', 'Edit records in the list', 'Delete records']) {
    const box = f.getByLabel(label, { exact: true });
    assert.equal(await box.isChecked(), false, `${label} is off for a view`);
    assert.equal(await box.isDisabled(), true, `${label} cannot be switched on for a view`);
  }
  await screenshot(page, 'TVKListOptions');
  await f.locator('#RecordsPerPage').fill('ten');
  await f.locator('#MaxPages').fill('10');
  await refused(page, [{ text: 'Records Per Page must be set to a valid integer', icon: 'Information' }],
    'dialog-records-per-page');
  await f.locator('#RecordsPerPage').fill('0');
  await refused(page, [{ text: 'Records Per Page must be set to a valid integer', icon: 'Information' }]);
  await f.locator('#RecordsPerPage').fill('10');
  for (const label of ['Previous and next page buttons', 'First and last page buttons', 'Page number links']) {
    await f.getByLabel(label, { exact: true }).uncheck();
  }
  await refused(page, [{
    text: 'If Paging is enabled you must allow either :\r\n a) Navigation buttons\r\n b) Page number navigation',
    icon: 'Information',
  }], 'dialog-paging-navigation');
  await f.getByLabel('Page number links', { exact: true }).check();
  await f.locator('#MaxPages').fill('many');
  await refused(page, [{ text: 'Maximum Number of Pages must be blank or a valid integer', icon: 'Information' }]);
  // Blank means every page gets its link.
  await f.locator('#MaxPages').fill('');
  await press(page, 'Next >');
  await waitPage(page, 'TVKListFieldSelect');
});
