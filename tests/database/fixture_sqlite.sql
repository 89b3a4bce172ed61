-- SQLite only: one column per row of the declared-type table, the rowid as
-- key, a system table, a table without rowid and a key whose order differs
-- from the column order. Loaded after fixture.sql.

CREATE TABLE type_rows (
  c_integer INTEGER, c_int INT, c_mediumint MEDIUMINT,
  c_smallint SMALLINT, c_tinyint TINYINT, c_bigint BIGINT,
  c_boolean BOOLEAN, c_bool BOOL, c_bit BIT,
  c_real REAL, c_double DOUBLE, c_double_precision double   precision, c_float FLOAT,
  c_numeric NUMERIC(12,3), c_decimal DECIMAL(7), c_numeric_bare NUMERIC,
  c_money MONEY, c_currency CURRENCY,
  c_date DATE, c_time TIME, c_datetime DATETIME, c_timestamp TIMESTAMP,
  c_char CHAR(10), c_nchar NCHAR(5), c_character CHARACTER(3),
  c_varchar VARCHAR(50), c_nvarchar NVARCHAR(255), c_varying VARYING CHARACTER(20),
  c_text TEXT, c_clob CLOB, c_memo MEMO, c_ntext NTEXT,
  c_varchar_bare VARCHAR, c_nvarchar_bare NVARCHAR,
  c_blob BLOB, c_binary BINARY(16), c_varbinary VARBINARY,
  c_untyped, c_other GEOMETRY
);

-- AUTOINCREMENT makes SQLite keep sqlite_sequence, a system table.
CREATE TABLE counters (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  label VARCHAR(20) NOT NULL
);
INSERT INTO counters (label) VALUES ('first');

CREATE TABLE codes (
  code VARCHAR(8) NOT NULL PRIMARY KEY,
  meaning VARCHAR(60)
) WITHOUT ROWID;

CREATE TABLE wide_key (
  a INTEGER NOT NULL,
  b INTEGER NOT NULL,
  note TEXT,
  PRIMARY KEY (b, a)
);

-- A view whose query cannot run once its table is gone.
CREATE TABLE doomed (x INTEGER);
CREATE VIEW broken_view AS SELECT x FROM doomed;
DROP TABLE doomed;
