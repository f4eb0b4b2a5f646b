// Times translations inside one node process through the playground's JSON
// entry, each in a new instance of the compiled module, as the page's worker
// runs them. Prints the CPU seconds of the first run (the code still being
// optimised) and of the best later one, as JSON.
//
//   node wasm_translate.mjs ENGINE_DIR SCHEMA SOURCE RUNS
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { join } from "node:path";
import { newInstance, translator } from "../web/src/engine.js";

const [engineDir, schemaFile, sourceFile, runs] = process.argv.slice(2);
const createEngine = createRequire(import.meta.url)(join(engineDir, "zorvex_engine.js"));
const compiled = await WebAssembly.compile(readFileSync(join(engineDir, "zorvex_engine.wasm")));
const schema = readFileSync(schemaFile);
const source = readFileSync(sourceFile);
const seconds = [];
for (let i = 0; i < Math.max(2, Number(runs)); ++i) {
  const translate = translator(await newInstance(createEngine, compiled));
  const start = process.cpuUsage();
  const answer = translate({ schema, source });
  const used = process.cpuUsage(start);
  if (answer.error) throw new Error(answer.error.description);
  seconds.push((used.user + used.system) / 1e6);
}
console.log(JSON.stringify({ first: seconds[0], best: Math.min(...seconds.slice(1)) }));
