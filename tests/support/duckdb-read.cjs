// Reads a Parquet file with DuckDB (npm @duckdb/node-api) for the tests and the benchmark:
//   node duckdb-read.cjs FILE describe     one line per column: name TAB type
//   node duckdb-read.cjs FILE rows         one JSON array per row: every value as DuckDB writes
//                                          it as text (BLOBs in upper-case hex), null for NULL
//   node duckdb-read.cjs FILE sql QUERY    the rows of QUERY over the view t, each value as text
// MORVALE_DUCKDB_TOOLS names the folder whose node_modules holds the package.
const path = require('path');
const duckdb = require(path.join(process.env.MORVALE_DUCKDB_TOOLS, 'node_modules/@duckdb/node-api'));

function quoteName(name) {
  return '"' + name.replace(/"/g, '""') + '"';
}

async function main() {
  const [file, mode, query] = process.argv.slice(2);
  const instance = await duckdb.DuckDBInstance.create(':memory:');
  const con = await instance.connect();
  const literal = "'" + file.replace(/'/g, "''") + "'";
  await con.run(`CREATE VIEW t AS SELECT * FROM read_parquet(${literal})`);
  const described = (await con.runAndReadAll('DESCRIBE t')).getRowObjectsJS();
  if (mode === 'describe') {
    for (const c of described) process.stdout.write(`${c.column_name}\t${c.column_type}\n`);
    return;
  }
  // Every value as DuckDB itself writes it as text, not as JavaScript would.
  let sql = `SELECT COLUMNS(*)::VARCHAR FROM (${query})`;
  if (mode === 'rows') {
    const columns = described.map((c) => c.column_type === 'BLOB'
      ? `upper(hex(${quoteName(c.column_name)}))`
      : `CAST(${quoteName(c.column_name)} AS VARCHAR)`);
    sql = `SELECT ${columns.join(', ')} FROM t`;
  }
  const reader = await con.runAndReadAll(sql);
  let out = '';
  for (const row of reader.getRowsJS())
    out += JSON.stringify(row.map((v) => (v === null ? null : String(v)))) + '\n';
  process.stdout.write(out);
}

main().catch((e) => {
  process.stderr.write(String(e && e.message ? e.message : e) + '\n');
  process.exit(1);
});
