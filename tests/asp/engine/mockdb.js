// Recordsets of the mock ADO objects of the ASP page harness, over a real
// database.
//
// Runs inside Wine's JScript engine (ECMAScript 3: no JSON, no Array
// extras, no String.trim). The VBScript side (mock_asp.vbs) calls it with
// plain values only: numbers, strings, booleans, null, and only through
// methods (the engine cannot read a plain property of a JScript object).
// Dates travel as "YYYY-MM-DD HH:MM:SS" text because the engine cannot hand
// a VBScript date to JScript. Errors are not thrown (Wine loses the
// description of an error thrown across the engines): each call stores the
// error for ErrNumber(), ErrSource() and ErrDescription(), and the VBScript
// side raises it.
//
// Every statement goes to a real database (SQLite, PostgreSQL or MariaDB)
// through the bridge: an HTTP request to the harness's loopback server
// (harness/bridge.py), which runs it and answers with the rows and the
// columns' ADO types. What ADO itself does on the client stays here: the
// cursor, paging, Find, the edit buffer of AddNew and Update (written back
// as INSERT and UPDATE by the key), and the field types.
//
// Every statement a page sends (connection strings, recordset sources,
// Execute texts, Find criteria) is logged before it is sent, so a test can
// show that no request value reached the database unchecked.

var ADO = {
  NO_CURRENT: -2146825267,      // 3021
  NOT_FOUND: -2146825023,       // 3265
  NOT_SUPPORTED: -2146825037,   // 3251
  BAD_ARGUMENT: -2146825287,    // 3001
  CLOSED: -2146824584,          // 3704
  IS_OPEN: -2146824583,         // 3705
  CONTEXT: -2146825069,         // 3219
  SYNTAX: -2147217900,          // 80040E14
  MISMATCH: -2147217913,        // 80040E07
  MULTI_STEP: -2147217887       // 80040E21
};

var NO_CURRENT_TEXT = "Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a current record.";

var TEXT_TYPES = { 8: 1, 72: 1, 129: 1, 130: 1, 200: 1, 201: 1, 202: 1, 203: 1 };
var INT_TYPES = { 2: 1, 3: 1, 16: 1, 17: 1, 18: 1, 19: 1, 20: 1, 21: 1 };
var REAL_TYPES = { 4: 1, 5: 1, 6: 1, 14: 1, 131: 1, 139: 1 };
var DATE_TYPES = { 7: 1, 64: 1, 133: 1, 134: 1, 135: 1 };

function DbError(number, description) {
  this.number = number;
  this.description = description;
}

function fail(number, description) { throw new DbError(number, description); }

function lower(s) { return String(s).toLowerCase(); }

function typeClass(t) {
  if (TEXT_TYPES[t]) return "text";
  if (INT_TYPES[t] || REAL_TYPES[t]) return "number";
  if (DATE_TYPES[t]) return "date";
  if (t == 11) return "bool";
  return "other";
}

// ------------------------------------------------------------------ bridge

// One HTTP client for the driver's process; each job names its session.
// The answer is JSON from the harness's own server (checked by its token).
function Bridge(url, token) {
  this.url = url;
  this.token = token;
  this.http = new ActiveXObject("WinHttp.WinHttpRequest.5.1");
  this.http.SetTimeouts(5000, 5000, 60000, 60000);
}

Bridge.prototype.call = function (session, op, args) {
  var body = { token: this.token, session: session, op: op }, k;
  for (k in args) if (args.hasOwnProperty(k)) body[k] = args[k];
  this.http.Open("POST", this.url, false);
  this.http.SetRequestHeader("Content-Type", "application/json");
  this.http.Send(toJson(body));
  if (this.http.Status != 200) {
    fail(ADO.CONTEXT, "The harness's database bridge answered " + this.http.Status + ": " + this.http.ResponseText);
  }
  var answer = eval("(" + this.http.ResponseText + ")");
  if (answer.error) fail(answer.error.number, answer.error.description);
  return answer;
};

// ------------------------------------------------------------------ values

function pad(n, w) { var s = String(n); while (s.length < w) s = "0" + s; return s; }

