-- Ravezov sample trading desk: invented data for the provider and UI tests.
-- Everything here is deterministic so tests may rely on exact values.
--
-- Tables and row counts:
--   Desks            3  text primary key, REAL budgets, one NULL budget
--   Instruments      8  text primary key (symbol), name NOT NULL UNIQUE
--   Traders          6  INTEGER PRIMARY KEY, email NOT NULL UNIQUE, BLOB badge
--   Orders           8  INTEGER PRIMARY KEY, foreign keys to Traders
--   "Order Details" 14  composite primary key (order_id, line_no)
--   Trades       12000  generated below; note is NULL when id % 7 = 0
--   Notes            7  text edge cases, see the ids below
-- View: "Trader Volume" (per trader: order count and ordered value).
-- Index: idx_trades_instrument_time on Trades(instrument, traded_at).
--
-- Notes ids:
--   1  short ASCII text
--   2  ASCII body of exactly 300 characters
--   3  254 'a' then 'é' (bytes 254-255, zero-based) then 'tail': a two-byte
--      character straddling a 255-byte limit; 259 characters, 260 bytes
--   4  253 'a' then '日本' ('日' is bytes 253-255): a three-byte character at
--      the same limit; 255 characters, 259 bytes
--   5  mixed scripts: 'Müller, Straße, Café, 日本, Ελληνικά'
--   6  NULL body
--   7  empty-string body

PRAGMA user_version = 1;

CREATE TABLE Desks (
  code        TEXT PRIMARY KEY NOT NULL,
  name        TEXT NOT NULL,
  city        TEXT,
  budget      REAL
);

CREATE TABLE Instruments (
  symbol      TEXT PRIMARY KEY NOT NULL,
  name        TEXT NOT NULL UNIQUE,
  currency    TEXT NOT NULL DEFAULT 'EUR',
  tick_size   REAL NOT NULL,
  listed_on   TEXT
);

CREATE TABLE Traders (
  id          INTEGER PRIMARY KEY,
  name        TEXT NOT NULL,
  email       TEXT NOT NULL UNIQUE,
  desk_code   TEXT REFERENCES Desks(code),
  hired_on    TEXT NOT NULL,
  rating      REAL,
  badge       BLOB
);

CREATE TABLE Orders (
  id          INTEGER PRIMARY KEY,
  trader_id   INTEGER NOT NULL REFERENCES Traders(id),
  placed_at   TEXT NOT NULL,
  status      TEXT NOT NULL CHECK (status IN ('open', 'filled', 'cancelled')),
  comment     TEXT
);

CREATE TABLE "Order Details" (
  order_id    INTEGER NOT NULL REFERENCES Orders(id) ON DELETE CASCADE,
  line_no     INTEGER NOT NULL,
  symbol      TEXT NOT NULL REFERENCES Instruments(symbol),
  quantity    INTEGER NOT NULL CHECK (quantity > 0),
  limit_price REAL,
  PRIMARY KEY (order_id, line_no)
);

CREATE TABLE Trades (
  id          INTEGER PRIMARY KEY,
  instrument  TEXT NOT NULL REFERENCES Instruments(symbol),
  side        TEXT NOT NULL,
  quantity    INTEGER NOT NULL,
  price       REAL NOT NULL,
  traded_at   TEXT NOT NULL,
  note        TEXT
);

CREATE TABLE Notes (
  id          INTEGER PRIMARY KEY,
  title       TEXT NOT NULL,
  body        TEXT
);

INSERT INTO Desks (code, name, city, budget) VALUES
  ('EQ',  'Equities',      'Zürich',    2500000.5),
  ('FX',  'Foreign Exchange', 'Tōkyō 東京', 1750000.25),
  ('CMD', 'Commodities',   NULL,        NULL);

INSERT INTO Instruments (symbol, name, currency, tick_size, listed_on) VALUES
  ('ALPN', 'Alpenglühen Energie AG',   'CHF', 0.05,  '2003-06-12'),
  ('BRKW', 'Brückenwerk Stahl',        'EUR', 0.01,  '1998-11-02'),
  ('CRVL', 'Crèvecœur Logistique',     'EUR', 0.01,  '2011-03-28'),
  ('FJRD', 'Fjordlys Shipping ASA',    'NOK', 0.1,   '2015-09-01'),
  ('KAZE', '風見電機 Kazami Denki',      'JPY', 1.0,   '1987-04-20'),
  ('LUMA', 'Luma Optics Ltd',          'GBP', 0.25,  NULL),
  ('SOLV', 'Solvero Chemicals',        'USD', 0.01,  '2019-01-15'),
  ('WEIZ', 'Weißfeld Agrar GmbH',      'EUR', 0.005, '2008-07-07');

