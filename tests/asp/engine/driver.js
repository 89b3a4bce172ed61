// Runs VBScript pages inside Wine, one fresh script engine per job.
//
// Wine's cscript hides every VBScript error and exits 0, so the pages are not
// run by cscript itself: this JScript program (run by cscript) loads each
// page into the script control object (MSScriptControl.ScriptControl), which
// reports compile and runtime errors with their line and column. The host
// object (TVKHost) and the database (TVKDb, mockdb.js) are added to the
// engine as named items; the VBScript prelude (mock_asp.vbs) builds the ASP
// objects over them. The database is reached through the harness's bridge
// (an HTTP server on loopback); each job has its own session there.
//
// Usage: cscript //nologo driver.js <jobs file> [first job]
// The jobs file (UTF-16) holds JSON: {bridge: {url, token}, shared: [page
// codes], jobs: [{code: index, session, request, ..., result: file}]}.
// The driver prints "START i" and "DONE i" lines so that the caller can tell
// which job was running when the engine crashed or hung.
//
// The harness puts mockdb.js in front of this file before it runs it.

var fso = new ActiveXObject("Scripting.FileSystemObject");

function readUnicode(path) {
  var f = fso.OpenTextFile(path, 1, false, -1);
  var text = f.AtEndOfStream ? "" : f.ReadAll();
  f.Close();
  return text;
}

function writeUnicode(path, text) {
  var f = fso.CreateTextFile(path, true, true);
  f.Write(text);
  f.Close();
}

function isArray(v) { return v instanceof Array; }

// Escapes with one regular expression: a loop over every character is slow
// in this engine, and pages are long.
function jsonString(s) {
  return "\"" + s.replace(/[\\"\u0000-\u001f\u007f-\uffff]/g, function (c) {
    if (c == "\"") return "\\\"";
    if (c == "\\") return "\\\\";
    var hex = c.charCodeAt(0).toString(16);
    while (hex.length < 4) hex = "0" + hex;
    return "\\u" + hex;
  }) + "\"";
}

function toJson(v) {
  if (v === null || v === undefined) return "null";
  var t = typeof v;
  if (t == "string") return jsonString(v);
  if (t == "number") return isFinite(v) ? String(v) : "null";
  if (t == "boolean") return v ? "true" : "false";
  if (t == "unknown" || t == "date") return jsonString(String(v));
  var parts = [], k, i;
  if (isArray(v)) {
    for (i = 0; i < v.length; i++) parts.push(toJson(v[i]));
    return "[" + parts.join(",") + "]";
  }
  for (k in v) {
    if (v.hasOwnProperty(k)) parts.push(jsonString(k) + ":" + toJson(v[k]));
  }
  return "{" + parts.join(",") + "}";
}

// ------------------------------------------------------------ the ASP host

function pad2(n) { return n < 10 ? "0" + n : String(n); }

// Characters of Windows-1252 above 0x7F that are not Latin-1.
var CP1252 = {
  0x20AC: 0x80, 0x201A: 0x82, 0x0192: 0x83, 0x201E: 0x84, 0x2026: 0x85, 0x2020: 0x86,
  0x2021: 0x87, 0x02C6: 0x88, 0x2030: 0x89, 0x0160: 0x8A, 0x2039: 0x8B, 0x0152: 0x8C,
  0x017D: 0x8E, 0x2018: 0x91, 0x2019: 0x92, 0x201C: 0x93, 0x201D: 0x94, 0x2022: 0x95,
  0x2013: 0x96, 0x2014: 0x97, 0x02DC: 0x98, 0x2122: 0x99, 0x0161: 0x9A, 0x203A: 0x9B,
  0x0153: 0x9C, 0x017E: 0x9E, 0x0178: 0x9F
};

// VBScript finds members without regard to case: no field of the host may
// share its name with a method (this.session would hide Session()).
function Host(job) {
  this.job = job;
  this.out = [];
  this.afterEnd = [];
  this.redirects = [];
  this.notes = [];
  this.ended = false;
  this.endedInResume = false;
  this.expires = null;
  this.writeCount = 0;
  this.writeLimit = 200000;
  this.applicationValues = this.makeDictionary(job.application);
}

Host.prototype.makeDictionary = function (values) {
  var d = new ActiveXObject("Scripting.Dictionary");
  d.CompareMode = 1;   // keys compare without case, as ASP's collections do
  if (values) {
    for (var k in values) if (values.hasOwnProperty(k)) d.Add(k, values[k]);
  }
  return d;
};

Host.prototype.Write = function (s) {
  if (this.ended) { this.afterEnd.push(String(s)); return false; }
  if (++this.writeCount > this.writeLimit) return false;
  this.out.push(String(s));
  return true;
};
Host.prototype.Redirect = function (url) {
  if (this.ended) { this.afterEnd.push("REDIRECT " + url); return false; }
  this.redirects.push(String(url));
  return true;
};
Host.prototype.MarkEnded = function () { this.ended = true; };
Host.prototype.IsEnded = function () { return this.ended; };
Host.prototype.WriteLimitReached = function () { return this.writeCount > this.writeLimit; };
Host.prototype.SetExpires = function (v) { this.expires = v; };
Host.prototype.Note = function (text) { this.notes.push(String(text)); };
Host.prototype.Line = function (n) { this.lastLine = n; };