// Dates are compared and stored as "YYYY-MM-DD HH:MM:SS". Accepts that form
// (with "T" or without the time) and m/d/yyyy [h:mm[:ss] [AM|PM]], as the
// server's (US) locale reads it. Returns null when the text is not a date.
function parseDate(text) {
  var s = String(text).replace(/^\s+|\s+$/g, "");
  var m = /^(\d{4})-(\d{1,2})-(\d{1,2})(?:[ T](\d{1,2}):(\d{2})(?::(\d{2}))?)?$/.exec(s);
  var y, mo, d, h = 0, mi = 0, se = 0;
  if (m) {
    y = +m[1]; mo = +m[2]; d = +m[3];
    if (m[4]) { h = +m[4]; mi = +m[5]; se = m[6] ? +m[6] : 0; }
  } else {
    m = /^(\d{1,2})\/(\d{1,2})\/(\d{4})(?:\s+(\d{1,2}):(\d{2})(?::(\d{2}))?\s*([AaPp][Mm])?)?$/.exec(s);
    if (!m) return null;
    mo = +m[1]; d = +m[2]; y = +m[3];
    if (m[4]) {
      h = +m[4]; mi = +m[5]; se = m[6] ? +m[6] : 0;
      if (m[7]) {
        var pm = lower(m[7]) == "pm";
        if (h == 12) h = pm ? 12 : 0; else if (pm) h += 12;
      }
    }
  }
  var check = new Date(y, mo - 1, d);
  if (check.getFullYear() != y || check.getMonth() != mo - 1 || check.getDate() != d ||
      h > 23 || mi > 59 || se > 59) {
    return null;
  }
  return pad(y, 4) + "-" + pad(mo, 2) + "-" + pad(d, 2) + " " + pad(h, 2) + ":" + pad(mi, 2) + ":" + pad(se, 2);
}

function isNumberText(s) {
  return /^\s*[+\-]?(\d+(\.\d*)?|\.\d+)([eE][+\-]?\d+)?\s*$/.test(String(s));
}

// Brings a literal to the class of the column it is compared with, as the
// database would; a value that cannot be converted is a type mismatch.
function coerce(value, cls, context) {
  if (value === null) return null;
  if (cls == "number") {
    if (typeof value == "number") return value;
    if (typeof value == "boolean") return value ? -1 : 0;
    if (isNumberText(value)) return parseFloat(value);
    fail(ADO.MISMATCH, "Data type mismatch in criteria expression (" + context + ").");
  }
  if (cls == "date") {
    var d = parseDate(value);
    if (d === null) fail(ADO.MISMATCH, "Data type mismatch in criteria expression (" + context + ").");
    return d;
  }
  if (cls == "bool") {
    if (typeof value == "boolean") return value;
    if (typeof value == "number") return value != 0;
    var t = lower(value);
    if (t == "true" || t == "1" || t == "-1") return true;
    if (t == "false" || t == "0") return false;
    fail(ADO.MISMATCH, "Data type mismatch in criteria expression (" + context + ").");
  }
  if (cls == "text") {
    if (typeof value == "number") fail(ADO.MISMATCH, "Data type mismatch in criteria expression (" + context + ").");
    return String(value);
  }
  return value;
}

function compareValues(a, b) {
  if (typeof a == "string" && typeof b == "string") {
    a = lower(a); b = lower(b);
  } else if (typeof a == "boolean" || typeof b == "boolean") {
    a = a ? 1 : 0; b = b ? 1 : 0;
  }
  return a < b ? -1 : (a > b ? 1 : 0);
}

// ---------------------------------------------------------------- database

// VBScript finds members without regard to case: no two members may differ
// in case only.
function MockDb(bridge, session) {
  this.bridge = bridge;
  this.session = session;
  this.statements = [];
  this.changes = [];
  this.raised = [];
  this.handles = {};
  this.nextHandle = 1;
  this.ops = 0;
  this.opLimit = 10000;
  this.clearError();
}

MockDb.prototype.clearError = function () {
  this.lastErrNumber = 0;
  this.lastErrSource = "";
  this.lastErrDescription = "";
};

// VBScript cannot read a plain property of a JScript object in this engine:
// everything it reads is a method.
MockDb.prototype.ErrNumber = function () { return this.lastErrNumber; };
MockDb.prototype.ErrSource = function () { return this.lastErrSource; };
MockDb.prototype.ErrDescription = function () { return this.lastErrDescription; };

// Runs fn, turning a DbError into the stored error. Any other exception is
// a fault of the harness itself and is reported as such.
MockDb.prototype.guard = function (source, fn) {
  this.clearError();
  this.ops++;
  try {
    if (this.ops > this.opLimit) {
      fail(ADO.CONTEXT, "The page made more than " + this.opLimit +
           " recordset calls: an endless loop (a loop without MoveNext?)");
    }
    return fn.call(this);
  } catch (e) {
    if (e instanceof DbError) {
      this.lastErrNumber = e.number;
      this.lastErrSource = source;
      this.lastErrDescription = e.description;
      this.raised.push(source + ": " + e.description);
    } else {
      this.lastErrNumber = ADO.CONTEXT;
      this.lastErrSource = "TVK harness";
      this.lastErrDescription = "Internal error of the mock database: " + (e.message || e.description || e);
    }
    return null;
  }
};

