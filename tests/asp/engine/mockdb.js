// In-memory database behind the mock ADO objects of the ASP page harness.
//
// Runs inside Wine's JScript engine (ECMAScript 3: no JSON, no Array
// extras, no String.trim). The VBScript side (mock_asp.vbs) calls it with
// plain values only: numbers, strings, booleans, null, and only through
// methods (the engine cannot read a plain property of a JScript object). Dates travel as
// "YYYY-MM-DD HH:MM:SS" text because the engine cannot hand a VBScript date
// to JScript. Errors are not thrown (Wine loses the description of an error
// thrown across the engines): each call stores the error for ErrNumber(),
// ErrSource() and ErrDescription(), and the VBScript side raises it.
//
// Every statement a page sends (connection strings, recordset sources,
// Execute texts, Find criteria) is logged before it is parsed, so a test can
// show that no request value reached the database unchecked.
//
// The SQL and recordset features are those the generated pages use: SELECT
// with inner and left joins (JET's parentheses too), WHERE with comparisons,
// AND, OR and NOT, ORDER BY; DELETE; tables opened by name. Anything else
// (RIGHT JOIN, LIKE, IN, TOP ...) is refused as a syntax error, so a page
// that starts to use it fails instead of passing on a guess.

var ADO = {
  NO_CURRENT: -2146825267,      // 3021
  NOT_FOUND: -2146825023,       // 3265
  NOT_SUPPORTED: -2146825037,   // 3251
  BAD_ARGUMENT: -2146825287,    // 3001
  CLOSED: -2146824584,          // 3704
  IS_OPEN: -2146824583,         // 3705
  CONTEXT: -2146825069,         // 3219
  SYNTAX: -2147217900,          // 80040E14
  NO_VALUE: -2147217904,        // 80040E10
  NO_TABLE: -2147217865,        // 80040E37
  MISMATCH: -2147217913,        // 80040E07
  INTEGRITY: -2147217873,       // 80040E2F
  MULTI_STEP: -2147217887       // 80040E21
};

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

// ---------------------------------------------------------------- SQL lexer

var KEYWORDS = {
  select: 1, from: 1, where: 1, order: 1, by: 1, asc: 1, desc: 1, and: 1, or: 1,
  not: 1, "null": 1, is: 1, like: 1, "in": 1, between: 1, inner: 1, left: 1,
  right: 1, outer: 1, join: 1, on: 1, as: 1, "delete": 1, insert: 1, into: 1,
  values: 1, update: 1, set: 1, distinct: 1, top: 1, "true": 1, "false": 1
};

function tokenize(sql) {
  var toks = [], i = 0, n = sql.length, c, j, m;
  while (i < n) {
    c = sql.charAt(i);
    if (c == " " || c == "\t" || c == "\r" || c == "\n") { i++; continue; }
    if (c == "'") {
      var s = "";
      j = i + 1;
      for (;;) {
        if (j >= n) fail(ADO.SYNTAX, "Unclosed quotation mark in the SQL statement: " + sql);
        if (sql.charAt(j) == "'") {
          if (sql.charAt(j + 1) == "'") { s += "'"; j += 2; continue; }
          break;
        }
        s += sql.charAt(j); j++;
      }
      toks.push({ t: "str", v: s });
      i = j + 1;
      continue;
    }
    if (c == "[") {
      j = sql.indexOf("]", i + 1);
      if (j < 0) fail(ADO.SYNTAX, "Unclosed bracket in the SQL statement: " + sql);
      toks.push({ t: "id", v: sql.substring(i + 1, j), quoted: true });
      i = j + 1;
      continue;
    }
    m = /^[0-9]+(\.[0-9]+)?([eE][+\-]?[0-9]+)?/.exec(sql.substring(i));
    if (m) { toks.push({ t: "num", v: parseFloat(m[0]) }); i += m[0].length; continue; }
    m = /^[A-Za-z_][A-Za-z0-9_$@]*/.exec(sql.substring(i));
    if (m) {
      var word = m[0];
      if (KEYWORDS[lower(word)]) toks.push({ t: "kw", v: lower(word) });
      else toks.push({ t: "id", v: word });
      i += word.length;
      continue;
    }
    m = /^(<>|<=|>=|!=|[=<>(),.*;+\-\/])/.exec(sql.substring(i));
    if (m) { toks.push({ t: "op", v: m[0] }); i += m[0].length; continue; }
    fail(ADO.SYNTAX, "Syntax error: unexpected character '" + c + "' in the SQL statement: " + sql);
  }
  return toks;
}