// Wine's engine drops an error raised inside a default property call
// (rs("Name")): the error only lands in Err and the page goes on. The mock
// records it here; the next call of a mock object raises it again unless the
// page has cleared Err in between (as a page under On Error Resume Next does).
Host.prototype.SetPending = function (number, source, description) {
  this.pending = { number: number, source: String(source), description: String(description),
                   line: this.lastLine || 0 };
};
Host.prototype.PendingNumber = function () { return this.pending ? this.pending.number : 0; };
Host.prototype.PendingSource = function () { return this.pending ? this.pending.source : ""; };
Host.prototype.PendingDescription = function () { return this.pending ? this.pending.description : ""; };
Host.prototype.ClearPending = function () {
  if (this.pending) this.pendingLine = this.pending.line;
  this.pending = null;
};
Host.prototype.Application = function () { return this.applicationValues; };

// Request collections: job.request.query and .form are lists of [name,
// value] pairs in the order the request carries them.
Host.prototype.pairs = function (collection) {
  var r = this.job.request || {};
  return r[collection] || [];
};
// How many values the form posted (the mock's REQUEST_METHOD tells POST by them).
Host.prototype.FormCount = function () { return this.pairs("form").length; };
Host.prototype.RequestItem = function (collection, key) {
  var order = collection ? [collection] : ["query", "form"];
  var k = String(key).toLowerCase(), c, i, found = [];
  for (c = 0; c < order.length; c++) {
    var p = this.pairs(order[c]);
    for (i = 0; i < p.length; i++) if (String(p[i][0]).toLowerCase() == k) found.push(String(p[i][1]));
    if (found.length) return found.join(", ");
  }
  return undefined;
};
Host.prototype.RequestItemCount = function (collection, key) {
  var order = collection ? [collection] : ["query", "form"];
  var k = String(key).toLowerCase(), c, i, n;
  for (c = 0; c < order.length; c++) {
    var p = this.pairs(order[c]);
    n = 0;
    for (i = 0; i < p.length; i++) if (String(p[i][0]).toLowerCase() == k) n++;
    if (n) return n;
  }
  return 0;
};

// Server.URLEncode: letters and digits stay, a blank becomes "+", every
// other byte of the code page becomes %XX.
Host.prototype.URLEncode = function (s) {
  var out = "", i, c, code;
  s = String(s);
  for (i = 0; i < s.length; i++) {
    c = s.charAt(i); code = s.charCodeAt(i);
    if (/[A-Za-z0-9]/.test(c)) out += c;
    else if (c == " ") out += "+";
    else {
      if (code > 0xFF) code = CP1252[code] || 0x3F;
      out += "%" + (code < 16 ? "0" : "") + code.toString(16).toUpperCase();
    }
  }
  return out;
};

// Built-ins that Wine's VBScript lacks, or gets wrong for some values.
Host.prototype.TrimText = function (s) { return String(s).replace(/^ +| +$/g, ""); };

Host.prototype.NewObject = function (progId) {
  return new ActiveXObject(progId);
};

// ------------------------------------------------------------- job runner

function runJob(job, bridge) {
  var started = new Date().getTime();
  var host = new Host(job);
  var db = new MockDb(bridge, job.session);
  var result = { status: "ok" };
  var sc = new ActiveXObject("MSScriptControl.ScriptControl");
  sc.Language = "VBScript";
  sc.AllowUI = false;
  sc.AddObject("TVKHost", host, false);
  sc.AddObject("TVKDb", db, false);
  try {
    sc.AddCode(job.code);
  } catch (e) {
    var er = sc.Error;
    var source = String(er.Source || "");
    result.error = {
      number: er.Number, description: String(er.Description || ""), source: source,
      line: er.Line, column: er.Column, text: String(er.Text || "")
    };
    if (host.ended) result.status = "ended";
    else if (/compil/i.test(source)) result.status = "compile_error";
    else result.status = "runtime_error";
  }
  if (result.status == "ok" && host.pending) {
    // The page ended without another call of a mock object: it failed unless
    // it cleared Err after the failing read.
    var stillSet = false;
    try { stillSet = String(sc.Eval("Err.Description")) == host.pending.description; } catch (e2) { stillSet = true; }
    if (stillSet) {
      result.status = "runtime_error";
      result.error = { number: host.pending.number, description: host.pending.description,
                       source: host.pending.source, line: 0, column: 0, text: "" };
      host.ClearPending();
    }
  }
  result.output = host.out.join("");
  result.afterEnd = host.afterEnd;
  result.redirects = host.redirects;
  result.ended = host.ended;
  result.expires = host.expires;
  result.notes = host.notes;
  result.lastLine = host.lastLine || 0;
  result.pendingLine = host.pendingLine || 0;
  result.writeLimitReached = host.WriteLimitReached();
  result.statements = db.statements;
  result.changes = db.changes;
  result.raised = db.raised;
  try {
    result.tables = db.finish();
  } catch (e3) {
    result.tables = {};
    result.notes.push("The tables could not be read back: " + (e3.description || e3.message || e3));
  }
  result.milliseconds = new Date().getTime() - started;
  return result;
}

function main() {
  var file = eval("(" + readUnicode(WScript.Arguments(0)) + ")");
  var jobs = file.jobs;
  for (var j = 0; j < jobs.length; j++) jobs[j].code = file.shared[jobs[j].code];
  var bridge = new Bridge(file.bridge.url, file.bridge.token);
  var skip = WScript.Arguments.length > 1 ? parseInt(WScript.Arguments(1), 10) : 0;
  for (var i = skip; i < jobs.length; i++) {
    WScript.Echo("START " + i);
    var result;
    try {
      result = runJob(jobs[i], bridge);
    } catch (e) {
      result = { status: "harness_error", error: { description: String(e.message || e.description || e) } };
    }
    writeUnicode(jobs[i].result, toJson(result));
    WScript.Echo("DONE " + i);
  }
}

// An error of the driver itself must not reach cscript, which would wait for
// a message box that nobody can close.
try {
  main();
} catch (e) {
  WScript.Echo("FATAL " + (e.message || e.description || e));
  WScript.Quit(3);
}
