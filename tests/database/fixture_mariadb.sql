-- MariaDB only, loaded after fixture.sql: one column per kind of type the
-- ODBC driver maps, and a self-filling key.

CREATE TABLE maria_types (
  id INT AUTO_INCREMENT PRIMARY KEY,
  tiny TINYINT,
  small SMALLINT,
  whole INT,
  huge BIGINT,
  single FLOAT,
  dbl DOUBLE,
  num DECIMAL(12,3),
  flag BOOLEAN NOT NULL,
  fixed CHAR(3),
  vary VARCHAR(20),
  long_text TEXT,
  bytes BLOB,
  day DATE,
  clock TIME,
  moment DATETIME
);