MockDb.prototype.log = function (kind, text) {
  this.statements.push({ kind: kind, text: String(text) });
};

MockDb.prototype.send = function (op, args) {
  return this.bridge.call(this.session, op, args || {});
};

// Connection.Open: logged; the harness's database stands for any
// connection string.
MockDb.prototype.Connect = function (connectionString) {
  return this.guard("ADODB.Connection", function () {
    this.log("connect", connectionString);
    return true;
  });
};

// The tables as the page left them, for the test; ends the session.
MockDb.prototype.finish = function () {
  return this.send("finish").tables;
};

// The date a text names, as "YYYY-MM-DD HH:MM:SS", or null.
MockDb.prototype.ParseDateText = function (text) {
  return parseDate(String(text));
};

// ---- recordsets

function isTableName(source) {
  return /^\s*(\[[^\]]+\]|"([^"]|"")+"|`([^`]|``)+`|[A-Za-z_][A-Za-z0-9_$@]*)\s*$/.test(source);
}

MockDb.prototype.newHandle = function (result, cursorType, lockType, source) {
  var h = this.nextHandle++;
  this.handles[h] = {
    cols: result.columns, rows: result.rows, base: result.base,
    pos: 0, cursorType: cursorType, lockType: lockType, pageSize: 10,
    editMode: 0, buffer: null, savedPos: 0, open: true, source: source
  };
  return h;
};

// Recordset.Open: source is a SELECT statement or a table name.
MockDb.prototype.Open = function (source, cursorType, lockType) {
  return this.guard("ADODB.Recordset", function () {
    this.log("open", source);
    var result = this.send("query", { sql: String(source), table: isTableName(source) });
    return this.newHandle(result, cursorType, lockType, source);
  });
};

// Connection.Execute: a statement that returns rows gives a forward-only,
// read-only recordset handle; any other gives 0.
MockDb.prototype.Execute = function (sql) {
  return this.guard("ADODB.Connection", function () {
    this.log("execute", sql);
    this.affected = 0;
    var answer = this.send("execute", { sql: String(sql) });
    if (answer.records) return this.newHandle(answer.records, 0, 1, sql);
    this.affected = answer.affected;
    var verb = /^\s*(\w+)/.exec(String(sql));
    if (answer.affected > 0 && verb) {
      this.changes.push({ op: lower(verb[1]), sql: String(sql), affected: answer.affected });
    }
    return 0;
  });
};

// The number of records the last Execute changed (its RecordsAffected).
MockDb.prototype.RecordsAffected = function () { return this.affected || 0; };

MockDb.prototype.rs = function (h) {
  var r = this.handles[h];
  if (!r || !r.open) fail(ADO.CLOSED, "Operation is not allowed when the object is closed.");
  return r;
};

function rsEmpty(r) { return r.rows.length == 0; }
function rsBOF(r) { return r.rows.length == 0 || r.pos < 0; }
function rsEOF(r) { return r.rows.length == 0 || r.pos >= r.rows.length; }

MockDb.prototype.commitPending = function (r) {
  if (r.editMode != 0) this.doUpdate(r);
};

MockDb.prototype.BOF = function (h) { return this.guard("ADODB.Recordset", function () { return rsBOF(this.rs(h)); }); };
MockDb.prototype.EOF = function (h) { return this.guard("ADODB.Recordset", function () { return rsEOF(this.rs(h)); }); };

MockDb.prototype.MoveNext = function (h) {
  return this.guard("ADODB.Recordset", function () {
    var r = this.rs(h);
    this.commitPending(r);
    if (rsEOF(r)) fail(ADO.NO_CURRENT, NO_CURRENT_TEXT);
    r.pos++;
    return true;
  });
};

MockDb.prototype.SetPageSize = function (h, n) {
  return this.guard("ADODB.Recordset", function () {
    if (!(n >= 1)) fail(ADO.BAD_ARGUMENT, "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one another (PageSize " + n + ").");
    this.rs(h).pageSize = n;
    return true;
  });
};

MockDb.prototype.PageCount = function (h) {
  return this.guard("ADODB.Recordset", function () {
    var r = this.rs(h);
    if (r.cursorType == 0) return -1;
    return Math.ceil(r.rows.length / r.pageSize);
  });
};

