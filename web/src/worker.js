// The engine's worker. The page sends the compiled WebAssembly module once,
// then requests; each request is translated in a new instance of the module.
// The page ends a runaway run by terminating this worker and starting
// another. The page puts emscripten's loader (zorvex_engine.js, which defines
// createEngine) in front of this script.
import { newInstance, translator } from "./engine.js";

/* global createEngine */
let compiled = null;

onmessage = async (event) => {
  if (event.data.type === "module") {
    compiled = event.data.module;
    return;
  }
  const { id, request } = event.data;
  let answer;
  try {
    const translate = translator(await newInstance(createEngine, compiled));
    answer = translate(request);
  } catch (error) {
    // An abort of the module itself (out of memory past its maximum, say).
    answer = {
      result: null,
      console: "",
      console_cut: false,
      diagnostics: [],
      error: { number: 0, description: `the engine stopped: ${error}` },
    };
  }
  postMessage({ type: "answer", id, answer });
};