// --------------------------------------------------------------- SQL parser

function Parser(sql) {
  this.sql = sql;
  this.toks = tokenize(sql);
  this.i = 0;
}
Parser.prototype.peek = function (k) { return this.toks[this.i + (k || 0)]; };
Parser.prototype.isKw = function (w, k) {
  var t = this.peek(k);
  return t && t.t == "kw" && t.v == w;
};
Parser.prototype.isOp = function (o, k) {
  var t = this.peek(k);
  return t && t.t == "op" && t.v == o;
};
Parser.prototype.error = function (what) {
  var t = this.peek();
  var at = t ? ("near '" + (t.t == "str" ? "'" + t.v + "'" : t.v) + "'") : "at the end";
  fail(ADO.SYNTAX, "Syntax error (" + what + ") " + at + " in the SQL statement: " + this.sql);
};
Parser.prototype.kw = function (w) {
  if (!this.isKw(w)) this.error("expected " + w.toUpperCase());
  this.i++;
};
Parser.prototype.op = function (o) {
  if (!this.isOp(o)) this.error("expected '" + o + "'");
  this.i++;
};
Parser.prototype.ident = function () {
  var t = this.peek();
  if (!t || t.t != "id") this.error("expected a name");
  this.i++;
  return t.v;
};
Parser.prototype.end = function () {
  if (this.i < this.toks.length) {
    fail(ADO.SYNTAX, "Characters found after end of SQL statement: " + this.sql);
  }
};

Parser.prototype.statement = function () {
  var st;
  if (this.isKw("select")) st = this.select();
  else if (this.isKw("delete")) st = this.del();
  else this.error("expected SELECT or DELETE");
  this.end();
  return st;
};

Parser.prototype.select = function () {
  var st = { kind: "select", cols: [], where: null, order: [] };
  this.kw("select");
  for (;;) {
    if (this.isOp("*")) { this.i++; st.cols.push({ star: true }); }
    else if (this.peek() && this.peek().t == "id" && this.isOp(".", 1) && this.isOp("*", 2)) {
      st.cols.push({ star: true, qual: this.ident() }); this.i += 2;
    } else {
      var ref = this.colref();
      var alias = null;
      if (this.isKw("as")) { this.i++; alias = this.ident(); }
      st.cols.push({ ref: ref, alias: alias });
    }
    if (!this.isOp(",")) break;
    this.i++;
  }
  this.kw("from");
  st.from = this.joinExpr();
  if (this.isKw("where")) { this.i++; st.where = this.expr(); }
  if (this.isKw("order")) {
    this.i++; this.kw("by");
    for (;;) {
      var item = { ref: this.colref(), desc: false };
      if (this.isKw("asc")) this.i++;
      else if (this.isKw("desc")) { this.i++; item.desc = true; }
      st.order.push(item);
      if (!this.isOp(",")) break;
      this.i++;
    }
  }
  return st;
};

Parser.prototype.colref = function () {
  var a = this.ident();
  if (this.isOp(".")) { this.i++; return { qual: a, name: this.ident() }; }
  return { qual: null, name: a };
};

// FROM: a table, or joins of tables, with the parentheses JET wants.
Parser.prototype.joinExpr = function () {
  var left = this.fromPrimary();
  for (;;) {
    var type = null;
    if (this.isKw("inner")) { this.i++; type = "inner"; }
    else if (this.isKw("left")) { this.i++; if (this.isKw("outer")) this.i++; type = "left"; }
    else if (this.isKw("join")) type = "inner";
    if (!type) break;
    this.kw("join");
    var right = this.fromPrimary();
    this.kw("on");
    var cond = this.expr();
    left = { join: type, left: left, right: right, on: cond };
  }
  return left;
};
Parser.prototype.fromPrimary = function () {
  if (this.isOp("(")) {
    this.i++;
    var inner = this.joinExpr();
    this.op(")");
    return inner;
  }
  var name = this.ident();
  var alias = null;
  if (this.isKw("as")) { this.i++; alias = this.ident(); }
  else if (this.peek() && this.peek().t == "id") alias = this.ident();
  return { table: name, alias: alias };
};

