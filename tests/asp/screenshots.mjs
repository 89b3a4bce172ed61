// Takes the screenshots tests/asp/screenshots.py asks for: reads a JSON list
// of {html, png} from stdin and has Chromium render each saved page (a file
// beside the page's stylesheet and images) into its PNG.
import { readFileSync } from 'node:fs';
import { pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';

const shots = JSON.parse(readFileSync(0, 'utf8'));
const browser = await chromium.launch({
  executablePath: '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
         '--disable-sync', '--no-first-run'],
});
try {
  const page = await browser.newPage({ viewport: { width: 1000, height: 640 } });
  // The pages link nothing outside their folder; nothing else is loaded.
  await page.route(/^(?!file:)/, (route) => route.abort());
  for (const shot of shots) {
    await page.goto(pathToFileURL(shot.html).href, { waitUntil: 'load', timeout: 20000 });
    await page.screenshot({ path: shot.png, fullPage: true });
  }
} finally {
  await browser.close();
}
