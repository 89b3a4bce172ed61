/*******************************************************************************
 window.js - the wizard window: the browser's side of the bridge

 The wizard's logic runs in the local program; this page only shows what it
 is told and reports what the user does, over one WebSocket (docs/window.md):

 - "state" sets the caption, the buttons and the busy flag; "idle" ends the
   block that a button press starts;
 - "navigate" shows a page in the frame; "dom" calls read and change the
   frame's document through element handles "<page>:<n>"; "pages" names the
   wizard's pages, which the window loads ahead while the user reads;
 - "dialog" shows a message box, a file dialog, the folder browser, the list
   editor or the About box and answers with the user's choice;
 - button presses and bound element events go back as "event" messages.

 Calls that want no answer are not answered even when they fail: their first
 failure is kept and travels with the next answer ("deferredError"), so the
 program still learns of it.
*******************************************************************************/
(function () {
	'use strict';

	const SVG_NS = 'http://www.w3.org/2000/svg';
	const BUSY_DELAY_MS = 100;
	const RECONNECT_MS = 1000;
	const REPLACED_TEXT = 'The wizard is open in another tab.';
	const LOST_TEXT = 'Connection lost; reconnecting...';

	// The window's buttons: the name the program knows them by, the element,
	// and the access key (the underlined letter of the caption).
	const BUTTONS = [
		{ name: 'About', id: 'cmdAbout', key: 'a' },
		{ name: 'Back', id: 'cmdBack', key: 'b' },
		{ name: 'Next', id: 'cmdNext', key: 'n' },
		{ name: 'Finish', id: 'cmdFinish', key: 'f' },
		{ name: 'Exit', id: 'cmdExit', key: 'x' },
		{ name: 'Cancel', id: 'cmdCancel', key: 'c' }
	];

	const byId = (id) => document.getElementById(id);
	// The frame of the page shown; a page loaded ahead takes its place.
	let frame = byId('WizBrowser');
	const captionElement = byId('Caption');
	const banner = byId('Banner');
	const dialogLayer = byId('DialogLayer');
	const windowElement = byId('Window');

	// Builds an element: h('div', {class: 'X', role: 'y'}, child, 'text', ...).
	function h(tag, attributes, ...children) {
		const element = document.createElement(tag);
		for (const [name, value] of Object.entries(attributes || {})) {
			if (value === false || value === null || value === undefined) {
				continue;
			}
			element.setAttribute(name, value === true ? '' : String(value));
		}
		for (const child of children) {
			if (child !== null && child !== undefined) {
				element.append(child);
			}
		}
		return element;
	}

	/* Icons ---------------------------------------------------------------- */

	function svgElement(tag, attributes) {
		const element = document.createElementNS(SVG_NS, tag);
		for (const [name, value] of Object.entries(attributes)) {
			element.setAttribute(name, String(value));
		}
		return element;
	}

	const ICON_SHAPES = {
		Information: [
			['circle', { cx: 16, cy: 16, r: 14, fill: '#2F6FD0' }],
			['circle', { cx: 16, cy: 9, r: 2, fill: '#FFFFFF' }],
			['rect', { x: 14.4, y: 13, width: 3.2, height: 11, rx: 1, fill: '#FFFFFF' }]
		],
		Question: [
			['circle', { cx: 16, cy: 16, r: 14, fill: '#2F6FD0' }],
			['path', { d: 'M11.8 12.2a4.3 4.3 0 1 1 6 3.9c-1.3.6-1.8 1.4-1.8 2.8v1', fill: 'none', stroke: '#FFFFFF', 'stroke-width': 3, 'stroke-linecap': 'round' }],
			['circle', { cx: 16, cy: 24.3, r: 2, fill: '#FFFFFF' }]
		],
		Exclamation: [
			['path', { d: 'M16 3.5L29.5 27.5H2.5Z', fill: '#E8B400', stroke: '#B58B00', 'stroke-width': 1.5, 'stroke-linejoin': 'round' }],
			['rect', { x: 14.5, y: 11, width: 3, height: 9.5, rx: 1, fill: '#1E1E1E' }],
			['circle', { cx: 16, cy: 23.6, r: 1.8, fill: '#1E1E1E' }]
		],
		Critical: [
			['circle', { cx: 16, cy: 16, r: 14, fill: '#C62828' }],
			['path', { d: 'M11 11L21 21M21 11L11 21', stroke: '#FFFFFF', 'stroke-width': 3.2, 'stroke-linecap': 'round' }]
		],
		Folder: [
			['path', { d: 'M1.5 3.5h5l1.5 1.5h6.5v8.5h-13z', fill: '#E8B84A', stroke: '#A87E10', 'stroke-linejoin': 'round' }]
		],
		File: [
			['path', { d: 'M3.5 1.5h6l3 3v10h-9z', fill: '#FFFFFF', stroke: '#7A7A76', 'stroke-linejoin': 'round' }],
			['path', { d: 'M9.5 1.5v3h3', fill: 'none', stroke: '#7A7A76', 'stroke-linejoin': 'round' }]
		]
	};

	// A named icon (role img) for a message box, or a decorative one.
	function icon(kind, size, label) {
		const small = kind === 'Folder' || kind === 'File';
		const svg = svgElement('svg', {
			width: size, height: size, viewBox: small ? '0 0 16 16' : '0 0 32 32', focusable: 'false'
		});
		if (label) {
			svg.setAttribute('role', 'img');
			svg.setAttribute('aria-label', label);
		} else {
			svg.setAttribute('aria-hidden', 'true');
		}
		for (const [tag, attributes] of ICON_SHAPES[kind]) {
			svg.append(svgElement(tag, attributes));
		}
		return svg;
	}

	/* The connection ------------------------------------------------------- */

	let socket = null;
	let connected = false;
	// Counts connections: an answer is sent only on the connection that asked.
	let generation = 0;
	let ended = false;
	let reconnectTimer = 0;
	// Messages are handled one after another, each after the one before has
	// finished (a navigation finishes when the frame has loaded).
	let chain = Promise.resolve();
	// Messages in the chain not yet handled (this connection's).
	let queued = 0;
	let deferredError = null;

	function logError(error) {
		console.error('TVK Wizard window:', error);
	}

	function send(message, forGeneration) {
		if (!connected || !socket || (forGeneration !== undefined && forGeneration !== generation)) {
			return;
		}
		socket.send(JSON.stringify(message));
	}

	function reply(id, fields, forGeneration) {
		const message = Object.assign({ reply: id }, fields);
		if (deferredError !== null) {
			message.deferredError = deferredError;
			deferredError = null;
		}
		send(message, forGeneration);
	}

	function showBanner(text) {
		banner.textContent = text;
		banner.hidden = false;
	}

	function connect() {
		reconnectTimer = 0;
		if (ended) {
			return;
		}
		let ws;
		try {
			const scheme = location.protocol === 'https:' ? 'wss://' : 'ws://';
			ws = new WebSocket(scheme + location.host + '/bridge');
		} catch (error) {
			connectionLost();
			return;
		}
		socket = ws;
		ws.addEventListener('open', () => {
			if (socket !== ws) {
				return;
			}
			generation++;
			chain = Promise.resolve();
			queued = 0;
			connected = true;
			banner.hidden = true;
			// The program shows its page now; until it says it is idle the
			// window takes no press (a Next into a half-loaded page would
			// store what is not there yet). Presses count afresh per
			// connection, as the program does.
			pressCount = 0;
			pressBlocked = true;
			updateBusy();
		});
		ws.addEventListener('message', (event) => {
			if (socket === ws && typeof event.data === 'string') {
				receive(event.data);
			}
		});
		ws.addEventListener('close', () => {
			if (socket !== ws) {
				return;
			}
			socket = null;
			connectionLost();
		});
	}

	// The program re-sends its state, the page and any open dialog when the
	// window connects again, so everything that belonged to the old
	// connection is dropped here.
	function connectionLost() {
		const wasConnected = connected;
		connected = false;
		generation++;
		chain = Promise.resolve();
		queued = 0;
		deferredError = null;
		listingWaiters.clear();
		dropDialogs();
		pressBlocked = false;
		stateBusy = false;
		updateBusy();
		if (ended) {
			return;
		}
		if (wasConnected || banner.hidden) {
			showBanner(LOST_TEXT);
		}
		if (!reconnectTimer) {
			reconnectTimer = setTimeout(connect, RECONNECT_MS);
		}
	}

	// A frame holds one message, or several in order (the program sends the
	// calls that want no answer together).
	function receive(text) {
		let frame;
		try {
			frame = JSON.parse(text);
		} catch (error) {
			return;
		}
		if (Array.isArray(frame)) {
			for (let i = 0; i < frame.length;) {
				const run = optionRun(frame, i);
				if (run > 1) {
					addOptions(frame.slice(i, i + run));
					i += run;
				} else {
					receiveMessage(frame[i++]);
				}
			}
		} else {
			receiveMessage(frame);
		}
	}

	// How many messages from `start` on add options to one list without
	// wanting an answer, when they can be handled at once (nothing waits
	// before them): a page fill adds a thousand table names in a row.
	function optionRun(messages, start) {
		const first = messages[start];
		if (queued !== 0 || !isOptionAdd(first)) {
			return 0;
		}
		let end = start + 1;
		while (end < messages.length && isOptionAdd(messages[end]) && messages[end].args[0] === first.args[0]) {
			end++;
		}
		return end - start;
	}

	function isOptionAdd(message) {
		return !!message && message.op === 'dom' && message.call === 'addOption' &&
			(message.id === undefined || message.id === null) && Array.isArray(message.args);
	}

	// The options of such a run, inserted into the list in one step: the
	// list updates itself once instead of once per option.
	function addOptions(messages) {
		if (ended) {
			return;
		}
		try {
			const element = elementOf(messages[0].args[0]);
			requireSelect(element, 'options.add');
			const run = messages.map((message) => [optionText(message.args[1]), optionText(message.args[2])]);
			if (!takePrepared(element, run)) {
				settlePrepared(element);
				const fragment = element.ownerDocument.createDocumentFragment();
				for (const [value, text] of run) {
					fragment.appendChild(newOption(element, value, text));
				}
				element.appendChild(fragment);
			}
			noteFill(element, run);
		} catch (error) {
			if (deferredError === null) {
				deferredError = error && error.message ? error.message : String(error);
			}
		}
	}

	function optionText(value) {
		return value === null || value === undefined ? '' : String(value);
	}

	function newOption(list, value, text) {
		const option = list.ownerDocument.createElement('option');
		option.value = optionText(value);
		option.text = optionText(text);
		return option;
	}

	function receiveMessage(message) {
		if (!message || typeof message !== 'object') {
			return;
		}
		if (message.listing !== undefined) {
			const waiter = listingWaiters.get(message.listing);
			if (waiter) {
				listingWaiters.delete(message.listing);
				waiter(message);
			}
			return;
		}
		const forGeneration = generation;
		switch (message.op) {
		case 'close':
			end(typeof message.text === 'string' ? message.text : '');
			return;
		case 'replaced':
			end(REPLACED_TEXT);
			return;
		case 'focus':
			window.focus();
			return;
		default:
			// Only a navigation waits (for the frame to load); whatever comes
			// while one is under way waits its turn behind it. With nothing
			// queued a message is handled at once, without a round through
			// the promise queue per message (a page fill sends a thousand).
			if (queued === 0 && message.op !== 'navigate') {
				handle(message, forGeneration).catch(logError);
				return;
			}
			queued++;
			chain = chain
				.then(() => handle(message, forGeneration))
				.catch(logError)
				.finally(() => {
					if (forGeneration === generation) {
						queued--;
					}
				});
		}
	}

	async function handle(message, forGeneration) {
		if (ended || forGeneration !== generation) {
			return;
		}
		switch (message.op) {
		case 'state':
			applyState(message);
			break;
		case 'idle':
			// An idle sent before the program saw the latest press does not
			// end that press's block.
			if ((typeof message.press === 'number' ? message.press : 0) >= pressCount) {
				pressBlocked = false;
				updateBusy();
			}
			// A list the program did not fill as the last time shows as the
			// page has it.
			settlePrepared(null);
			schedulePreload();
			break;
		case 'navigate':
			await navigate(message, forGeneration);
			break;
		case 'pages':
			pageUrls = Array.isArray(message.urls) ? message.urls.map(String).filter(isPageUrl) : [];
			schedulePreload();
			break;
		case 'dom':
			domCall(message, forGeneration);
			break;
		case 'dialog':
			// Queued, not awaited: the program keeps calling the page while a
			// dialog is open (a handler of an earlier event may still run).
			enqueueDialog(message, forGeneration);
			break;
		default:
			if (message.id !== undefined) {
				reply(message.id, { error: 'Unknown request ' + String(message.op) }, forGeneration);
			}
		}
	}

	function end(text) {
		if (ended) {
			return;
		}
		ended = true;
		clearTimeout(reconnectTimer);
		dropDialogs();
		pressBlocked = false;
		stateBusy = false;
		updateBusy();
		banner.hidden = true;
		for (const button of BUTTONS) {
			byId(button.id).disabled = true;
		}
		const notice = h('div', { id: 'Ended', role: 'status' }, text);
		dropPreloaded();
		if (frame.isConnected) {
			frame.replaceWith(notice);
		}
	}

	/* State, buttons and the busy block ------------------------------------ */

	let stateBusy = false;
	// From a button press until the program says it is idle again.
	let pressBlocked = false;
	// Presses sent so far; the program's idle names the last one it handled.
	let pressCount = 0;
	let busyTimer = 0;

	function applyState(message) {
		const caption = typeof message.caption === 'string' ? message.caption : '';
		captionElement.textContent = caption;
		document.title = caption || 'TVK Wizard';
		const states = message.buttons || {};
		for (const button of BUTTONS) {
			const wanted = states[button.name];
			if (wanted) {
				const element = byId(button.id);
				element.disabled = !wanted.enabled;
				element.hidden = !wanted.visible;
			}
		}
		stateBusy = !!message.busy;
		updateBusy();
	}

	function isBusy() {
		return !ended && (stateBusy || pressBlocked);
	}

	// aria-busy changes at once (presses are refused from then on); the
	// overlay and the wait cursor only once the work has taken a moment, so
	// that a fast Next shows nothing.
	function updateBusy() {
		const busy = isBusy();
		document.body.setAttribute('aria-busy', busy ? 'true' : 'false');
		if (busy) {
			if (!busyTimer && !document.body.classList.contains('Busy')) {
				busyTimer = setTimeout(() => {
					busyTimer = 0;
					if (isBusy()) {
						document.body.classList.add('Busy');
					}
				}, BUSY_DELAY_MS);
			}
		} else {
			clearTimeout(busyTimer);
			busyTimer = 0;
			document.body.classList.remove('Busy');
		}
	}

	function usable(name) {
		const button = BUTTONS.find((b) => b.name === name);
		const element = button && byId(button.id);
		return !!element && !element.disabled && !element.hidden;
	}

	function press(name) {
		if (!usable(name) || isBusy() || currentDialog || ended || !connected) {
			return false;
		}
		pressBlocked = true;
		updateBusy();
		pressCount += 1;
		send({ event: 'button', button: name, press: pressCount });
		return true;
	}

	for (const button of BUTTONS) {
		byId(button.id).addEventListener('click', () => press(button.name));
	}

	// Enter belongs to the control itself in these.
	function keepsEnter(target) {
		if (!target || !target.tagName) {
			return false;
		}
		const tag = target.tagName.toUpperCase();
		if (tag === 'TEXTAREA' || tag === 'BUTTON' || target.isContentEditable) {
			return true;
		}
		if (tag === 'SELECT') {
			return target.multiple || target.size > 1;
		}
		if (tag === 'INPUT') {
			return ['button', 'submit', 'reset', 'image'].includes((target.type || '').toLowerCase());
		}
		return tag === 'A' && target.hasAttribute('href');
	}

	function accessLetter(event) {
		if (/^Key[A-Z]$/.test(event.code || '')) {
			return event.code.charAt(3).toLowerCase();
		}
		return (event.key || '').toLowerCase();
	}

	// Listens on the window's document and on each page loaded in the frame.
	function onKeyDown(event) {
		if (event.isComposing) {
			return;
		}
		if (currentDialog) {
			currentDialog.onKeyDown(event);
			return;
		}
		if (event.defaultPrevented || ended) {
			return;
		}
		if (event.altKey && !event.ctrlKey && !event.metaKey) {
			const letter = accessLetter(event);
			const button = BUTTONS.find((b) => b.key === letter && !byId(b.id).hidden);
			if (button) {
				event.preventDefault();
				press(button.name);
			}
			return;
		}
		if (event.altKey || event.ctrlKey || event.metaKey || event.shiftKey) {
			return;
		}
		if (event.key === 'Enter') {
			if (keepsEnter(event.target)) {
				return;
			}
			const name = ['Next', 'Finish', 'Exit'].find(usable);
			if (name) {
				event.preventDefault();
				press(name);
			}
		} else if (event.key === 'Escape') {
			event.preventDefault();
			press('Cancel');
		}
	}

	document.addEventListener('keydown', onKeyDown);

	// A dialog is modal: focus that wanders out of it (a click on the page
	// behind, a focus() call) goes back in.
	document.addEventListener('focusin', (event) => {
		if (currentDialog && !currentDialog.box.contains(event.target)) {
			currentDialog.focusFirst();
		}
	});

	/* The frame and its documents ------------------------------------------ */

	// Handles of the current page: "<page>:<n>", n indexing handleElements.
	let page = 0;
	let handleElements = [];
	let handleNumbers = new Map();
	let loadWaiter = null;

	// A load in the shown frame (the program's navigation, or a page that
	// reloads itself) voids the old document's handles.
	function watchLoads(shown) {
		shown.addEventListener('load', () => {
			if (shown !== frame) {
				return;
			}
			pageShown();
			const waiter = loadWaiter;
			loadWaiter = null;
			if (waiter) {
				waiter();
			}
		});
	}

	function pageShown(prepared) {
		page++;
		handleElements = [];
		handleNumbers = new Map();
		pendingLists = prepared || new Map();
		filledThisPage = new Set();
		const doc = frameDocument();
		if (doc) {
			doc.addEventListener('keydown', onKeyDown);
		}
	}

	watchLoads(frame);

	function frameDocument() {
		try {
			return frame.contentDocument;
		} catch (error) {
			return null;
		}
	}

	function isPageUrl(url) {
		return url.startsWith('/') && !url.startsWith('//');
	}

	/* Pages loaded ahead ---------------------------------------------------- */

	// A Next would otherwise wait for a new document: its request, parse,
	// style and scripts. So each page of the wizard is kept loaded once,
	// fresh, in a frame out of sight, loaded while the window is idle; a
	// navigation to it swaps frames, and a fresh copy of the page is loaded
	// again later. url -> { frame, loaded (a promise: true once loaded) }.
	const preloaded = new Map();
	let pageUrls = [];
	let preloadTimer = 0;
	let preloading = null;
	// Frames of pages swapped out, hidden; taking a document down costs
	// several milliseconds, so it waits for an idle moment too.
	const retired = [];

	// One page at a time, and only while nothing else happens, so that
	// loading ahead never slows down what the user waits for.
	function schedulePreload() {
		if (ended || preloadTimer || preloading || isBusy()) {
			return;
		}
		const url = pageUrls.find((candidate) => !preloaded.has(candidate));
		if (url === undefined && retired.length === 0) {
			return;
		}
		const start = () => {
			preloadTimer = 0;
			if (ended || preloading || isBusy()) {
				schedulePreload();
				return;
			}
			if (retired.length > 0) {
				retired.shift().remove();
				schedulePreload();
				return;
			}
			if (url === undefined || preloaded.has(url)) {
				schedulePreload();
				return;
			}
			preloading = preload(url).then((good) => good && prepareWhenIdle(url)).then(() => {
				preloading = null;
				schedulePreload();
			});
		};
		preloadTimer = window.requestIdleCallback
			? window.requestIdleCallback(start, { timeout: 1000 })
			: setTimeout(start, 50);
	}

	function preload(url) {
		const spare = document.createElement('iframe');
		spare.className = 'Preloaded';
		spare.title = frame.title;
		spare.tabIndex = -1;
		spare.inert = true;
		spare.setAttribute('aria-hidden', 'true');
		const loaded = new Promise((resolve) => {
			spare.addEventListener('load', () => {
				// What the server answers instead of a page is not kept.
				const doc = spare.contentDocument;
				const good = !!doc && doc.contentType === 'text/html';
				if (!good && preloaded.get(url) && preloaded.get(url).frame === spare) {
					preloaded.delete(url);
					spare.remove();
				}
				resolve(good);
			}, { once: true });
		});
		spare.src = url;
		frame.parentNode.appendChild(spare);
		preloaded.set(url, { frame: spare, loaded: loaded });
		return loaded;
	}

	/* Long lists filled ahead ------------------------------------------------

	   Filling a list of a thousand tables is most of what a Next onto such a
	   page costs: the entries are made, styled and laid out while the
	   developer waits. A page's copy loaded ahead therefore gets, while the
	   window is idle, the entries the program put into its long lists the
	   last time that page was shown. Until the program has filled the list
	   again they are pending, and nothing the program or the page can ask
	   sees them: when the program adds exactly the same entries to the
	   untouched list they are taken as its own; any other call that reaches
	   the list, a click (page scripts may look at it), other entries, or the
	   end of the program's work first takes them out again. A copy whose
	   page reacts to them in anything the program reads is not filled. */

	// Lists of fewer entries are quick to fill as they come.
	const PREPARE_MIN = 100;
	// "<page path>#<list id>" -> [[value, text], ...] of its last fill.
	const lastFills = new Map();
	// The shown page's pending lists: list -> { run, options }.
	let pendingLists = new Map();
	let filledThisPage = new Set();

	function fillKey(list) {
		return list.ownerDocument.location.pathname + '#' + list.id;
	}

	// The first long fill of a list on each showing is what the next copy
	// of the page gets.
	function noteFill(list, run) {
		if (run.length < PREPARE_MIN || !list.id || filledThisPage.has(list)) {
			return;
		}
		filledThisPage.add(list);
		lastFills.set(fillKey(list), run);
	}

	function sameRun(a, b) {
		if (a.length !== b.length) {
			return false;
		}
		for (let i = 0; i < a.length; i++) {
			if (a[i][0] !== b[i][0] || a[i][1] !== b[i][1]) {
				return false;
			}
		}
		return true;
	}

	function takePrepared(list, run) {
		const pending = pendingLists.get(list);
		if (!pending || !sameRun(pending.run, run)) {
			return false;
		}
		pendingLists.delete(list);
		return true;
	}

	// Takes the pending entries out of every list that `element` is, holds
	// or lies in; of every list when `element` is null.
	function settlePrepared(element) {
		if (pendingLists.size === 0) {
			return;
		}
		for (const [list, pending] of pendingLists) {
			if (element === null || list === element || list.contains(element) || element.contains(list)) {
				pendingLists.delete(list);
				for (const option of pending.options) {
					option.remove();
				}
			}
		}
	}

	// Calls that cannot see a list's entries leave them pending: the
	// snapshot was checked to read the same with and without them.
	const BLIND_CALLS = ['title', 'snapshot', 'byId', 'byName'];

	function guardPrepared(message) {
		if (pendingLists.size === 0 || BLIND_CALLS.includes(message.call)) {
			return;
		}
		if (message.call === 'click') {
			settlePrepared(null);
			return;
		}
		let element;
		try {
			element = elementOf(Array.isArray(message.args) ? message.args[0] : undefined);
		} catch (error) {
			return; // the call itself reports it
		}
		settlePrepared(element);
	}

	function whenIdle(callback) {
		if (window.requestIdleCallback) {
			window.requestIdleCallback(callback, { timeout: 1000 });
		} else {
			setTimeout(callback, 50);
		}
	}

	function prepareWhenIdle(url) {
		return new Promise((resolve) => {
			const run = () => {
				if (isBusy()) {
					whenIdle(run);
					return;
				}
				const entry = preloaded.get(url);
				if (entry && !ended) {
					prepareLists(entry, url).then(resolve, (error) => {
						logError(error);
						resolve();
					});
				} else {
					resolve();
				}
			};
			whenIdle(run);
		});
	}

	async function prepareLists(entry, url) {
		const doc = entry.frame.contentDocument;
		if (!doc) {
			return;
		}
		const lists = [];
		for (const list of doc.querySelectorAll('select[id]')) {
			const run = lastFills.get(fillKey(list));
			if (run) {
				lists.push({ list: list, run: run, value: list.value, index: list.selectedIndex, options: [] });
			}
		}
		if (lists.length === 0) {
			return;
		}
		const before = JSON.stringify(pageFacts(doc));
		for (const item of lists) {
			const fragment = doc.createDocumentFragment();
			for (const [value, text] of item.run) {
				item.options.push(fragment.appendChild(newOption(item.list, value, text)));
			}
			item.list.appendChild(fragment);
		}
		// The page's own observers of its lists have run by now.
		await Promise.resolve();
		const unchanged = JSON.stringify(pageFacts(doc)) === before &&
			lists.every((item) => item.list.value === item.value && item.list.selectedIndex === item.index);
		if (!unchanged || preloaded.get(url) !== entry) {
			for (const item of lists) {
				item.options.forEach((option) => option.remove());
			}
			return;
		}
		entry.prepared = new Map(lists.map((item) => [item.list, { run: item.run, options: item.options }]));
		// Styled and laid out now rather than when the page is shown.
		void doc.documentElement.offsetHeight;
	}

	function dropPreloaded() {
		for (const entry of preloaded.values()) {
			entry.frame.remove();
		}
		preloaded.clear();
		retired.splice(0).forEach((old) => old.remove());
	}

	// Shows the page loaded ahead for `url`; false when there is none (or it
	// did not load).
	async function showPreloaded(url) {
		const entry = preloaded.get(url);
		if (!entry || !(await entry.loaded) || preloaded.get(url) !== entry) {
			return false;
		}
		preloaded.delete(url);
		const spare = entry.frame;
		const old = frame;
		old.removeAttribute('id');
		old.removeAttribute('name');
		spare.className = '';
		spare.removeAttribute('tabindex');
		spare.removeAttribute('aria-hidden');
		spare.inert = false;
		spare.id = 'WizBrowser';
		spare.name = 'WizBrowser';
		const hadFocus = document.activeElement === old;
		frame = spare;
		watchLoads(frame);
		old.className = 'Preloaded';
		old.tabIndex = -1;
		old.inert = true;
		old.setAttribute('aria-hidden', 'true');
		retired.push(old);
		// Focus that was in the page stays in the page, as it does when a
		// frame loads a new document.
		if (hadFocus) {
			frame.focus();
		}
		pageShown(entry.prepared);
		return true;
	}

	async function navigate(message, forGeneration) {
		const url = String(message.url || '');
		const fail = (why) => reply(message.id, { error: 'The page ' + url + ' could not be loaded (' + why + ')' }, forGeneration);
		// Only pages of this server: never another site, never a script URL.
		if (!isPageUrl(url)) {
			fail('not a page of the wizard');
			return;
		}
		if (!(await showPreloaded(url))) {
			// The program has checked that the file is there; what the server
			// answers instead of a page (403, 404) is plain text.
			await new Promise((resolve) => {
				loadWaiter = resolve;
				frame.src = url;
			});
		}
		if (ended || forGeneration !== generation) {
			return;
		}
		const loaded = frameDocument();
		if (!loaded || loaded.contentType !== 'text/html') {
			fail(loaded ? 'the server answered ' + (loaded.body ? loaded.body.textContent.trim() : loaded.contentType) : 'nothing loaded');
			return;
		}
		// The program reads the new page first thing: its snapshot comes along.
		reply(message.id, { result: { title: loaded.title, snapshot: snapshot() } }, forGeneration);
	}

	/* DOM calls ------------------------------------------------------------ */

	function handleFor(element) {
		let number = handleNumbers.get(element);
		if (number === undefined) {
			number = handleElements.length;
			handleElements.push(element);
			handleNumbers.set(element, number);
		}
		return page + ':' + number;
	}

	function elementOf(handle) {
		const match = /^(\d+):(\d+)$/.exec(String(handle));
		if (!match) {
			throw new Error('Invalid element handle "' + String(handle) + '"');
		}
		if (Number(match[1]) !== page) {
			throw new Error('The page has changed');
		}
		const element = handleElements[Number(match[2])];
		if (!element) {
			throw new Error('Invalid element handle "' + String(handle) + '"');
		}
		return element;
	}

	function currentDocument() {
		const doc = frameDocument();
		if (!doc || !frame.isConnected) {
			throw new Error('No page is shown');
		}
		return doc;
	}

	// The wording the program's own in-process document uses for the same
	// mistake, so that a message reads alike whichever document raised it.
	function noMember(element, member) {
		return new Error("Object doesn't support this property or method: " + member + ' of ' + element.tagName.toUpperCase());
	}

	function requireSelect(element, member) {
		if (element.tagName.toUpperCase() !== 'SELECT') {
			throw noMember(element, member);
		}
	}

	// Only form controls have a value; anything else would just get an
	// expando property that nobody reads.
	const VALUE_TAGS = ['INPUT', 'TEXTAREA', 'SELECT', 'OPTION', 'BUTTON'];

	function requireValue(element) {
		if (!VALUE_TAGS.includes(element.tagName.toUpperCase())) {
			throw noMember(element, 'value');
		}
	}

	// The property "value" as the browser itself implements it for this
	// element (input, select, textarea, option, ...).
	function valueDescriptor(element) {
		for (let proto = Object.getPrototypeOf(element); proto; proto = Object.getPrototypeOf(proto)) {
			const descriptor = Object.getOwnPropertyDescriptor(proto, 'value');
			if (descriptor && descriptor.get && descriptor.set) {
				return descriptor;
			}
		}
		return null;
	}

	function sendElementEvent(handle, type) {
		send({ event: 'element', handle: handle, type: type });
	}

	// Listeners bound per element and event type, so that unbind finds them
	// and a second bind does not report twice.
	const bindings = new WeakMap();

	function bind(element, handle, type) {
		let bound = bindings.get(element);
		if (!bound) {
			bound = {};
			bindings.set(element, bound);
		}
		if (bound[type]) {
			return;
		}
		if (type === 'click' || type === 'change') {
			const listener = () => sendElementEvent(handle, type);
			element.addEventListener(type, listener);
			bound[type] = () => element.removeEventListener(type, listener);
		} else if (type === 'propertychange') {
			// A page script writing the value (WIZF_NextURL.value = 'FALSE')
			// and the user typing both change the property.
			const own = valueDescriptor(element);
			if (!own) {
				throw noMember(element, 'onpropertychange');
			}
			Object.defineProperty(element, 'value', {
				configurable: true,
				enumerable: true,
				get() {
					return own.get.call(this);
				},
				set(value) {
					const before = own.get.call(this);
					own.set.call(this, value);
					if (own.get.call(this) !== before) {
						sendElementEvent(handle, 'propertychange');
					}
				}
			});
			const onInput = () => sendElementEvent(handle, 'propertychange');
			element.addEventListener('input', onInput);
			bound[type] = () => {
				delete element.value;
				element.removeEventListener('input', onInput);
			};
		} else {
			throw new Error('Unknown event "' + String(type) + '"');
		}
	}

	function unbind(element, type) {
		const bound = bindings.get(element);
		if (!['click', 'change', 'propertychange'].includes(type)) {
			throw new Error('Unknown event "' + String(type) + '"');
		}
		if (bound && bound[type]) {
			bound[type]();
			delete bound[type];
		}
	}

	function getText(element, prop) {
		switch (prop) {
		case 'value':
			requireValue(element);
			return String(element.value);
		case 'type':
			return typeof element.type === 'string' ? element.type : (element.getAttribute('type') || '');
		case 'className':
			return element.className;
		case 'innerHTML':
			return element.innerHTML;
		case 'outerText':
			return element.innerText;
		case 'style.display':
			return element.style.display;
		case 'tagName':
			return element.tagName.toUpperCase();
		default:
			throw new Error('Unknown property "' + String(prop) + '"');
		}
	}

	function setText(element, prop, value) {
		const text = value === null || value === undefined ? '' : String(value);
		switch (prop) {
		case 'value':
			requireValue(element);
			if (element.tagName.toUpperCase() === 'SELECT') {
				element.selectedIndex = Array.from(element.options).findIndex((option) => option.value === text);
			} else {
				element.value = text;
			}
			break;
		case 'className':
			element.className = text;
			break;
		case 'innerHTML':
			element.innerHTML = text;
			break;
		case 'outerText':
			element.replaceWith(element.ownerDocument.createTextNode(text));
			break;
		case 'style.display':
			element.style.display = text;
			break;
		case 'type':
			if (element.tagName.toUpperCase() !== 'INPUT') {
				throw noMember(element, 'type');
			}
			element.type = text;
			break;
		default:
			throw new Error('Cannot set the property "' + String(prop) + '"');
		}
	}

	const FLAGS = ['checked', 'disabled', 'readOnly'];

	function checkFlag(prop) {
		if (!FLAGS.includes(prop)) {
			throw new Error('Unknown property "' + String(prop) + '"');
		}
	}

	// Every element with an id or a name and what the program reads of it,
	// in one answer: storing or filling a page reads dozens of them. Nothing
	// here makes the browser lay out the page (innerText would).
	// What the program reads of each element with an id or a name.
	function elementFacts(element) {
		let value = null;
		if (VALUE_TAGS.includes(element.tagName.toUpperCase())) {
			value = String(element.value);
		}
		return [element.getAttribute('id') || '', element.getAttribute('name') || '',
			getText(element, 'tagName'), getText(element, 'type'), value, getText(element, 'className'),
			getText(element, 'style.display'), !!element.checked, !!element.disabled, !!element.readOnly];
	}

	function pageFacts(doc) {
		return [doc.title, Array.from(doc.querySelectorAll('[id],[name]'), elementFacts)];
	}

	function snapshot() {
		const doc = currentDocument();
		const elements = Array.from(doc.querySelectorAll('[id],[name]'),
			(element) => [handleFor(element), ...elementFacts(element)]);
		return { title: doc.title, elements: elements };
	}

	const DOM_CALLS = {
		title: () => currentDocument().title,
		snapshot: snapshot,
		byId: (id) => {
			const element = currentDocument().getElementById(String(id));
			return element ? handleFor(element) : null;
		},
		byName: (name) => Array.from(currentDocument().getElementsByName(String(name)), handleFor),
		getText: (handle, prop) => getText(elementOf(handle), prop),
		setText: (handle, prop, value) => setText(elementOf(handle), prop, value),
		getFlag: (handle, prop) => {
			checkFlag(prop);
			return !!elementOf(handle)[prop];
		},
		setFlag: (handle, prop, value) => {
			checkFlag(prop);
			elementOf(handle)[prop] = !!value;
		},
		// Bound listeners send their events synchronously during click(), so
		// they reach the program before this call's answer. The answer is
		// the page as the click (and the page's own script) left it.
		click: (handle) => {
			elementOf(handle).click();
			return snapshot();
		},
		options: (handle) => {
			const element = elementOf(handle);
			requireSelect(element, 'options');
			return Array.from(element.options, (option) => ({
				value: option.value, text: option.text, selected: option.selected
			}));
		},
		hasOption: (handle, value) => {
			const element = elementOf(handle);
			requireSelect(element, 'options');
			const wanted = String(value);
			return Array.prototype.some.call(element.options, (option) => option.value === wanted);
		},
		addOption: (handle, value, text) => {
			const element = elementOf(handle);
			requireSelect(element, 'options.add');
			element.add(newOption(element, value, text));
		},
		// Like the browser's own: an index out of range removes nothing.
		removeOption: (handle, index) => {
			const element = elementOf(handle);
			requireSelect(element, 'options.remove');
			element.remove(Number(index));
		},
		bind: (handle, type) => bind(elementOf(handle), String(handle), type),
		unbind: (handle, type) => unbind(elementOf(handle), type)
	};

	function domCall(message, forGeneration) {
		const wantsAnswer = message.id !== undefined && message.id !== null;
		const call = DOM_CALLS[message.call];
		try {
			if (!call) {
				throw new Error('Unknown call "' + String(message.call) + '"');
			}
			guardPrepared(message);
			const result = call(...(Array.isArray(message.args) ? message.args : []));
			if (wantsAnswer) {
				reply(message.id, { result: result === undefined ? null : result }, forGeneration);
			}
		} catch (error) {
			const text = error && error.message ? error.message : String(error);
			if (wantsAnswer) {
				reply(message.id, { error: text }, forGeneration);
			} else if (deferredError === null) {
				deferredError = text;
			}
		}
	}

	/* Dialogs -------------------------------------------------------------- */

	// One dialog at a time; further requests wait their turn.
	const dialogQueue = [];
	let currentDialog = null;
	let dialogCount = 0;

	function enqueueDialog(message, forGeneration) {
		dialogQueue.push({ message: message, generation: forGeneration });
		if (!currentDialog) {
			showNextDialog(rememberFocus());
		}
	}

	function showNextDialog(returnFocus) {
		const request = dialogQueue.shift();
		if (!request) {
			windowElement.inert = false;
			restoreFocus(returnFocus);
			return;
		}
		const build = DIALOGS[request.message.kind];
		if (!build) {
			reply(request.message.id, { error: 'Unknown dialog "' + String(request.message.kind) + '"' }, request.generation);
			showNextDialog(returnFocus);
			return;
		}
		currentDialog = build(request, returnFocus);
		currentDialog.show();
	}

	// Drops every dialog without answering (the program asks again after a
	// reconnection, and after the end nobody listens).
	function dropDialogs() {
		dialogQueue.length = 0;
		if (currentDialog) {
			const returnFocus = currentDialog.returnFocus;
			currentDialog.remove();
			currentDialog = null;
			windowElement.inert = false;
			restoreFocus(returnFocus);
		}
	}

	// Focus may sit inside the frame's page: both levels are kept.
	function rememberFocus() {
		const active = document.activeElement;
		let inner = null;
		if (active === frame) {
			const doc = frameDocument();
			inner = doc ? doc.activeElement : null;
		}
		return { active: active, inner: inner };
	}

	function restoreFocus(saved) {
		if (!saved) {
			return;
		}
		if (saved.inner && saved.inner.isConnected && frame.isConnected) {
			frame.focus();
			saved.inner.focus();
		} else if (saved.active && saved.active.isConnected && saved.active !== document.body) {
			saved.active.focus();
		}
	}

	function focusables(container) {
		return Array.from(container.querySelectorAll(
			'button, input, select, textarea, [tabindex]:not([tabindex="-1"])'
		)).filter((element) => !element.disabled && !element.hidden && element.getClientRects().length > 0);
	}

	class Dialog {
		constructor(request, returnFocus, title, className) {
			this.request = request;
			this.returnFocus = returnFocus;
			this.done = false;
			this.onEscape = null;
			this.defaultButton = null;
			this.initialFocus = null;
			const number = ++dialogCount;
			this.id = 'Dialog' + number;
			const titleId = this.id + 'Title';
			this.titleBar = h('div', { class: 'DialogTitle', id: titleId }, title);
			this.body = h('div', { class: 'DialogBody' });
			this.buttonRow = h('div', { class: 'DialogButtons' });
			this.box = h('div', {
				class: 'Dialog ' + className, role: 'dialog', 'aria-modal': 'true', 'aria-labelledby': titleId
			}, this.titleBar, this.body, this.buttonRow);
			this.backdrop = h('div', { class: 'DialogBackdrop' }, this.box);
		}

		addButton(caption, action, isDefault) {
			const button = h('button', { type: 'button' }, caption);
			button.addEventListener('click', action);
			if (isDefault) {
				button.classList.add('Default');
				this.defaultButton = button;
			}
			this.buttonRow.append(button);
			return button;
		}

		show() {
			dialogLayer.append(this.backdrop);
			windowElement.inert = true;
			(this.initialFocus || focusables(this.box)[0] || this.box).focus();
			if (this.initialFocus && this.initialFocus.select && this.initialFocus.tagName === 'INPUT') {
				this.initialFocus.select();
			}
		}

		focusFirst() {
			const first = this.initialFocus && this.initialFocus.isConnected ? this.initialFocus : focusables(this.box)[0];
			if (first) {
				first.focus();
			}
		}

		onKeyDown(event) {
			if (event.key === 'Tab' && !event.altKey && !event.ctrlKey && !event.metaKey) {
				// Keeps Tab inside the dialog.
				const list = focusables(this.box);
				if (list.length === 0) {
					event.preventDefault();
					return;
				}
				const index = list.indexOf(document.activeElement);
				if (event.shiftKey && index <= 0) {
					event.preventDefault();
					list[list.length - 1].focus();
				} else if (!event.shiftKey && (index < 0 || index === list.length - 1)) {
					event.preventDefault();
					list[0].focus();
				}
				return;
			}
			if (event.defaultPrevented || event.altKey || event.ctrlKey || event.metaKey) {
				return;
			}
			if (event.key === 'Escape') {
				event.preventDefault();
				if (this.onEscape) {
					this.onEscape();
				}
			} else if (event.key === 'Enter' && !event.shiftKey) {
				const tag = event.target && event.target.tagName;
				if (tag === 'BUTTON' || tag === 'TEXTAREA') {
					return;
				}
				if (this.defaultButton && !this.defaultButton.disabled) {
					event.preventDefault();
					this.defaultButton.click();
				}
			}
		}

		answer(result) {
			if (this.done) {
				return;
			}
			this.done = true;
			reply(this.request.message.id, { result: result === undefined ? null : result }, this.request.generation);
			this.remove();
			currentDialog = null;
			showNextDialog(this.returnFocus);
		}

		remove() {
			this.done = true;
			this.backdrop.remove();
		}
	}

	/* Message box */

	const MESSAGE_BUTTONS = {
		OK: ['OK'],
		OKCancel: ['OK', 'Cancel'],
		AbortRetryIgnore: ['Abort', 'Retry', 'Ignore'],
		YesNoCancel: ['Yes', 'No', 'Cancel'],
		YesNo: ['Yes', 'No'],
		RetryCancel: ['Retry', 'Cancel']
	};

	function messageDialog(request, returnFocus) {
		const message = request.message;
		const dialog = new Dialog(request, returnFocus, String(message.title || 'TVK Wizard'), 'MessageBox');
		const textId = dialog.id + 'Text';
		const text = String(message.text === undefined ? '' : message.text).replace(/\r\n?/g, '\n');
		if (ICON_SHAPES[message.icon] && ['Information', 'Exclamation', 'Critical', 'Question'].includes(message.icon)) {
			dialog.body.append(icon(message.icon, 32, message.icon));
		}
		dialog.body.append(h('p', { class: 'DialogText', id: textId }, text));
		dialog.box.setAttribute('aria-describedby', textId);
		const names = MESSAGE_BUTTONS[message.buttons] || MESSAGE_BUTTONS.OK;
		names.forEach((name, index) => {
			const button = dialog.addButton(name, () => dialog.answer(name), index === 0);
			if (index === 0) {
				dialog.initialFocus = button;
			}
		});
		if (names.includes('Cancel')) {
			dialog.onEscape = () => dialog.answer('Cancel');
		}
		return dialog;
	}

	/* File dialogs and the folder browser */

	let listingCount = 0;
	const listingWaiters = new Map();

	// Asks the program for a folder's entries; answered on the same socket.
	function requestListing(path, patterns, foldersOnly) {
		return new Promise((resolve) => {
			if (!connected) {
				resolve({ error: 'The wizard is not connected.' });
				return;
			}
			const number = ++listingCount;
			listingWaiters.set(number, resolve);
			send({ list: number, path: path, patterns: patterns, folders: foldersOnly });
		});
	}

	function joinPath(folder, name) {
		return folder.endsWith('/') ? folder + name : folder + '/' + name;
	}

	function splitPath(path) {
		const trimmed = path.length > 1 ? path.replace(/\/+$/, '') : path;
		const slash = trimmed.lastIndexOf('/');
		if (slash < 0) {
			return { folder: '', name: trimmed };
		}
		return { folder: slash === 0 ? '/' : trimmed.substring(0, slash), name: trimmed.substring(slash + 1) };
	}

	// mode: "open", "save" or "folder".
	function fileDialog(request, returnFocus, mode) {
		const message = request.message;
		const defaultTitles = { open: 'Open', save: 'Save As', folder: 'Select Directory' };
		const dialog = new Dialog(request, returnFocus, String(message.title || defaultTitles[mode]), 'FileDialog');
		const pathId = dialog.id + 'Path';
		const pathInput = h('input', { type: 'text', id: pathId, 'aria-label': 'Path', spellcheck: 'false', autocomplete: 'off' });
		const upButton = h('button', { type: 'button' }, 'Up');
		const homeButton = h('button', { type: 'button' }, 'Home');
		const list = h('div', { class: 'Entries', role: 'listbox', 'aria-label': 'Entries', tabindex: '0' });
		const errorLine = h('div', { class: 'DialogError', role: 'alert' });
		dialog.body.append(h('div', { class: 'PathRow' },
			h('label', { for: pathId }, 'Path:'), pathInput, upButton, homeButton));
		dialog.body.append(list);

		let nameInput = null;
		if (mode === 'save') {
			const nameId = dialog.id + 'Name';
			nameInput = h('input', { type: 'text', id: nameId, 'aria-label': 'File name', spellcheck: 'false', autocomplete: 'off' });
			nameInput.value = String(message.name || '');
			dialog.body.append(h('div', { class: 'NameRow' }, h('label', { for: nameId }, 'File name:'), nameInput));
		}

		let filterSelect = null;
		const filters = Array.isArray(message.filters) ? message.filters : [];
		if (mode !== 'folder') {
			const filterId = dialog.id + 'Filter';
			filterSelect = h('select', { id: filterId, 'aria-label': 'Filter' });
			for (const filter of filters) {
				filterSelect.append(h('option', {}, String(filter.description || filter.pattern || '')));
			}
			if (filters.length === 0) {
				filterSelect.append(h('option', {}, 'All Files (*.*)'));
			}
			dialog.body.append(h('div', { class: 'FilterRow' }, h('label', { for: filterId }, 'Filter:'), filterSelect));
		}
		dialog.body.append(errorLine);

		const confirmCaption = { open: 'Open', save: 'Save', folder: 'OK' }[mode];
		dialog.addButton(confirmCaption, () => confirm(), true);
		dialog.addButton('Cancel', () => dialog.answer(''), false);
		dialog.onEscape = () => dialog.answer('');
		dialog.initialFocus = mode === 'save' ? nameInput : list;

		let folder = '';
		let parent = '';
		let entries = [];
		let selected = -1;
		// Whether the user picked the selected entry (a click, a key), or the
		// list only selected its first entry on getting the focus.
		let picked = false;
		let sequence = 0;
		// Counts what the user typed into the path.
		let pathEdits = 0;

		function patterns() {
			if (mode === 'folder') {
				return [];
			}
			const filter = filters[filterSelect.selectedIndex];
			const text = filter ? String(filter.pattern || '*.*') : '*.*';
			const globs = text.split(';').map((p) => p.trim()).filter((p) => p !== '');
			return globs.length ? globs : ['*.*'];
		}

		function say(text) {
			errorLine.textContent = text;
		}

		function render() {
			list.textContent = '';
			list.removeAttribute('aria-activedescendant');
			entries.forEach((entry, index) => {
				const option = h('div', {
					class: 'Entry', role: 'option', id: dialog.id + 'Entry' + index, 'aria-selected': 'false'
				}, icon(entry.folder ? 'Folder' : 'File', 16, null), entry.folder ? entry.name + '/' : entry.name);
				option.addEventListener('click', () => select(index, true));
				option.addEventListener('dblclick', () => activate(index));
				list.append(option);
			});
			list.scrollTop = 0;
			// The list has the keyboard: something in it is selected.
			if (document.activeElement === list && entries.length > 0) {
				select(0, false);
			}
		}

		function select(index, byUser) {
			if (index < 0 || index >= entries.length) {
				return;
			}
			picked = byUser;
			const old = list.children[selected];
			if (old) {
				old.setAttribute('aria-selected', 'false');
			}
			selected = index;
			const option = list.children[index];
			option.setAttribute('aria-selected', 'true');
			list.setAttribute('aria-activedescendant', option.id);
			option.scrollIntoView({ block: 'nearest' });
			if (nameInput && !entries[index].folder) {
				nameInput.value = entries[index].name;
			}
		}

		// Lists a folder; on success it becomes the shown one. Answers the
		// listing (which may carry an error) or null when a later request
		// overtook this one.
		async function show(path) {
			const mine = ++sequence;
			const edits = pathEdits;
			const listing = await requestListing(path, patterns(), mode === 'folder');
			if (mine !== sequence || dialog.done) {
				return null;
			}
			if (listing.error) {
				say(String(listing.error));
				return listing;
			}
			say('');
			folder = String(listing.path || path);
			parent = String(listing.parent || '');
			entries = (Array.isArray(listing.entries) ? listing.entries : [])
				.filter((entry) => mode !== 'folder' || entry.folder);
			selected = -1;
			picked = false;
			// A path the user began to type meanwhile stays (on a slow
			// machine the first listing may come after the first keys).
			if (edits === pathEdits) {
				pathInput.value = folder;
			}
			upButton.disabled = parent === '';
			render();
			return listing;
		}

		function activate(index) {
			const entry = entries[index];
			if (!entry) {
				return;
			}
			const path = joinPath(folder, entry.name);
			if (entry.folder) {
				show(path);
			} else {
				dialog.answer(path);
			}
		}

		function resolveTyped(text) {
			const typed = text.trim();
			if (typed === '' || typed === '~' || typed.startsWith('/')) {
				return typed;
			}
			return joinPath(folder, typed);
		}

		// A typed path: a folder is shown; an existing file is chosen; for
		// Save a new file in an existing folder is chosen too.
		async function goTo(text) {
			const target = resolveTyped(text);
			const listing = await show(target);
			if (!listing || !listing.error || mode === 'folder') {
				return;
			}
			const parts = splitPath(target);
			if (parts.name === '' || parts.folder === '') {
				say(mode === 'open' ? 'The file does not exist.' : String(listing.error));
				return;
			}
			const mine = ++sequence;
			const around = await requestListing(parts.folder, ['*.*'], false);
			if (mine !== sequence || dialog.done) {
				return;
			}
			const exists = !around.error && (around.entries || []).some((entry) => !entry.folder && entry.name === parts.name);
			if (exists || (mode === 'save' && !around.error)) {
				dialog.answer(joinPath(String(around.path || parts.folder), parts.name));
			} else if (mode === 'open') {
				say('The file does not exist.');
			} else {
				say(String(around.error));
			}
		}

		// A name without an extension gets the one of the chosen filter, as
		// users of save dialogs expect ("Orders" saved as "Orders.xml").
		function withExtension(name) {
			const first = patterns()[0] || '';
			const match = /^\*(\.[^*?.]+)$/.exec(first);
			if (match && !/\.[^/]*$/.test(splitPath(name).name)) {
				return name + match[1];
			}
			return name;
		}

		async function saveAs(name) {
			const target = resolveTyped(withExtension(name));
			// An existing folder is opened rather than chosen.
			const mine = ++sequence;
			const asFolder = await requestListing(target, patterns(), false);
			if (mine !== sequence || dialog.done) {
				return;
			}
			if (!asFolder.error) {
				nameInput.value = '';
				show(target);
				return;
			}
			const parts = splitPath(target);
			const mine2 = ++sequence;
			const around = await requestListing(parts.folder || '/', ['*.*'], false);
			if (mine2 !== sequence || dialog.done) {
				return;
			}
			if (around.error) {
				say(String(around.error));
			} else {
				dialog.answer(joinPath(String(around.path || parts.folder), parts.name));
			}
		}

		// The confirm button. A path typed but not yet entered counts first;
		// the folder browser answers the folder the user picked in the list,
		// else the one shown.
		function confirm() {
			const typedPath = pathInput.value.trim();
			const pathEdited = typedPath !== '' && typedPath !== folder;
			const entry = picked ? entries[selected] : undefined;
			if (mode === 'open') {
				if (entry && !pathEdited) {
					activate(selected);
				} else if (pathEdited) {
					goTo(typedPath);
				} else {
					say('Choose a file.');
				}
			} else if (mode === 'save') {
				const name = nameInput.value.trim();
				if (name !== '') {
					saveAs(name);
				} else if (pathEdited) {
					goTo(typedPath);
				} else if (entry && entry.folder) {
					activate(selected);
				} else {
					say('Type a file name.');
					nameInput.focus();
				}
			} else if (pathEdited) {
				const target = resolveTyped(typedPath);
				show(target).then((listing) => {
					if (listing && !listing.error) {
						dialog.answer(folder);
					}
				});
			} else if (entry) {
				dialog.answer(joinPath(folder, entry.name));
			} else {
				dialog.answer(folder);
			}
		}

		pathInput.addEventListener('input', () => {
			pathEdits++;
		});
		pathInput.addEventListener('keydown', (event) => {
			if (event.key === 'Enter' && !event.altKey && !event.ctrlKey) {
				event.preventDefault();
				goTo(pathInput.value);
			}
		});
		if (nameInput) {
			nameInput.addEventListener('keydown', (event) => {
				if (event.key === 'Enter' && !event.altKey && !event.ctrlKey) {
					event.preventDefault();
					confirm();
				}
			});
		}
		upButton.addEventListener('click', () => {
			if (parent !== '') {
				show(parent);
			}
		});
		homeButton.addEventListener('click', () => show(''));
		if (filterSelect) {
			filterSelect.addEventListener('change', () => show(folder));
		}

		let typed = '';
		let typedAt = 0;
		list.addEventListener('keydown', (event) => {
			if (event.altKey || event.ctrlKey || event.metaKey) {
				return;
			}
			const pageSize = Math.max(1, Math.floor(list.clientHeight / 20) - 1);
			const moves = {
				ArrowDown: selected + 1, ArrowUp: Math.max(0, selected - 1), Home: 0, End: entries.length - 1,
				PageDown: selected + pageSize, PageUp: Math.max(0, selected - pageSize)
			};
			if (event.key in moves) {
				event.preventDefault();
				select(Math.min(entries.length - 1, moves[event.key]), true);
			} else if (event.key === 'Enter') {
				if (selected >= 0) {
					event.preventDefault();
					activate(selected);
				}
			} else if (event.key === 'Backspace') {
				event.preventDefault();
				if (parent !== '') {
					show(parent);
				}
			} else if (event.key.length === 1 && event.key !== ' ') {
				// Typing the start of a name jumps to it.
				const now = Date.now();
				typed = now - typedAt < 800 ? typed + event.key.toLowerCase() : event.key.toLowerCase();
				typedAt = now;
				const found = entries.findIndex((entry) => entry.name.toLowerCase().startsWith(typed));
				if (found >= 0) {
					select(found, true);
				}
			}
		});
		list.addEventListener('focus', () => {
			if (selected < 0 && entries.length > 0) {
				select(0, false);
			}
		});

		const start = String(message.directory || '');
		show(start).then((listing) => {
			if (listing && listing.error && start !== '') {
				show('');
			}
		});
		return dialog;
	}

	/* List editor */

	function listEditorDialog(request, returnFocus) {
		const message = request.message;
		const dialog = new Dialog(request, returnFocus, String(message.title || 'List Administration'), 'ListEditor');
		const body = h('tbody');
		const grid = h('table', { role: 'grid', 'aria-label': String(message.title || 'List Administration') },
			h('thead', {}, h('tr', { role: 'row' },
				h('th', { class: 'Link', role: 'columnheader' }, 'Link Field'),
				h('th', { class: 'Display', role: 'columnheader' }, 'Display Field'))),
			body);
		dialog.body.append(h('div', { class: 'GridBox' }, grid));
		let lastRow = null;

		function cells(row) {
			return row.querySelectorAll('input');
		}

		function isNew(row) {
			return row.classList.contains('NewRow');
		}

		function renumber() {
			Array.from(body.rows).forEach((row, index) => {
				const [link, display] = cells(row);
				link.setAttribute('aria-label', 'Link Field ' + (index + 1));
				display.setAttribute('aria-label', 'Display Field ' + (index + 1));
			});
		}

		function addRow(link, display, asNew) {
			const linkInput = h('input', { type: 'text', maxlength: '50', spellcheck: 'false', autocomplete: 'off' });
			const displayInput = h('input', { type: 'text', maxlength: '200', spellcheck: 'false', autocomplete: 'off' });
			linkInput.value = link;
			displayInput.value = display;
			const row = h('tr', { role: 'row', class: asNew ? 'NewRow' : null },
				h('td', { class: 'Link', role: 'gridcell' }, linkInput),
				h('td', { class: 'Display', role: 'gridcell' }, displayInput));
			for (const input of [linkInput, displayInput]) {
				input.addEventListener('input', () => {
					// Typing into the new row makes it a row; a new one follows.
					if (isNew(row) && input.value !== '') {
						row.classList.remove('NewRow');
						addRow('', '', true);
					}
				});
				input.addEventListener('focus', () => {
					lastRow = row;
				});
			}
			body.append(row);
			renumber();
			return row;
		}

		function newRow() {
			return body.rows[body.rows.length - 1];
		}

		function deleteRow() {
			const row = lastRow && lastRow.isConnected ? lastRow : null;
			if (!row || isNew(row)) {
				return;
			}
			const index = row.sectionRowIndex;
			const column = Array.from(cells(row)).indexOf(document.activeElement);
			row.remove();
			renumber();
			const next = body.rows[Math.min(index, body.rows.length - 1)];
			lastRow = next;
			cells(next)[column === 1 ? 1 : 0].focus();
		}

		const rows = Array.isArray(message.rows) ? message.rows : [];
		for (const row of rows) {
			addRow(String(row.link === undefined ? '' : row.link), String(row.display === undefined ? '' : row.display), false);
		}
		addRow('', '', true);

		body.addEventListener('keydown', (event) => {
			const input = event.target;
			const row = input.closest && input.closest('tr');
			if (!row || input.tagName !== 'INPUT') {
				return;
			}
			const column = Array.from(cells(row)).indexOf(input);
			if (event.key === 'Delete' && event.ctrlKey && !event.altKey) {
				event.preventDefault();
				lastRow = row;
				deleteRow();
			} else if (event.key === 'Enter' && !event.ctrlKey && !event.altKey && !event.shiftKey) {
				// Enter finishes the row being typed and starts the next one;
				// in the empty new row it is the dialog's Enter (OK).
				if (!(isNew(row) && cells(row)[0].value === '' && cells(row)[1].value === '')) {
					event.preventDefault();
					cells(newRow())[0].focus();
				}
			} else if ((event.key === 'ArrowDown' || event.key === 'ArrowUp') && !event.ctrlKey && !event.altKey && !event.shiftKey) {
				const target = body.rows[row.sectionRowIndex + (event.key === 'ArrowDown' ? 1 : -1)];
				if (target) {
					event.preventDefault();
					cells(target)[column].focus();
				}
			}
		});

		const deleteButton = dialog.addButton('Delete row', () => deleteRow(), false);
		// The button takes focus from the row it deletes; the row is kept.
		deleteButton.addEventListener('mousedown', (event) => event.preventDefault());
		dialog.buttonRow.append(h('span', { class: 'Spacer' }));
		dialog.addButton('OK', () => {
			const answer = Array.from(body.rows)
				.map((row) => {
					const [link, display] = cells(row);
					return { link: link.value, display: display.value };
				})
				.filter((row) => row.link !== '' || row.display !== '');
			dialog.answer(answer);
		}, true);
		dialog.addButton('Cancel', () => dialog.answer(null), false);
		dialog.onEscape = () => dialog.answer(null);
		dialog.initialFocus = cells(body.rows[0])[0];
		return dialog;
	}

	/* About */

	function aboutDialog(request, returnFocus) {
		const message = request.message;
		const dialog = new Dialog(request, returnFocus, 'About TVK Wizard', 'About');
		const version = String(message.version || '');
		dialog.body.append(h('p', { class: 'Version' }, 'TVK Wizard'));
		if (version !== '') {
			dialog.body.append(h('p', {}, /^\d/.test(version) ? 'Version ' + version : version));
		}
		if (message.help) {
			dialog.body.append(h('p', { class: 'Help' }, String(message.help)));
		}
		const info = Array.isArray(message.info) ? message.info : [];
		if (info.length > 0) {
			const list = h('dl', { 'aria-label': 'System information' });
			for (const item of info) {
				list.append(h('dt', {}, String(item.name || '')), h('dd', {}, String(item.value === undefined ? '' : item.value)));
			}
			dialog.body.append(list);
		}
		const ok = dialog.addButton('OK', () => dialog.answer(null), true);
		dialog.onEscape = () => dialog.answer(null);
		dialog.initialFocus = ok;
		return dialog;
	}

	const DIALOGS = {
		message: messageDialog,
		openFile: (request, returnFocus) => fileDialog(request, returnFocus, 'open'),
		saveFile: (request, returnFocus) => fileDialog(request, returnFocus, 'save'),
		folder: (request, returnFocus) => fileDialog(request, returnFocus, 'folder'),
		listEditor: listEditorDialog,
		about: aboutDialog
	};

	updateBusy();
	connect();
}());