Parser.prototype.expr = function () {
  var e = this.andExpr();
  while (this.isKw("or")) { this.i++; e = { op: "or", a: e, b: this.andExpr() }; }
  return e;
};
Parser.prototype.andExpr = function () {
  var e = this.notExpr();
  while (this.isKw("and")) { this.i++; e = { op: "and", a: e, b: this.notExpr() }; }
  return e;
};
Parser.prototype.notExpr = function () {
  if (this.isKw("not")) { this.i++; return { op: "not", a: this.notExpr() }; }
  return this.comparison();
};
Parser.prototype.comparison = function () {
  var a = this.operand();
  var t = this.peek();
  if (t && t.t == "op" && (t.v == "=" || t.v == "<>" || t.v == "!=" || t.v == "<" ||
      t.v == ">" || t.v == "<=" || t.v == ">=")) {
    this.i++;
    return { op: "cmp", cmp: t.v == "!=" ? "<>" : t.v, a: a, b: this.operand() };
  }
  if (a.paren) return a.paren;
  this.error("expected a comparison");
};
Parser.prototype.operand = function () {
  var t = this.peek();
  if (!t) this.error("expected a value");
  if (t.t == "num") { this.i++; return { lit: t.v }; }
  if (t.t == "str") { this.i++; return { lit: t.v }; }
  if (t.t == "kw" && t.v == "null") { this.i++; return { lit: null }; }
  if (t.t == "kw" && (t.v == "true" || t.v == "false")) { this.i++; return { lit: t.v == "true" }; }
  if (t.t == "op" && t.v == "-" && this.peek(1) && this.peek(1).t == "num") {
    this.i += 2; return { lit: -this.peek(-1).v };
  }
  if (t.t == "op" && t.v == "(") {
    this.i++;
    var e = this.expr();
    this.op(")");
    return { paren: e };
  }
  if (t.t == "id") return { col: this.colref() };
  this.error("expected a value");
};