INSERT INTO Traders (id, name, email, desk_code, hired_on, rating, badge) VALUES
  (1, 'Amélie Durand',   'amelie.durand@example.test',  'EQ',  '2016-02-01', 4.5,  X'52415645005A4F56'),
  (2, 'Jürgen Weiß',     'juergen.weiss@example.test',  'EQ',  '2012-09-17', 3.75, X'00FF10EE'),
  (3, '佐藤 花子',        'hanako.sato@example.test',    'FX',  '2019-04-01', NULL, NULL),
  (4, 'Søren Ødegård',   'soren.odegard@example.test',  'CMD', '2020-11-30', 4.0,  X''),
  (5, 'Ines Peña',       'ines.pena@example.test',      NULL,  '2023-07-10', 2.25, X'DEADBEEFCAFEBABE0102030405060708'),
  (6, 'Tom O''Neill',    'tom.oneill@example.test',     'FX',  '2021-01-04', NULL, X'7F');

INSERT INTO Orders (id, trader_id, placed_at, status, comment) VALUES
  (1, 1, '2024-03-04 09:15:00', 'filled',    'Rebalance'),
  (2, 1, '2024-03-05 14:02:31', 'open',      NULL),
  (3, 2, '2024-03-05 16:45:10', 'cancelled', 'Limit too far from market'),
  (4, 3, '2024-03-06 01:30:00', 'filled',    '東京セッション'),
  (5, 4, '2024-03-07 11:00:00', 'filled',    NULL),
  (6, 5, '2024-03-08 10:20:05', 'open',      'Kunde wünscht Teilausführung'),
  (7, 6, '2024-03-08 15:59:59', 'filled',    ''),
  (8, 2, '2024-03-11 08:00:00', 'open',      NULL);

INSERT INTO "Order Details" (order_id, line_no, symbol, quantity, limit_price) VALUES
  (1, 1, 'ALPN', 100,  41.35),
  (1, 2, 'BRKW', 250,  12.07),
  (1, 3, 'WEIZ', 40,   NULL),
  (2, 1, 'LUMA', 75,   8.25),
  (3, 1, 'SOLV', 1000, 3.14),
  (4, 1, 'KAZE', 500,  1520.0),
  (4, 2, 'KAZE', 200,  1518.0),
  (5, 1, 'FJRD', 60,   NULL),
  (5, 2, 'CRVL', 15,   97.5),
  (6, 1, 'WEIZ', 320,  22.125),
  (7, 1, 'SOLV', 5,    3.2),
  (7, 2, 'ALPN', 10,   41.4),
  (8, 1, 'BRKW', 1,    12.0),
  (8, 2, 'CRVL', 999,  96.75);

-- 12,000 trades from arithmetic on the row number: the instrument cycles
-- through the eight symbols, 40 trades a day at 11-minute steps from
-- 2024-01-02 09:00, and every seventh trade carries no note.
WITH RECURSIVE seq(n) AS (
  SELECT 1
  UNION ALL
  SELECT n + 1 FROM seq WHERE n < 12000
)
INSERT INTO Trades (id, instrument, side, quantity, price, traded_at, note)
SELECT
  n,
  CASE n % 8
    WHEN 0 THEN 'ALPN' WHEN 1 THEN 'BRKW' WHEN 2 THEN 'CRVL' WHEN 3 THEN 'FJRD'
    WHEN 4 THEN 'KAZE' WHEN 5 THEN 'LUMA' WHEN 6 THEN 'SOLV' ELSE 'WEIZ'
  END,
  CASE WHEN n % 3 = 0 THEN 'SELL' ELSE 'BUY' END,
  (n * 37) % 500 + 1,
  round(10 + ((n * 7919) % 20000) / 100.0, 2),
  datetime('2024-01-02 09:00:00', '+' || (n / 40) || ' days',
           '+' || ((n % 40) * 11) || ' minutes'),
  CASE WHEN n % 7 = 0 THEN NULL ELSE 'batch ' || (n / 100) END
FROM seq;

CREATE INDEX idx_trades_instrument_time ON Trades (instrument, traded_at);

INSERT INTO Notes (id, title, body) VALUES
  (1, 'Short', 'Desk meeting moved to Thursday.'),
  (2, 'Long ASCII',
   substr(replace(hex(zeroblob(30)), '00', 'Settlement delayed by T+1. '), 1, 300)),
  (3, 'Two-byte at 255',
   replace(hex(zeroblob(127)), '0', 'a') || 'é' || 'tail'),
  (4, 'Three-byte at 255',
   substr(replace(hex(zeroblob(127)), '0', 'a'), 1, 253) || '日本'),
  (5, 'Mixed scripts', 'Müller, Straße, Café, 日本, Ελληνικά'),
  (6, 'No body', NULL),
  (7, 'Empty body', '');

CREATE VIEW "Trader Volume" AS
SELECT t.id                           AS trader_id,
       t.name                         AS trader,
       count(DISTINCT o.id)           AS orders,
       sum(d.quantity * d.limit_price) AS ordered_value
FROM Traders t
LEFT JOIN Orders o ON o.trader_id = t.id
LEFT JOIN "Order Details" d ON d.order_id = o.id
GROUP BY t.id, t.name;
