-- A table shaped like the ones users bring, for the Parquet read-back: a Cyrillic table name with
-- quotes, column names with spaces, quotes and Cyrillic, and values at the edges of each type:
-- NULLs, dates before 1970 and before 1900, microseconds, decimals of 12 and 30 digits (one
-- with more digits than a double holds), a
-- NUMERIC without declared digits, BLOBs with zero bytes, long and multi-line texts.
CREATE TABLE "Заказы ""всё""" (
  "№"            INTEGER PRIMARY KEY,
  "Имя клиента"  VARCHAR(40),
  "it's ""q"""   TEXT,
  "Сумма"        NUMERIC(12,2),
  "Big Decimal"  NUMERIC(30,6),
  "tiny"         SMALLINT,
  "mid"          INT4,
  "ratio"        DOUBLE,
  "flag"         BOOLEAN,
  "born"         DATE,
  "stamp"        DATETIME,
  "at"           TIME,
  "picture"      BLOB,
  "plain number" NUMERIC
);
INSERT INTO "Заказы ""всё""" VALUES
  (1, 'Пётр «Первый»', 'say "hi", it''s', 1234567890.12, 1234567890123456789, 32767,
   2147483647, 3.14159265358979, 1, '1969-07-20', '2024-02-29 23:59:59.123456', '14:30:05.250001',
   x'89504E470D0A1A0A00', 12.5),
  (2, 'Ölfaß | pipe', 'Line one
Line two', -0.01, '-0.000001', -32768, -2147483648, -1e-7, 0, '1899-12-30',
   '1950-06-01 00:00:00.000001', '00:00:00', x'00', -3),
  (3, '', replace(hex(zeroblob(3000)), '00', 'Текст '), 0, '0', 0, 0, 1e300, 1, '0001-01-01',
   '1899-12-29 06:00:00', '23:59:59.999999', x'', 0.1),
  (4, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL);