Parser.prototype.del = function () {
  this.kw("delete");
  if (this.isOp("*")) this.i++;
  this.kw("from");
  var st = { kind: "delete", table: this.ident(), where: null };
  if (this.isKw("where")) { this.i++; st.where = this.expr(); }
  return st;
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
function MockDb(fixture) {
  this.tables = {};
  this.statements = [];
  this.changes = [];
  this.raised = [];
  this.handles = {};
  this.nextHandle = 1;
  this.ops = 0;
  this.opLimit = 10000;
  this.clearError();
  var i, j;
  for (i = 0; i < fixture.tables.length; i++) {
    var src = fixture.tables[i];
    var t = { name: src.name, columns: [], rows: [], nextAuto: 1 };
    for (j = 0; j < src.columns.length; j++) {
      var c = src.columns[j];
      t.columns.push({
        name: c.name, type: c.type, size: c.size || 0, nullable: c.nullable !== false,
        autoinc: !!c.autoinc, pk: !!c.pk,
        dflt: c["default"] === undefined ? null : c["default"]
      });
    }
    for (j = 0; j < src.rows.length; j++) {
      var vals = [], k;
      for (k = 0; k < t.columns.length; k++) {
        var v = src.rows[j][k];
        if (v === undefined) v = null;
        if (v !== null && DATE_TYPES[t.columns[k].type]) v = parseDate(v) || v;
        if (t.columns[k].autoinc && typeof v == "number" && v >= t.nextAuto) t.nextAuto = v + 1;
        vals.push(v);
      }
      t.rows.push({ vals: vals, deleted: false });
    }
    this.tables[lower(src.name)] = t;
  }
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

MockDb.prototype.table = function (name) {
  var t = this.tables[lower(name)];
  if (!t) fail(ADO.NO_TABLE, "Invalid object name '" + name + "' (no such table in the fixture).");
  return t;
};

// Connection.Open: only logged; any connection string opens the fixture.
MockDb.prototype.Connect = function (connectionString) {
  return this.guard("ADODB.Connection", function () {
    this.log("connect", connectionString);
    return true;
  });
};

// The date a text names, as "YYYY-MM-DD HH:MM:SS", or null.
MockDb.prototype.ParseDateText = function (text) {
  return parseDate(String(text));
};

// ---- query evaluation

// Flattens a FROM tree into a list of sources, and evaluates the joins into
// a list of bindings: one row (or null, for an unmatched outer join) per source.
MockDb.prototype.evalFrom = function (node, sources) {
  if (node.table !== undefined) {
    var t = this.table(node.table);
    var idx = sources.length;
    sources.push({ table: t, name: lower(node.table), alias: node.alias ? lower(node.alias) : null });
    var out = [], i;
    for (i = 0; i < t.rows.length; i++) {
      if (t.rows[i].deleted) continue;
      var b = []; b[idx] = t.rows[i]; out.push(b);
    }
    return out;
  }
  var left = this.evalFrom(node.left, sources);
  var firstRight = sources.length;
  var right = this.evalFrom(node.right, sources);
  var lastRight = sources.length;
  var result = [], i2, j, k;
  for (i2 = 0; i2 < left.length; i2++) {
    var any = false;
    for (j = 0; j < right.length; j++) {
      var comb = left[i2].slice(0);
      for (k = firstRight; k < lastRight; k++) comb[k] = right[j][k];
      if (this.truth(this.evalExpr(node.on, comb, sources)) === true) {
        result.push(comb); any = true;
      }
    }
    if (!any && node.join == "left") {
      var lb = left[i2].slice(0);
      for (k = firstRight; k < lastRight; k++) lb[k] = null;
      result.push(lb);
    }
  }
  return result;
};

MockDb.prototype.resolve = function (ref, sources) {
  var found = null, i, j;
  for (i = 0; i < sources.length; i++) {
    var s = sources[i];
    if (ref.qual !== null && lower(ref.qual) != s.name && lower(ref.qual) != s.alias) continue;
    for (j = 0; j < s.table.columns.length; j++) {
      if (lower(s.table.columns[j].name) == lower(ref.name)) {
        if (found) fail(ADO.SYNTAX, "Ambiguous column name '" + ref.name + "'.");
        found = { src: i, col: j, column: s.table.columns[j] };
      }
    }
  }
  if (!found) {
    fail(ADO.NO_VALUE, "Invalid column name '" + (ref.qual ? ref.qual + "." : "") + ref.name +
         "' (no such column; No value given for one or more required parameters).");
  }
  return found;
};

// Three-valued logic: true, false or null (unknown).
MockDb.prototype.truth = function (v) { return v; };

MockDb.prototype.operandValue = function (o, binding, sources) {
  if (o.col) {
    var r = this.resolve(o.col, sources);
    var row = binding[r.src];
    return { v: row ? row.vals[r.col] : null, cls: typeClass(r.column.type), name: r.column.name };
  }
  if (o.paren) return { v: this.evalExpr(o.paren, binding, sources), cls: "bool" };
  return { v: o.lit, cls: null };
};

MockDb.prototype.pairValues = function (a, b) {
  // Brings a literal to the class of the column on the other side.
  if (a.cls && !b.cls) b = { v: coerce(b.v, a.cls, a.name + " compared with " + b.v), cls: a.cls };
  else if (b.cls && !a.cls) a = { v: coerce(a.v, b.cls, b.name + " compared with " + a.v), cls: b.cls };
  else if (a.cls && b.cls && a.cls != b.cls && a.cls != "other" && b.cls != "other") {
    fail(ADO.MISMATCH, "Data type mismatch in criteria expression (" + a.name + " and " + b.name + ").");
  }
  return [a.v, b.v];
};

MockDb.prototype.evalExpr = function (e, binding, sources) {
  var a, b, p, i;
  switch (e.op) {
    case "or":
      a = this.evalExpr(e.a, binding, sources); b = this.evalExpr(e.b, binding, sources);
      if (a === true || b === true) return true;
      if (a === null || b === null) return null;
      return false;
    case "and":
      a = this.evalExpr(e.a, binding, sources); b = this.evalExpr(e.b, binding, sources);
      if (a === false || b === false) return false;
      if (a === null || b === null) return null;
      return true;
    case "not":
      a = this.evalExpr(e.a, binding, sources);
      return a === null ? null : !a;
    case "cmp":
      p = this.pairValues(this.operandValue(e.a, binding, sources), this.operandValue(e.b, binding, sources));
      if (p[0] === null || p[1] === null) return null;
      var c = compareValues(p[0], p[1]);
      switch (e.cmp) {
        case "=": return c == 0;
        case "<>": return c != 0;
        case "<": return c < 0;
        case ">": return c > 0;
        case "<=": return c <= 0;
        case ">=": return c >= 0;
      }
      return null;
  }
  fail(ADO.SYNTAX, "Unsupported expression in the SQL statement.");
};

// Builds a result set: columns (with their source for updates) and rows.
MockDb.prototype.runSelect = function (st) {
  var sources = [];
  var bindings = this.evalFrom(st.from, sources);
  var i, j, k;
  if (st.where) {
    var kept = [];
    for (i = 0; i < bindings.length; i++) {
      if (this.evalExpr(st.where, bindings[i], sources) === true) kept.push(bindings[i]);
    }
    bindings = kept;
  }
  var cols = [];
  for (i = 0; i < st.cols.length; i++) {
    var c = st.cols[i];
    if (c.star) {
      for (j = 0; j < sources.length; j++) {
        var s = sources[j];
        if (c.qual && lower(c.qual) != s.name && lower(c.qual) != s.alias) continue;
        for (k = 0; k < s.table.columns.length; k++) {
          cols.push({ name: s.table.columns[k].name, src: j, col: k, column: s.table.columns[k] });
        }
      }
    } else {
      var r = this.resolve(c.ref, sources);
      cols.push({ name: c.alias || r.column.name, src: r.src, col: r.col, column: r.column });
    }
  }
  if (st.order.length) {
    var keys = [];
    for (i = 0; i < st.order.length; i++) {
      var o = st.order[i];
      var byAlias = null;
      if (o.ref.qual === null) {
        for (j = 0; j < cols.length; j++) if (lower(cols[j].name) == lower(o.ref.name)) { byAlias = cols[j]; break; }
      }
      var rr = byAlias || this.resolve(o.ref, sources);
      keys.push({ src: rr.src, col: rr.col, desc: o.desc });
    }
    var indexed = [];
    for (i = 0; i < bindings.length; i++) indexed.push({ b: bindings[i], n: i });
    indexed.sort(function (x, y) {
      for (var q = 0; q < keys.length; q++) {
        var rx = x.b[keys[q].src], ry = y.b[keys[q].src];
        var vx = rx ? rx.vals[keys[q].col] : null, vy = ry ? ry.vals[keys[q].col] : null;
        var cmp;
        if (vx === null && vy === null) cmp = 0;
        else if (vx === null) cmp = -1;       // NULLs sort first
        else if (vy === null) cmp = 1;
        else cmp = compareValues(vx, vy);
        if (cmp != 0) return keys[q].desc ? -cmp : cmp;
      }
      return x.n - y.n;
    });
    bindings = [];
    for (i = 0; i < indexed.length; i++) bindings.push(indexed[i].b);
  }
  var rows = [];
  for (i = 0; i < bindings.length; i++) rows.push({ binding: bindings[i] });
  return { cols: cols, rows: rows, sources: sources, updatable: sources.length == 1 };
};

// DELETE: the only statement the pages run through Connection.Execute.
MockDb.prototype.runDelete = function (st) {
  var t = this.table(st.table), n = 0, i;
  var sources = [{ table: t, name: lower(st.table), alias: null }];
  for (i = 0; i < t.rows.length; i++) {
    var row = t.rows[i];
    if (row.deleted) continue;
    if (st.where && this.evalExpr(st.where, [row], sources) !== true) continue;
    row.deleted = true;
    this.changes.push({ op: "delete", table: t.name, row: row.vals.slice(0) });
    n++;
  }
  return n;
};

MockDb.prototype.checkRow = function (t, vals, exceptRow) {
  var i, j;
  for (i = 0; i < t.columns.length; i++) {
    if (vals[i] === null && !t.columns[i].nullable && !t.columns[i].autoinc) {
      fail(ADO.INTEGRITY, "Cannot insert the value NULL into column '" + t.columns[i].name +
           "', table '" + t.name + "'; column does not allow nulls.");
    }
  }
  var pk = [];
  for (i = 0; i < t.columns.length; i++) if (t.columns[i].pk) pk.push(i);
  if (!pk.length) return;
  for (j = 0; j < t.rows.length; j++) {
    var r = t.rows[j];
    if (r.deleted || r === exceptRow) continue;
    var same = true;
    for (i = 0; i < pk.length; i++) {
      if (r.vals[pk[i]] === null || compareValues(r.vals[pk[i]], vals[pk[i]]) != 0) { same = false; break; }
    }
    if (same) fail(ADO.INTEGRITY, "Violation of PRIMARY KEY constraint: duplicate key in table '" + t.name + "'.");
  }
};

MockDb.prototype.insertRow = function (t, vals) {
  var i;
  for (i = 0; i < t.columns.length; i++) {
    if (t.columns[i].autoinc && (vals[i] === null || vals[i] === undefined)) vals[i] = t.nextAuto++;
    else if (vals[i] === undefined) vals[i] = t.columns[i].dflt;
  }
  this.checkRow(t, vals, null);
  var row = { vals: vals, deleted: false };
  t.rows.push(row);
  this.changes.push({ op: "insert", table: t.name, row: vals.slice(0) });
  return row;
};

// ---- recordsets

function isTableName(source) {
  return /^\s*(\[[^\]]+\]|[A-Za-z_][A-Za-z0-9_$@]*)\s*$/.test(source);
}

MockDb.prototype.newHandle = function (result, cursorType, lockType, source) {
  var h = this.nextHandle++;
  this.handles[h] = {
    cols: result.cols, rows: result.rows, sources: result.sources, updatable: result.updatable,
    pos: 0, cursorType: cursorType, lockType: lockType, pageSize: 10,
    editMode: 0, buffer: null, savedPos: 0, open: true, source: source
  };
  return h;
};

// Recordset.Open: source is a SELECT statement or a table name.
MockDb.prototype.Open = function (source, cursorType, lockType) {
  return this.guard("ADODB.Recordset", function () {
    this.log("open", source);
    var result;
    if (isTableName(source)) {
      var name = String(source).replace(/^\s*\[?|\]?\s*$/g, "");
      result = this.runSelect({ kind: "select", cols: [{ star: true }], from: { table: name, alias: null }, where: null, order: [] });
    } else {
      var st = new Parser(String(source)).statement();
      if (st.kind != "select") fail(ADO.SYNTAX, "A recordset can only be opened on a SELECT statement or a table (got: " + source + ").");
      result = this.runSelect(st);
    }
    return this.newHandle(result, cursorType, lockType, source);
  });
};

// Connection.Execute: a SELECT gives a forward-only, read-only recordset
// handle; a DELETE gives 0.
MockDb.prototype.Execute = function (sql) {
  return this.guard("ADODB.Connection", function () {
    this.log("execute", sql);
    var st = new Parser(String(sql)).statement();
    if (st.kind == "select") return this.newHandle(this.runSelect(st), 0, 1, sql);
    this.runDelete(st);
    return 0;
  });
};

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
    if (rsEOF(r)) fail(ADO.NO_CURRENT, "Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a current record.");
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
    if (rsEmpty(r)) fail(ADO.NO_CURRENT, "Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a current record.");
    var pages = Math.ceil(r.rows.length / r.pageSize);
    if (!(n >= 1 && n <= pages) || Math.floor(n) != n) {
      fail(ADO.BAD_ARGUMENT, "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one another (AbsolutePage " + n + " of " + pages + ").");
    }
    r.pos = (n - 1) * r.pageSize;
    return true;
  });
};

