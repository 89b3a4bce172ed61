-- A schema that exercises every case of turning a table into field records.
-- Written in the SQL that SQLite and PostgreSQL share, so the same tables can
-- be read natively, through ODBC on SQLite and through ODBC on PostgreSQL.
-- Identifiers are lower case: PostgreSQL folds unquoted names to lower case,
-- and the wizard's own SQL does not quote them. Key columns are declared NOT
-- NULL: SQLite would otherwise report them nullable, PostgreSQL never does.

-- A text primary key that fills nothing itself.
CREATE TABLE regions (
  region_code CHAR(2) NOT NULL PRIMARY KEY,
  region_name VARCHAR(40) NOT NULL
);

-- The key is named differently from the columns that refer to it; SQLite
-- makes it the rowid (auto-increment). A unique e-mail address and a
-- foreign key to a text key.
CREATE TABLE customers (
  cust INTEGER NOT NULL PRIMARY KEY,
  company_name VARCHAR(40) NOT NULL,
  email VARCHAR(80) UNIQUE,
  region_code CHAR(2) REFERENCES regions (region_code),
  active BOOLEAN NOT NULL,
  credit_limit NUMERIC(10,2),
  notes TEXT
);

-- A one-to-one extension: the column is both unique and a foreign key.
CREATE TABLE customer_profiles (
  profile_id INTEGER NOT NULL PRIMARY KEY,
  cust INTEGER NOT NULL UNIQUE REFERENCES customers (cust),
  homepage VARCHAR(200)
);

-- A lookup table without any text column.
CREATE TABLE priorities (
  priority_id INTEGER NOT NULL PRIMARY KEY,
  weight INTEGER NOT NULL
);

-- The primary key is not the first integer column.
CREATE TABLE staff (
  badge_no INTEGER NOT NULL,
  staff_id INTEGER NOT NULL,
  last_name VARCHAR(30) NOT NULL,
  first_name VARCHAR(30),
  PRIMARY KEY (staff_id)
);

CREATE TABLE orders (
  order_id INTEGER NOT NULL PRIMARY KEY,
  customer_id INTEGER NOT NULL REFERENCES customers (cust),
  staff_id INTEGER REFERENCES staff (staff_id),
  priority_id INTEGER REFERENCES priorities (priority_id),
  order_date DATE NOT NULL,
  shipped_at TIMESTAMP,
  freight NUMERIC(8,2),
  ship_name VARCHAR(255),
  ship_note VARCHAR(256)
);

-- A compound primary key whose first column is also a foreign key.
CREATE TABLE order_lines (
  order_id INTEGER NOT NULL REFERENCES orders (order_id),
  line_no SMALLINT NOT NULL,
  product VARCHAR(60) NOT NULL,
  quantity INTEGER NOT NULL,
  unit_price NUMERIC(10,2) NOT NULL,
  PRIMARY KEY (order_id, line_no)
);

-- Columns covered only by a two-column foreign key get no lookup.
CREATE TABLE shipments (
  shipment_id INTEGER NOT NULL PRIMARY KEY,
  order_id INTEGER NOT NULL,
  line_no SMALLINT NOT NULL,
  shipped_on DATE,
  FOREIGN KEY (order_id, line_no) REFERENCES order_lines (order_id, line_no)
);

-- No key at all.
CREATE TABLE audit_log (
  logged_at TIMESTAMP NOT NULL,
  who VARCHAR(30),
  what TEXT
);

CREATE VIEW customer_orders AS
  SELECT o.order_id, c.company_name, o.order_date
  FROM orders o JOIN customers c ON c.cust = o.customer_id;

INSERT INTO regions VALUES ('NO', 'North'), ('SO', 'South');
INSERT INTO customers VALUES
  (1, 'Alder Trading', 'sales@alder.example', 'NO', TRUE, 5000.00, NULL),
  (2, 'Birch & Sons', NULL, 'SO', FALSE, NULL, 'pays late');
INSERT INTO priorities VALUES (1, 10), (2, 20);
INSERT INTO staff VALUES (100, 1, 'Moreau', 'Anne'), (101, 2, 'Okafor', NULL);
INSERT INTO orders VALUES
  (1, 1, 1, 1, '2024-03-01', '2024-03-02 10:30:00', 12.50, 'Alder Trading', NULL),
  (2, 2, 2, NULL, '2024-03-05', NULL, NULL, NULL, NULL);
INSERT INTO order_lines VALUES (1, 1, 'Lamp', 2, 19.90), (1, 2, 'Shade', 1, 7.00);
INSERT INTO shipments VALUES (1, 1, 1, '2024-03-02');
