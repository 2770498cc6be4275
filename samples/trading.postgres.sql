-- The trading sample of trading.sql for PostgreSQL: the same tables, rows
-- and view, so tests over ODBC expect what they expect of the SQLite file.
-- Table names are quoted to keep their case; column names are lower case.

CREATE TABLE "Desks" (
  code        text PRIMARY KEY NOT NULL,
  name        text NOT NULL,
  city        text,
  budget      double precision
);

CREATE TABLE "Instruments" (
  symbol      text PRIMARY KEY NOT NULL,
  name        text NOT NULL UNIQUE,
  currency    text NOT NULL DEFAULT 'EUR',
  tick_size   double precision NOT NULL,
  listed_on   text
);

CREATE TABLE "Traders" (
  id          integer PRIMARY KEY,
  name        text NOT NULL,
  email       text NOT NULL UNIQUE,
  desk_code   text REFERENCES "Desks"(code),
  hired_on    text NOT NULL,
  rating      double precision,
  badge       bytea
);

CREATE TABLE "Orders" (
  id          integer PRIMARY KEY,
  trader_id   integer NOT NULL REFERENCES "Traders"(id),
  placed_at   text NOT NULL,
  status      text NOT NULL CHECK (status IN ('open', 'filled', 'cancelled')),
  comment     text
);

CREATE TABLE "Order Details" (
  order_id    integer NOT NULL REFERENCES "Orders"(id) ON DELETE CASCADE,
  line_no     integer NOT NULL,
  symbol      text NOT NULL REFERENCES "Instruments"(symbol),
  quantity    integer NOT NULL CHECK (quantity > 0),
  limit_price double precision,
  PRIMARY KEY (order_id, line_no)
);

CREATE TABLE "Trades" (
  id          integer PRIMARY KEY,
  instrument  text NOT NULL REFERENCES "Instruments"(symbol),
  side        text NOT NULL,
  quantity    integer NOT NULL,
  price       double precision NOT NULL,
  traded_at   text NOT NULL,
  note        text
);

CREATE TABLE "Notes" (
  id          integer PRIMARY KEY,
  title       text NOT NULL,
  body        text
);

INSERT INTO "Desks" (code, name, city, budget) VALUES
  ('EQ',  'Equities',      'Zürich',    2500000.5),
  ('FX',  'Foreign Exchange', 'Tōkyō 東京', 1750000.25),
  ('CMD', 'Commodities',   NULL,        NULL);

INSERT INTO "Instruments" (symbol, name, currency, tick_size, listed_on) VALUES
  ('ALPN', 'Alpenglühen Energie AG',   'CHF', 0.05,  '2003-06-12'),
  ('BRKW', 'Brückenwerk Stahl',        'EUR', 0.01,  '1998-11-02'),
  ('CRVL', 'Crèvecœur Logistique',     'EUR', 0.01,  '2011-03-28'),
  ('FJRD', 'Fjordlys Shipping ASA',    'NOK', 0.1,   '2015-09-01'),
  ('KAZE', '風見電機 Kazami Denki',      'JPY', 1.0,   '1987-04-20'),
  ('LUMA', 'Luma Optics Ltd',          'GBP', 0.25,  NULL),
  ('SOLV', 'Solvero Chemicals',        'USD', 0.01,  '2019-01-15'),
  ('WEIZ', 'Weißfeld Agrar GmbH',      'EUR', 0.005, '2008-07-07');

INSERT INTO "Traders" (id, name, email, desk_code, hired_on, rating, badge) VALUES
  (1, 'Amélie Durand',   'amelie.durand@example.test',  'EQ',  '2016-02-01', 4.5,  '\x52415645005a4f56'::bytea),
  (2, 'Jürgen Weiß',     'juergen.weiss@example.test',  'EQ',  '2012-09-17', 3.75, '\x00ff10ee'::bytea),
  (3, '佐藤 花子',        'hanako.sato@example.test',    'FX',  '2019-04-01', NULL, NULL),
  (4, 'Søren Ødegård',   'soren.odegard@example.test',  'CMD', '2020-11-30', 4.0,  '\x'::bytea),
  (5, 'Ines Peña',       'ines.pena@example.test',      NULL,  '2023-07-10', 2.25, '\xdeadbeefcafebabe0102030405060708'::bytea),
  (6, 'Tom O''Neill',    'tom.oneill@example.test',     'FX',  '2021-01-04', NULL, '\x7f'::bytea);

INSERT INTO "Orders" (id, trader_id, placed_at, status, comment) VALUES
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

-- 12,000 trades from arithmetic on the row number, as in trading.sql.
INSERT INTO "Trades" (id, instrument, side, quantity, price, traded_at, note)
SELECT
  n,
  CASE n % 8
    WHEN 0 THEN 'ALPN' WHEN 1 THEN 'BRKW' WHEN 2 THEN 'CRVL' WHEN 3 THEN 'FJRD'
    WHEN 4 THEN 'KAZE' WHEN 5 THEN 'LUMA' WHEN 6 THEN 'SOLV' ELSE 'WEIZ'
  END,
  CASE WHEN n % 3 = 0 THEN 'SELL' ELSE 'BUY' END,
  (n * 37) % 500 + 1,
  round(10 + ((n * 7919) % 20000) / 100.0, 2)::double precision,
  to_char(timestamp '2024-01-02 09:00:00' + (n / 40) * interval '1 day'
          + ((n % 40) * 11) * interval '1 minute', 'YYYY-MM-DD HH24:MI:SS'),
  CASE WHEN n % 7 = 0 THEN NULL ELSE 'batch ' || (n / 100) END
FROM generate_series(1, 12000) AS seq(n);

CREATE INDEX idx_trades_instrument_time ON "Trades" (instrument, traded_at);

INSERT INTO "Notes" (id, title, body) VALUES
  (1, 'Short', 'Desk meeting moved to Thursday.'),
  (2, 'Long ASCII', substr(repeat('Settlement delayed by T+1. ', 12), 1, 300)),
  (3, 'Two-byte at 255', repeat('a', 254) || 'é' || 'tail'),
  (4, 'Three-byte at 255', repeat('a', 253) || '日本'),
  (5, 'Mixed scripts', 'Müller, Straße, Café, 日本, Ελληνικά'),
  (6, 'No body', NULL),
  (7, 'Empty body', '');

CREATE VIEW "Trader Volume" AS
SELECT t.id                           AS trader_id,
       t.name                         AS trader,
       count(DISTINCT o.id)           AS orders,
       sum(d.quantity * d.limit_price) AS ordered_value
FROM "Traders" t
LEFT JOIN "Orders" o ON o.trader_id = t.id
LEFT JOIN "Order Details" d ON d.order_id = o.id
GROUP BY t.id, t.name;