// Recordset.Find: one criterion "column op value", as ADO allows, searched
// forward from the current record.
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
    var column = r.cols[col].column;
    var cls = typeClass(column.type);
    try { value = coerce(value, cls, name); } catch (e) { fail(ADO.BAD_ARGUMENT, bad); }
    if (rsBOF(r) || rsEOF(r)) {
      fail(ADO.NO_CURRENT, "Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a current record.");
    }
    for (var i = r.pos; i < r.rows.length; i++) {
      var v = this.rowValue(r, r.rows[i], col);
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
MockDb.prototype.FieldType = function (h, i) { return this.guard("ADODB.Field", function () { return this.rs(h).cols[i].column.type; }); };
MockDb.prototype.FieldSize = function (h, i) { return this.guard("ADODB.Field", function () { return this.rs(h).cols[i].column.size; }); };
MockDb.prototype.rowValue = function (r, row, col) {
  var b = row.binding[r.cols[col].src];
  return b ? b.vals[r.cols[col].col] : null;
};

MockDb.prototype.GetValue = function (h, i) {
  return this.guard("ADODB.Field", function () {
    var r = this.rs(h);
    if (r.editMode == 2) return r.buffer.hasOwnProperty(i) ? r.buffer[i] : null;
    if (rsBOF(r) || rsEOF(r)) {
      fail(ADO.NO_CURRENT, "Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a current record.");
    }
    if (r.editMode == 1 && r.buffer.hasOwnProperty(i)) return r.buffer[i];
    return this.rowValue(r, r.rows[r.pos], i);
  });
};

MockDb.prototype.checkUpdatable = function (r) {
  if (r.lockType == 1 || !r.lockType) {
    fail(ADO.NOT_SUPPORTED, "Current Recordset does not support updating. This may be a limitation of the provider, or of the selected locktype.");
  }
  if (!r.updatable) {
    fail(ADO.NOT_SUPPORTED, "The harness cannot update a recordset that joins tables (" + r.source + ").");
  }
};

// The value arrives already converted to the column's class by the VBScript
// side (with the engine's own conversions, as ADO would do them).
MockDb.prototype.SetValue = function (h, i, v) {
  return this.guard("ADODB.Field", function () {
    var r = this.rs(h);
    this.checkUpdatable(r);
    if (r.cols[i].column.autoinc) {
      fail(ADO.MULTI_STEP, "Multiple-step OLE DB operation generated errors. Check each OLE DB status value, if available. No work was done. (field '" + r.cols[i].name + "' is filled by the database)");
    }
    if (r.editMode == 0) {
      if (rsBOF(r) || rsEOF(r)) {
        fail(ADO.NO_CURRENT, "Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a current record.");
      }
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

MockDb.prototype.doUpdate = function (r) {
  var t = r.sources[0].table, i;
  if (r.editMode == 2) {
    var vals = [];
    for (i = 0; i < t.columns.length; i++) vals.push(undefined);
    for (i = 0; i < r.cols.length; i++) if (r.buffer.hasOwnProperty(i)) vals[r.cols[i].col] = r.buffer[i];
    var row = this.insertRow(t, vals);
    var b = []; b[0] = row;
    r.rows.push({ binding: b });
    r.pos = r.rows.length - 1;
  } else if (r.editMode == 1) {
    var target = r.rows[r.pos].binding[0];
    var merged = target.vals.slice(0);
    for (i = 0; i < r.cols.length; i++) if (r.buffer.hasOwnProperty(i)) merged[r.cols[i].col] = r.buffer[i];
    this.checkRow(t, merged, target);
    var before = target.vals;
    target.vals = merged;
    this.changes.push({ op: "update", table: t.name, before: before.slice(0), row: merged.slice(0) });
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
    else if (rsEOF(r) || rsBOF(r))
      fail(ADO.NO_CURRENT, "Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a current record.");
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

// ---- results for the test side

MockDb.prototype.dumpTables = function () {
  var out = {}, k, i, j;
  for (k in this.tables) {
    var t = this.tables[k], rows = [], cols = [];
    for (j = 0; j < t.columns.length; j++) cols.push(t.columns[j].name);
    for (i = 0; i < t.rows.length; i++) if (!t.rows[i].deleted) rows.push(t.rows[i].vals);
    out[t.name] = { columns: cols, rows: rows };
  }
  return out;
};