MockDb.prototype.GetAbsolutePage = function (h) {
  return this.guard("ADODB.Recordset", function () {
    var r = this.rs(h);
    if (r.cursorType == 0) return -1;           // adPosUnknown
    if (rsBOF(r)) return -2;                    // adPosBOF
    if (rsEOF(r)) return -3;                    // adPosEOF
    return Math.floor(r.pos / r.pageSize) + 1;
  });
};

MockDb.prototype.SetAbsolutePage = function (h, n) {
  return this.guard("ADODB.Recordset", function () {
    var r = this.rs(h);
    if (r.cursorType == 0) fail(ADO.NOT_SUPPORTED, "Current Recordset does not support bookmarks. This may be a limitation of the provider or of the selected cursortype.");
    this.commitPending(r);
    if (rsEmpty(r)) fail(ADO.NO_CURRENT, NO_CURRENT_TEXT);
    var pages = Math.ceil(r.rows.length / r.pageSize);
    if (!(n >= 1 && n <= pages) || Math.floor(n) != n) {
      fail(ADO.BAD_ARGUMENT, "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one another (AbsolutePage " + n + " of " + pages + ").");
    }
    r.pos = (n - 1) * r.pageSize;
    return true;
  });
};

// Recordset.Find: one criterion "column op value", as ADO allows, searched
// forward from the current record (ADO does this on the client too).
MockDb.prototype.Find = function (h, criteria) {
  return this.guard("ADODB.Recordset", function () {
    this.log("find", criteria);
    var r = this.rs(h);
    var m = /^\s*(\[[^\]]+\]|[A-Za-z_][A-Za-z0-9_]*)\s*(<>|<=|>=|=|<|>)\s*([\s\S]*?)\s*$/i.exec(String(criteria));
    var bad = "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one another (Find criteria: " + criteria + ").";
    if (!m) fail(ADO.BAD_ARGUMENT, bad);
    var name = m[1].replace(/^\[|\]$/g, ""), op = m[2], text = m[3], value;
    if (/^'([^']|'')*'$/.test(text)) value = text.substring(1, text.length - 1).replace(/''/g, "'");
    else if (isNumberText(text)) value = parseFloat(text);
    else if (lower(text) == "null") value = null;
    else fail(ADO.BAD_ARGUMENT, bad);
    var col = this.indexOfField(r, name);
    var cls = typeClass(r.cols[col].type);
    try { value = coerce(value, cls, name); } catch (e) { fail(ADO.BAD_ARGUMENT, bad); }
    if (rsBOF(r) || rsEOF(r)) fail(ADO.NO_CURRENT, NO_CURRENT_TEXT);
    for (var i = r.pos; i < r.rows.length; i++) {
      var v = r.rows[i][col];
      var hit;
      if (v === null || value === null) hit = (op == "=" && v === value);
      else {
        var c = compareValues(v, value);
        hit = op == "=" ? c == 0 : op == "<>" ? c != 0 : op == "<" ? c < 0 :
              op == ">" ? c > 0 : op == "<=" ? c <= 0 : c >= 0;
      }
      if (hit) { r.pos = i; return true; }
    }
    r.pos = r.rows.length;
    return false;
  });
};

MockDb.prototype.indexOfField = function (r, key) {
  if (typeof key == "number") {
    if (key >= 0 && key < r.cols.length && Math.floor(key) == key) return key;
  } else {
    var k = lower(key), i;
    for (i = 0; i < r.cols.length; i++) if (lower(r.cols[i].name) == k) return i;
  }
  fail(ADO.NOT_FOUND, "Item cannot be found in the collection corresponding to the requested name or ordinal ('" + key + "').");
};

MockDb.prototype.Remaining = function (h) {
  return this.guard("ADODB.Recordset", function () {
    var r = this.rs(h);
    if (rsEOF(r)) return 0;
    return r.rows.length - Math.max(r.pos, 0);
  });
};

MockDb.prototype.FieldCount = function (h) { return this.guard("ADODB.Recordset", function () { return this.rs(h).cols.length; }); };
MockDb.prototype.FieldIndex = function (h, key) { return this.guard("ADODB.Fields", function () { return this.indexOfField(this.rs(h), key); }); };
MockDb.prototype.FieldName = function (h, i) { return this.guard("ADODB.Field", function () { return this.rs(h).cols[i].name; }); };
MockDb.prototype.FieldType = function (h, i) { return this.guard("ADODB.Field", function () { return this.rs(h).cols[i].type; }); };
MockDb.prototype.FieldSize = function (h, i) { return this.guard("ADODB.Field", function () { return this.rs(h).cols[i].size; }); };

