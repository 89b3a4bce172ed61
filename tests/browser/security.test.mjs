// The local server refuses what a page of another site, another host name or
// a crafted path could ask of it. Plain HTTP requests; no browser needed.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import http from 'node:http';
import { randomBytes } from 'node:crypto';
import { join } from 'node:path';
import { startWizard, tempFolder } from './harness.mjs';

// One raw request; resolves with the status and headers (and, for a
// WebSocket handshake, whether the server switched protocols).
function request(wizard, path, headers = {}) {
  return new Promise((resolve, reject) => {
    const req = http.request({
      host: '127.0.0.1',
      port: wizard.port,
      path,
      method: 'GET',
      headers: { Host: `127.0.0.1:${wizard.port}`, ...headers },
      agent: false,
    });
    req.setTimeout(10_000, () => req.destroy(new Error(`no answer to ${path}`)));
    req.on('response', (res) => {
      let body = '';
      res.setEncoding('utf8');
      res.on('data', (chunk) => { body += chunk; });
      res.on('end', () => resolve({ status: res.statusCode, headers: res.headers, body }));
    });
    req.on('upgrade', (res, socket) => {
      socket.destroy();
      resolve({ status: res.statusCode, headers: res.headers, body: '' });
    });
    req.on('error', reject);
    req.end();
  });
}

function upgradeHeaders(origin) {
  return {
    Connection: 'Upgrade',
    Upgrade: 'websocket',
    'Sec-WebSocket-Version': '13',
    'Sec-WebSocket-Key': randomBytes(16).toString('base64'),
    Origin: origin,
  };
}

test('the server refuses requests without the token, from foreign hosts and origins, and outside its folders', async (t) => {
  const root = tempFolder(t);
  const wizard = await startWizard(t, join(root, 'home'));
  const token = `token=${wizard.token}`;
  const own = `http://127.0.0.1:${wizard.port}`;

  // What a right request gets, so that the refusals below are refusals.
  const window = await request(wizard, `/?${token}`);
  assert.equal(window.status, 200);
  assert.match(window.headers['content-type'], /^text\/html/);
  assert.match(String(window.headers['set-cookie']), new RegExp(`tvk_token=${wizard.token}`));
  assert.match(String(window.headers['set-cookie']), /HttpOnly/i);
  assert.equal(window.headers['cache-control'], 'no-store');
  assert.equal(window.headers['x-content-type-options'], 'nosniff');
  assert.ok(window.headers['content-security-policy'], 'a content security policy');
  const byCookie = await request(wizard, '/TVKWizardHTML/TVKIntro.htm', { Cookie: `tvk_token=${wizard.token}` });
  assert.equal(byCookie.status, 200, 'the cookie carries the token');
  assert.match(byCookie.body, /WIZF_PageName/);

  // The token.
  assert.equal((await request(wizard, '/')).status, 403);
  assert.equal((await request(wizard, '/TVKWizardHTML/TVKIntro.htm')).status, 403);
  assert.equal((await request(wizard, '/?token=wrong')).status, 403);
  assert.equal((await request(wizard, '/', { Cookie: 'tvk_token=wrong' })).status, 403);

  // The Host header: a page of another name resolving to 127.0.0.1.
  assert.equal((await request(wizard, `/?${token}`, { Host: `attacker.example:${wizard.port}` })).status, 403);
  assert.equal((await request(wizard, `/?${token}`, { Host: `localhost:${wizard.port}` })).status, 200);
  assert.equal((await request(wizard, `/?${token}`, { Host: '127.0.0.1:1' })).status, 403);

  // The WebSocket's Origin: only the window's own.
  const foreign = await request(wizard, `/bridge?${token}`, upgradeHeaders('http://attacker.example'));
  assert.equal(foreign.status, 403);
  const otherPort = await request(wizard, `/bridge?${token}`, upgradeHeaders('http://127.0.0.1:1'));
  assert.equal(otherPort.status, 403);
  const noToken = await request(wizard, '/bridge', upgradeHeaders(own));
  assert.equal(noToken.status, 403);
  const bridge = await request(wizard, `/bridge?${token}`, upgradeHeaders(own));
  assert.equal(bridge.status, 101, 'the window page itself may connect');

  // Paths outside the two served folders, however spelled.
  for (const path of [
    '/../',
    '/%2e%2e/',
    '/..%2fTVKWizardFlow.xml',
    '/TVKWizardHTML/../TVKWizardFlow.xml',
    '/TVKWizardHTML/..%2f..%2fTVKWizardFlow.xml',
    '/TVKWizardHTML/%2e%2e/TVKWizardFlow.xml',
    '/TVKWizardHTML/..%5cTVKWizardFlow.xml',
    '/TVKWizardHTML/%00TVKIntro.htm',
    '/TVKWizardFlow.xml',
    '/Templates/',
    '/TVKWizardHTML/',
    '/TVKWizardHTML/missing.htm',
    '/../../../../etc/passwd',
    '/TVKWizardWindow/../../../../../etc/passwd',
  ]) {
    const separator = path.includes('?') ? '&' : '?';
    const answer = await request(wizard, `${path}${separator}${token}`);
    assert.ok([403, 404].includes(answer.status), `${path} answered ${answer.status}`);
    assert.doesNotMatch(answer.body, /TVKWizardFlow|root:/, `${path} leaked a file`);
  }

  // Only reading.
  const post = await new Promise((resolve, reject) => {
    const req = http.request({
      host: '127.0.0.1', port: wizard.port, path: `/?${token}`, method: 'POST', agent: false,
      headers: { Host: `127.0.0.1:${wizard.port}`, 'Content-Length': '0' },
    }, (res) => { res.resume(); resolve(res.statusCode); });
    req.on('error', reject);
    req.end();
  });
  assert.equal(post, 405);
});
