-- A database shaped like the ones users bring from desktop and server products, not like the
-- demo: table, view and column names with spaces, quotes, reserved words, Cyrillic and mixed
-- case; texts of thousands of characters; BLOBs; DATETIME columns holding bare dates; TIME
-- columns; NUMERIC with decimals; a row of NULLs in every table. Loaded by tests/support/awkward.h
-- into SQLite; tests that need a server load the same tables into it through the SQL export.
PRAGMA encoding = 'UTF-8';

CREATE TABLE "my table" (
  id          INTEGER PRIMARY KEY,
  "it's"      VARCHAR(20),
  "Group"     VARCHAR(20),
  "Имя"       VARCHAR(40),
  "MixedCase" INTEGER,
  note        TEXT
);

CREATE TABLE "Order Details" (
  "OrderID"   INTEGER NOT NULL,
  "ProductID" INTEGER NOT NULL,
  "UnitPrice" NUMERIC(10,4),
  "Quantity"  SMALLINT,
  "Discount"  REAL,
  "Shipped At" DATETIME,
  PRIMARY KEY ("OrderID", "ProductID")
);

CREATE TABLE "Order" ("Select" INTEGER PRIMARY KEY, "From" VARCHAR(10), "Where" DATE);
CREATE TABLE "Group" (id INTEGER PRIMARY KEY, "Order" INTEGER, "Table" VARCHAR(12));
CREATE TABLE "Select" (id INTEGER PRIMARY KEY, "Group" VARCHAR(12));

CREATE TABLE "Клиенты" (
  "Код"       INTEGER PRIMARY KEY,
  "Название"  VARCHAR(60),
  "Город"     VARCHAR(30),
  "Дата"      DATE
);

CREATE TABLE "CamelOrders" ("OrderNo" INTEGER PRIMARY KEY, "CustomerName" VARCHAR(30),
                            "Total" NUMERIC(12,2));

CREATE TABLE "say ""hi""" (id INTEGER PRIMARY KEY, "col ""q""" VARCHAR(10), "semi;colon" TEXT);

-- Every value kind a real table holds, and a row of NULLs.
CREATE TABLE "all types" (
  id          INTEGER PRIMARY KEY,
  big         BIGINT,
  amount      NUMERIC(14,4),
  ratio       DOUBLE,
  flag        BOOLEAN,
  born        DATE,
  stamp       DATETIME,
  at_time     TIME,
  short_text  VARCHAR(30),
  long_text   TEXT,
  memo        MEMO,
  picture     BLOB
);

INSERT INTO "my table" VALUES
  (1, 'a', 'first', 'Пётр', 10, 'Short note'),
  (2, 'it''s', 'second', 'Анна-Мария', -3, replace(hex(zeroblob(1500)), '00', 'Note_text ')),
  (3, 'say "x"', NULL, 'Ölfaß', NULL, 'Line one
Line two'),
  (4, NULL, NULL, NULL, NULL, NULL);

INSERT INTO "Order Details" VALUES
  (10248, 11, 14.0000, 12, 0.0, '1996-07-16'),
  (10248, 42, 9.8000, 10, 0.0, '1996-07-16 00:00:00'),
  (10249, 14, 18.6000, 9, 0.15, '1996-07-10 11:22:33'),
  (10250, 41, 7.7000, 10, 0.05, NULL),
  (10251, 22, NULL, NULL, NULL, NULL);

INSERT INTO "Order" VALUES (1, 'here', '1999-12-31'), (2, NULL, NULL);
INSERT INTO "Group" VALUES (1, 7, 'chairs'), (2, NULL, NULL);
INSERT INTO "Select" VALUES (1, 'one'), (2, NULL);

INSERT INTO "Клиенты" VALUES
  (1, 'ООО «Ромашка»', 'Москва', '2001-02-03'),
  (2, 'Завод "Прогресс"', 'Екатеринбург', '1899-12-31'),
  (3, NULL, NULL, NULL);

INSERT INTO "CamelOrders" VALUES (1, 'daan_peeters@apple.be', 12.5), (2, 'José Müller', 0.1),
                                 (3, NULL, NULL);

INSERT INTO "say ""hi""" VALUES (1, 'x''y"z', 'a;b,c'), (2, NULL, NULL);

INSERT INTO "all types" VALUES
  (1, 9007199254740993, 1.2345, 3.14159265358979, 1, '1969-07-20', '2024-02-29 23:59:59',
   '14:30:05', 'plain', replace(hex(zeroblob(300)), '00', 'Lorem ipsum dolor sit amet, '),
   'Многострочный
текст «в кавычках»', x'89504E470D0A1A0A0000000D49484452'),
  (2, -42, -0.0001, -1e-7, 0, '1900-01-01', '2001-09-09', '00:00:00', 'tab	and ''quote''',
   'short', '', x'00FF00FF'),
  (3, 0, 123456789.1200, 1e15, 1, '1899-12-30', '1899-12-30 12:00:00', '23:59:59',
   'Ölfaß ÄÖÜ', 'x', 'memo 3', x''),
  (4, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL);

CREATE VIEW "my view" AS SELECT id, "it's", "Имя" FROM "my table" WHERE id < 4;
CREATE VIEW "Select View" AS SELECT "Select", "From" FROM "Order";
CREATE VIEW "Представление" AS SELECT "Код", "Название" FROM "Клиенты";