MockDb.prototype.GetValue = function (h, i) {
  return this.guard("ADODB.Field", function () {
    var r = this.rs(h);
    if (r.editMode == 2) return r.buffer.hasOwnProperty(i) ? r.buffer[i] : null;
    if (rsBOF(r) || rsEOF(r)) fail(ADO.NO_CURRENT, NO_CURRENT_TEXT);
    if (r.editMode == 1 && r.buffer.hasOwnProperty(i)) return r.buffer[i];
    var v = r.rows[r.pos][i];
    return v === undefined ? null : v;
  });
};

MockDb.prototype.checkUpdatable = function (r) {
  if (r.lockType == 1 || !r.lockType) {
    fail(ADO.NOT_SUPPORTED, "Current Recordset does not support updating. This may be a limitation of the provider, or of the selected locktype.");
  }
  if (!r.base) {
    fail(ADO.NOT_SUPPORTED, "The harness updates a recordset of one table that holds the table's key (" + r.source + ").");
  }
};

// The value arrives already converted to the column's class by the VBScript
// side (with the engine's own conversions, as ADO would do them).
MockDb.prototype.SetValue = function (h, i, v) {
  return this.guard("ADODB.Field", function () {
    var r = this.rs(h);
    this.checkUpdatable(r);
    if (r.cols[i].autoinc) {
      fail(ADO.MULTI_STEP, "Multiple-step OLE DB operation generated errors. Check each OLE DB status value, if available. No work was done. (field '" + r.cols[i].name + "' is filled by the database)");
    }
    if (r.editMode == 0) {
      if (rsBOF(r) || rsEOF(r)) fail(ADO.NO_CURRENT, NO_CURRENT_TEXT);
      r.editMode = 1;
      r.buffer = {};
    }
    r.buffer[i] = v;
    return true;
  });
};

MockDb.prototype.AddNew = function (h) {
  return this.guard("ADODB.Recordset", function () {
    var r = this.rs(h);
    this.checkUpdatable(r);
    this.commitPending(r);
    r.savedPos = r.pos;
    r.editMode = 2;
    r.buffer = {};
    return true;
  });
};

// The row the database answered with, in the recordset's column order.
function rowFor(r, answer) {
  var out = [], i, j;
  for (i = 0; i < r.cols.length; i++) {
    var v = null;
    if (answer && answer.rows.length) {
      for (j = 0; j < answer.columns.length; j++) {
        if (lower(answer.columns[j].name) == lower(r.cols[i].column || r.cols[i].name)) { v = answer.rows[0][j]; break; }
      }
    }
    out.push(v);
  }
  return out;
}

// The pending edit, written to the database as one INSERT or UPDATE (by the
// row's key, as ADO writes a client recordset's change).
MockDb.prototype.doUpdate = function (r) {
  var values = {}, i, any = false;
  for (i = 0; i < r.cols.length; i++) {
    if (r.buffer.hasOwnProperty(i)) { values[r.cols[i].column] = r.buffer[i]; any = true; }
  }
  if (r.editMode == 2) {
    var added = this.send("insert", { table: r.base, values: values });
    r.rows.push(rowFor(r, added.row));
    r.pos = r.rows.length - 1;
    this.changes.push({ op: "insert", table: r.base, values: values });
  } else if (r.editMode == 1 && any) {
    var key = {}, row = r.rows[r.pos];
    for (i = 0; i < r.cols.length; i++) if (r.cols[i].pk) key[r.cols[i].column] = row[i];
    var changed = this.send("update", { table: r.base, key: key, values: values });
    r.rows[r.pos] = rowFor(r, changed.row);
    this.changes.push({ op: "update", table: r.base, key: key, values: values });
  }
  r.editMode = 0;
  r.buffer = null;
};

// Update with no pending change does nothing, as long as there is a current
// record; without one ADO refuses, as for any other record operation.
MockDb.prototype.Update = function (h) {
  return this.guard("ADODB.Recordset", function () {
    var r = this.rs(h);
    if (r.editMode != 0) this.doUpdate(r);
    else if (rsEOF(r) || rsBOF(r)) fail(ADO.NO_CURRENT, NO_CURRENT_TEXT);
    return true;
  });
};

MockDb.prototype.CancelUpdate = function (h) {
  return this.guard("ADODB.Recordset", function () {
    var r = this.rs(h);
    if (r.editMode == 2) r.pos = r.savedPos;
    r.editMode = 0;
    r.buffer = null;
    return true;
  });
};

MockDb.prototype.Close = function (h) {
  return this.guard("ADODB.Recordset", function () {
    var r = this.rs(h);
    if (r.editMode != 0) fail(ADO.CONTEXT, "Operation is not allowed in this context (Close with a pending edit: call Update or CancelUpdate first).");
    r.open = false;
    return true;
  });
};
