// The peer of bench/parquet-vs-duckdb: what a user scripts today to turn a CSV file into Parquet,
// DuckDB's COPY through its node package.   node duckdb_copy.cjs TOOLS_DIR IN.csv OUT.parquet
const path = require('path');
const [tools, input, output] = process.argv.slice(2);
const duckdb = require(path.join(tools, 'node_modules/@duckdb/node-api'));

(async () => {
  const con = await (await duckdb.DuckDBInstance.create(':memory:')).connect();
  const q = (s) => "'" + s.replace(/'/g, "''") + "'";
  await con.run(`COPY (FROM read_csv(${q(input)})) TO ${q(output)} (FORMAT parquet)`);
})().catch((e) => {
  process.stderr.write(String(e.message || e) + '\n');
  process.exit(1);
});
