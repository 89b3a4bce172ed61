-- Tables shaped as real applications ship them for SQLite (a monitoring
-- server, a webmail client, a wiki): keys the application assigns, keys
-- the database fills, a table that refers to itself, two keys into one
-- table, a lookup chain, MySQL-style declarations (UNSIGNED, longblob),
-- a hyphenated column and a table named with a reserved word. postgres.sql
-- holds the same shapes for PostgreSQL; real_schema_test.cpp generates
-- pages for every table and runs their statements.

-- Filled by the database (an alias of the rowid).
CREATE TABLE maintenances (
  maintenanceid INTEGER PRIMARY KEY AUTOINCREMENT,
  name varchar(128) NOT NULL,
  active_since integer NOT NULL DEFAULT '0'
);

-- Assigned by the application; refers to itself twice (a parent and a
-- template) and to maintenances, through a bigint column into its INTEGER
-- key.
CREATE TABLE hosts (
  hostid bigint unsigned NOT NULL PRIMARY KEY,
  host varchar(128) NOT NULL DEFAULT '',
  proxy_hostid bigint unsigned REFERENCES hosts (hostid),
  templateid bigint unsigned REFERENCES hosts (hostid),
  maintenanceid bigint REFERENCES maintenances (maintenanceid),
  status INTEGER UNSIGNED NOT NULL DEFAULT '0',
  lastaccess integer NOT NULL DEFAULT '0',
  description text NOT NULL DEFAULT ''
);

-- A lookup chain: items into hosts, which looks up hosts and maintenances.
CREATE TABLE items (
  itemid INTEGER PRIMARY KEY,
  hostid bigint unsigned NOT NULL REFERENCES hosts (hostid),
  name varchar(255) NOT NULL DEFAULT '',
  delay SMALLINT UNSIGNED NOT NULL DEFAULT '0',
  history BIGINT UNSIGNED NOT NULL DEFAULT '0',
  units varchar(255) NOT NULL DEFAULT ''
);

CREATE TABLE users (
  userid INTEGER PRIMARY KEY,
  username varchar(100) NOT NULL DEFAULT '',
  name varchar(100) NOT NULL DEFAULT ''
);

-- Two keys into users, both of which propose users.username.
CREATE TABLE alerts (
  alertid bigint NOT NULL PRIMARY KEY,
  userid integer REFERENCES users (userid),
  ack_userid integer REFERENCES users (userid),
  clock integer NOT NULL DEFAULT '0',
  message varchar(2048) NOT NULL DEFAULT ''
);

-- A key the application assigns as text.
CREATE TABLE session (
  sess_id varchar(128) NOT NULL PRIMARY KEY,
  changed datetime NOT NULL DEFAULT '1000-01-01 00:00:00',
  ip varchar(40) DEFAULT NULL,
  vars text NOT NULL
);

CREATE TABLE attachments (
  attachmentid INTEGER PRIMARY KEY AUTOINCREMENT,
  itemid integer REFERENCES items (itemid),
  filename varchar(255) NOT NULL DEFAULT '',
  size BIGINT UNSIGNED NOT NULL DEFAULT '0',
  data longblob
);

-- Names that must be quoted: a reserved word and a hyphen.
CREATE TABLE "user" (
  user_id INTEGER PRIMARY KEY,
  username varchar(128) NOT NULL DEFAULT '',
  language varchar(16)
);

CREATE TABLE identities (
  identity_id INTEGER PRIMARY KEY,
  user_id integer NOT NULL REFERENCES "user" (user_id),
  email varchar(128) NOT NULL,
  "reply-to" varchar(128) NOT NULL DEFAULT '',
  signature text
);

INSERT INTO maintenances (maintenanceid, name, active_since) VALUES (1, 'Weekly', 1700000000);
INSERT INTO hosts (hostid, host, status, lastaccess, description) VALUES (10001, 'proxy-1', 0, 1700000000, '');
INSERT INTO hosts (hostid, host, proxy_hostid, templateid, maintenanceid, status, lastaccess, description)
  VALUES (10002, 'web-1', 10001, 10001, 1, 0, 1700000100, 'Front end');
INSERT INTO items (itemid, hostid, name, delay, history, units) VALUES (1, 10002, 'CPU load', 60, 7776000, '');
INSERT INTO users (userid, username, name) VALUES (1, 'admin', 'Admin'), (2, 'guest', 'Guest');
INSERT INTO alerts (alertid, userid, ack_userid, clock, message) VALUES (1, 1, 2, 1700000200, 'Disk full');
INSERT INTO session (sess_id, changed, ip, vars) VALUES ('a1b2c3', '2024-01-02 03:04:05', '127.0.0.1', '');
INSERT INTO attachments (attachmentid, itemid, filename, size, data) VALUES (1, 1, 'graph.png', 3, X'010203');
INSERT INTO "user" (user_id, username, language) VALUES (1, 'ann', 'en_US');
INSERT INTO identities (identity_id, user_id, email, "reply-to") VALUES (1, 1, 'ann@example.org', 'ann@example.org');
