// The engine's worker: compiles the WebAssembly module once and translates
// each request the page posts in a new instance of it. The page ends a
// runaway run by terminating this worker and starting another.
import { newInstance, translator } from "./engine.js";

/* global createEngine, importScripts */
importScripts("zorvex_engine.js");

const compiled = WebAssembly.compileStreaming(fetch("zorvex_engine.wasm"));
compiled.then(
  () => postMessage({ type: "ready" }),
  (error) => postMessage({ type: "failed", message: String(error) }),
);

onmessage = async (event) => {
  const { id, request } = event.data;
  let answer;
  try {
    const translate = translator(await newInstance(createEngine, await compiled));
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
