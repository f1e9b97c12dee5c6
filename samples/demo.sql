-- The demo database: a small parts shop. Values cover every column kind the exporters handle,
-- NULLs, Cyrillic and Latin text, and texts holding quotes, backslashes, commas, semicolons, tabs
-- and line breaks, so that any export of it shows how the format copes.
PRAGMA encoding = 'UTF-8';

CREATE TABLE customers (
  id        INTEGER PRIMARY KEY,
  name      VARCHAR(40) NOT NULL,
  city      VARCHAR(30),
  phone     CHAR(16),
  vip       BOOLEAN,
  since     DATE,
  notes     MEMO
);

CREATE TABLE products (
  id        INTEGER PRIMARY KEY,
  code      CHAR(8) NOT NULL,
  title     VARCHAR(60) NOT NULL,
  weight    REAL,
  price     MONEY,
  stock     SMALLINT,
  active    BOOLEAN,
  added     DATETIME,
  description MEMO
);

CREATE TABLE orders (
  id          INTEGER PRIMARY KEY,
  customer_id INTEGER NOT NULL REFERENCES customers(id),
  ordered     DATETIME NOT NULL,
  ship_date   DATE,
  ship_time   TIME,
  total       NUMERIC(12,2),
  paid        BOOLEAN,
  comment     TEXT
);

CREATE TABLE order_items (
  order_id    INTEGER NOT NULL REFERENCES orders(id),
  line        SMALLINT NOT NULL,
  product_id  INTEGER NOT NULL REFERENCES products(id),
  quantity    INTEGER NOT NULL,
  unit_price  MONEY NOT NULL,
  discount    FLOAT,
  serial      BIGINT,
  PRIMARY KEY (order_id, line)
);

INSERT INTO customers VALUES
  (1, 'Acme Tools Ltd', 'London', '+44 20 7946 0018', 1, '2015-03-07', 'Pays on time; prefers e-mail.'),
  (2, 'ООО "Ромашка"', 'Москва', '+7 495 123-45-67', 0, '2018-11-30', 'Доставка только по будням.
Звонить заранее.'),
  (3, 'O''Neil & Sons', 'Dublin', NULL, 1, '2009-01-15', NULL),
  (4, 'Müller, Schmidt; Partner', 'Köln', '+49 221 555 0199', NULL, NULL, 'Tab	separated	note'),
  (5, 'Завод «Прогресс»', 'Екатеринбург', '+7 343 222-11-00', 1, '2021-06-01', 'Скидка 5%, договор №17'),
  (6, 'Blank Notes Inc', NULL, NULL, 0, '2023-12-31', '');

INSERT INTO products VALUES
  (1, 'BLT-M6', 'Bolt M6x20', 0.012, 0.15, 12000, 1, '2014-02-10 09:30:00', 'Zinc plated steel bolt, DIN 933.'),
  (2, 'NUT-M6', 'Гайка M6', 0.004, 0.05, 25000, 1, '2014-02-10 09:31:15', 'Гайка шестигранная, оцинкованная.'),
  (3, 'WSH-6', 'Washer "wide" 6 mm', 0.002, 0.02, 0, 0, '2016-07-04 16:45:00', 'Discontinued; see WSH-6B.'),
  (4, 'DRL-10', 'Drill, 10 mm; HSS', 0.05, 4.99, 320, 1, '2019-09-01 08:00:00', 'Cuts steel,
aluminium and wood.'),
  (5, 'GLV-L', 'Перчатки рабочие (L)', 0.08, 1.25, 1500, 1, '2020-03-15 12:00:00', NULL),
  (6, 'SAW-HND', 'Hand saw 500 mm', 0.45, 12.5, 45, NULL, '2021-11-11 11:11:11', 'Tab	and "quote"'),
  (7, 'TAP-1', 'Measuring tape 5 m', 0.21, 3.75, 210, 1, NULL, ''),
  (8, 'KIT-BIG', 'Toolkit 1,000 pieces', 12.3, 1234.56, 3, 1, '2022-05-20 18:30:45', 'The big one.');

INSERT INTO orders VALUES
  (1001, 1, '2024-01-15 10:05:00', '2024-01-17', '14:30:00', 1234.56, 1, 'Urgent'),
  (1002, 2, '2024-02-01 09:00:00', '2024-02-05', '09:15:00', 200.0, 1, 'Счёт №12, оплата "по факту"'),
  (1003, 3, '2024-02-29 23:59:59', NULL, NULL, 62.47, 0, NULL),
  (1004, 4, '2024-03-10 12:00:00', '2024-03-11', '08:00:00', 0.0, 0, 'Replacement, no charge; see 1001 in \\files\orders'),
  (1005, 5, '2024-06-30 17:45:30', '2024-07-02', '16:00:00', 3752.5, 1, 'Line one
Line two'),
  (1006, 1, '2024-12-31 08:00:00', '2025-01-09', '10:00:00', 49.9, NULL, '');

INSERT INTO order_items VALUES
  (1001, 1, 8, 1, 1234.56, 0.0, 9007199254740993),
  (1002, 1, 1, 1000, 0.15, 0.1, NULL),
  (1002, 2, 2, 1000, 0.05, 0.1, NULL),
  (1003, 1, 4, 10, 4.99, 0.0, NULL),
  (1003, 2, 7, 3, 3.75, 0.5, NULL),
  (1004, 1, 3, 50, 0.02, 1.0, NULL),
  (1005, 1, 5, 3000, 1.25, 0.0, 4294967296),
  (1005, 2, 6, 1, 12.5, 0.0, -1),
  (1006, 1, 4, 10, 4.99, 0.0, NULL);
