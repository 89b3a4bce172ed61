/*******************************************************************************
 wizard.js - behaviour shared by the TVK Wizard pages

 The wizard window fills and reads the pages' controls itself, by element id,
 and the same pages are also read without any script running. So everything
 the window needs is in the markup; this script only adds what makes a page
 pleasant by hand:

 - groups marked data-enabled-by="Id" (a check box) or "Name=Value" (a radio
   group) grey out while that choice is off;
 - the field selection pages move fields between "TableFields" and
   "DisplayedFields", order them, and allow Next only while at least one
   field is shown;
 - the intro page picks its radio button from the control being used.

 It never navigates, submits or talks to a server: the window does all that.
*******************************************************************************/
(function () {
	'use strict';

	function byId(id) {
		return document.getElementById(id);
	}

	function toArray(list) {
		return Array.prototype.slice.call(list);
	}

	/* Greying out ------------------------------------------------------------

	   The window sets check boxes and radio buttons by clicking them, and a
	   disabled control ignores click(). Those are therefore only made inert
	   to the developer (no focus, trusted clicks and keys refused). So are
	   lists: disabling a list restyles every one of its entries, and a list
	   of a thousand tables would hold up the page each time. The other
	   controls are written by value and may really be disabled. A control
	   that the window itself disabled is left to the window. */

	function isToggle(control) {
		var kind = (control.type || '').toLowerCase();
		return kind === 'checkbox' || kind === 'radio';
	}

	function keepsEnabled(control) {
		return isToggle(control) || control.tagName === 'SELECT';
	}

	function setInert(control, inert) {
		if (keepsEnabled(control)) {
			if (inert) {
				control.setAttribute('aria-disabled', 'true');
				control.tabIndex = -1;
			} else if (control.getAttribute('aria-disabled') === 'true') {
				control.removeAttribute('aria-disabled');
				control.removeAttribute('tabindex');
			}
		} else if (inert) {
			if (!control.disabled) {
				control.disabled = true;
				control.setAttribute('data-inert', 'true');
			}
		} else if (control.getAttribute('data-inert') === 'true') {
			control.disabled = false;
			control.removeAttribute('data-inert');
		}
	}

	function isInert(control) {
		return !!control && !!control.getAttribute &&
			control.getAttribute('aria-disabled') === 'true';
	}

	// A click on the label of an inert box, or a real click on the box
	// itself, is cancelled; the window's own click() (not trusted) goes on.
	document.addEventListener('click', function (event) {
		var target = event.target;
		if (target.tagName === 'LABEL' && isInert(target.control)) {
			event.preventDefault();
		} else if (event.isTrusted && isInert(target)) {
			event.preventDefault();
		}
	}, true);

	// A press on an inert list neither opens it nor gives it the focus.
	document.addEventListener('mousedown', function (event) {
		var list = event.target.closest ? event.target.closest('select') : null;
		if (isInert(list)) {
			event.preventDefault();
		}
	}, true);

	// Keys would still change an inert list that has the focus (a click on
	// its label gives it none, and Tab passes it by).
	document.addEventListener('keydown', function (event) {
		if (event.key !== 'Tab' && isInert(event.target) && event.target.tagName === 'SELECT') {
			event.preventDefault();
		}
	}, true);

	function conditionHolds(condition) {
		var eq = condition.indexOf('=');
		if (eq < 0) {
			var box = byId(condition);
			return !!box && box.checked;
		}
		var name = condition.substring(0, eq);
		var value = condition.substring(eq + 1);
		return toArray(document.getElementsByName(name)).some(function (radio) {
			return radio.checked && radio.value === value;
		});
	}

	function syncGroups() {
		var groups = toArray(document.querySelectorAll('[data-enabled-by]'));
		groups.forEach(function (group) {
			group.classList.toggle('Inactive',
				!conditionHolds(group.getAttribute('data-enabled-by')));
		});
		groups.forEach(function (group) {
			toArray(group.querySelectorAll('input, select, textarea, button'))
				.forEach(function (control) {
					setInert(control, control.closest('.Inactive') !== null);
				});
		});
	}

	// Clicks from the window fire change events too, so one listener keeps
	// the groups right whoever changed the choice.
	document.addEventListener('change', syncGroups);

	function watchOptions(list, onChange) {
		new MutationObserver(onChange).observe(list, { childList: true });
	}

	/* Field selection pages -------------------------------------------------- */

	function initFieldSelect() {
		var tableList = byId('TableFields');
		var shownList = byId('DisplayedFields');
		var nextFlag = byId('WIZF_NextURL');
		if (!tableList || !shownList) {
			return;
		}

		function selectedOptions(list) {
			return toArray(list.options).filter(function (option) {
				return option.selected;
			});
		}

		function enableButton(id, enable, fallbackFocus) {
			var button = byId(id);
			if (!button) {
				return;
			}
			if (!enable && document.activeElement === button) {
				fallbackFocus.focus();
			}
			button.disabled = !enable;
		}

		function canShift(up) {
			var options = shownList.options;
			for (var i = 0; i < options.length; i++) {
				var neighbour = options[up ? i - 1 : i + 1];
				if (options[i].selected && neighbour && !neighbour.selected) {
					return true;
				}
			}
			return false;
		}

		function update() {
			enableButton('AddField', selectedOptions(tableList).length > 0, tableList);
			enableButton('AddAllFields', tableList.options.length > 0, shownList);
			enableButton('RemoveField', selectedOptions(shownList).length > 0, shownList);
			enableButton('RemoveAllFields', shownList.options.length > 0, tableList);
			enableButton('MoveFieldUp', canShift(true), shownList);
			enableButton('MoveFieldDown', canShift(false), shownList);
			// The window enables Next from this value as soon as it changes.
			if (nextFlag) {
				nextFlag.value = shownList.options.length > 0 ? 'TRUE' : 'FALSE';
			}
		}

		// Moved fields go to the end of the other list and stay selected
		// there; the source list selects the entry that took their place, so
		// pressing the same button again walks down the list.
		function move(source, target, all) {
			var moving = all ? toArray(source.options) : selectedOptions(source);
			if (moving.length === 0) {
				return;
			}
			var firstIndex = moving[0].index;
			toArray(target.options).forEach(function (option) {
				option.selected = false;
			});
			moving.forEach(function (option) {
				target.appendChild(option);
			});
			moving.forEach(function (option) {
				option.selected = true;
			});
			target.scrollTop = target.scrollHeight;
			if (source.options.length > 0) {
				source.options[Math.min(firstIndex, source.options.length - 1)].selected = true;
			}
			update();
		}

		// Moves the selected shown fields one place up or down as a block;
		// they keep their selection.
		function shift(up) {
			var keep = selectedOptions(shownList);
			var options = shownList.options;
			var i;
			if (up) {
				for (i = 1; i < options.length; i++) {
					if (options[i].selected && !options[i - 1].selected) {
						shownList.insertBefore(options[i], options[i - 1]);
					}
				}
			} else {
				for (i = options.length - 2; i >= 0; i--) {
					if (options[i].selected && !options[i + 1].selected) {
						shownList.insertBefore(options[i + 1], options[i]);
					}
				}
			}
			keep.forEach(function (option) {
				option.selected = true;
			});
			update();
		}

		function onClick(id, action) {
			var button = byId(id);
			if (button) {
				button.addEventListener('click', action);
			}
		}

		onClick('AddField', function () { move(tableList, shownList, false); });
		onClick('AddAllFields', function () { move(tableList, shownList, true); });
		onClick('RemoveField', function () { move(shownList, tableList, false); });
		onClick('RemoveAllFields', function () { move(shownList, tableList, true); });
		onClick('MoveFieldUp', function () { shift(true); });
		onClick('MoveFieldDown', function () { shift(false); });

		tableList.addEventListener('dblclick', function () { move(tableList, shownList, false); });
		shownList.addEventListener('dblclick', function () { move(shownList, tableList, false); });
		tableList.addEventListener('keydown', function (event) {
			if (event.key === 'Insert') {
				move(tableList, shownList, false);
			}
		});
		shownList.addEventListener('keydown', function (event) {
			if (event.key === 'Delete') {
				move(shownList, tableList, false);
			}
		});
		tableList.addEventListener('change', update);
		shownList.addEventListener('change', update);

		// The window fills both lists after the page has loaded.
		watchOptions(tableList, update);
		watchOptions(shownList, update);
		update();
	}

	/* Intro page ------------------------------------------------------------- */

	function initIntro() {
		var recentList = byId('RecentProjects');
		var pathBox = byId('ExistingProjectPath');
		if (!recentList || !pathBox) {
			return;
		}

		function choose(id) {
			var radio = byId(id);
			if (radio && !radio.checked) {
				radio.click();
			}
		}

		// Offer the recent choice only when the window listed a project, and
		// preselect the most recent one so that Next always has a file.
		function recentFilled() {
			var recentRadio = byId('ProjectOpenType-Recent');
			var none = recentList.options.length === 0;
			if (recentRadio) {
				setInert(recentRadio, none);
			}
			var row = byId('RecentChoice');
			if (row) {
				row.classList.toggle('Inactive', none);
			}
			if (!none && recentList.selectedIndex < 0) {
				recentList.selectedIndex = 0;
			}
		}

		// Picking an entry (by mouse or arrow keys) means opening it; merely
		// tabbing through the list leaves the choice alone.
		recentList.addEventListener('change', function () { choose('ProjectOpenType-Recent'); });
		recentList.addEventListener('click', function () {
			if (recentList.selectedIndex >= 0) {
				choose('ProjectOpenType-Recent');
			}
		});
		pathBox.addEventListener('input', function () { choose('ProjectOpenType-Existing'); });
		watchOptions(recentList, recentFilled);
		recentFilled();
	}

	initFieldSelect();
	initIntro();
	syncGroups();
}());
