// Calls the engine's JSON entry (web/wasm_entry.cpp) in a loaded WebAssembly
// module. Shared by the page's worker and the tests under node.

const encoder = new TextEncoder();
const decoder = new TextDecoder();

// Text as UTF-8 bytes; bytes as they are (a test hands files over unchanged).
function bytesOf(value) {
  return typeof value === "string" ? encoder.encode(value) : value;
}

// Copies `bytes` into the module's memory; the caller frees the address.
function copyIn(module, bytes) {
  const address = module._malloc(Math.max(bytes.length, 1));
  module.HEAPU8.set(bytes, address);
  return address;
}

// A new instance of the engine from its compiled WebAssembly module
// (`compiled`) and the loader emscripten wrote (`createEngine`). Every
// translation gets one: the engine keeps some state of a thread from run to
// run, and a fresh instance translates exactly as a fresh zrtranslate does.
export function newInstance(createEngine, compiled) {
  return createEngine({
    instantiateWasm(imports, receive) {
      WebAssembly.instantiate(compiled, imports).then((instance) => receive(instance));
      return {};
    },
  });
}

// A translate function over `module`: takes {schema, source, debug,
// timeoutSeconds, maxSteps, maxMemoryMb} (texts or UTF-8 bytes; a limit of 0
// sets none) and returns the engine's answer: {result, console, console_cut,
// diagnostics, error}.
export function translator(module) {
  return function translate(request) {
    const schema = bytesOf(request.schema);
    const source = bytesOf(request.source);
    const schemaAt = copyIn(module, schema);
    const sourceAt = copyIn(module, source);
    try {
      const at =
        module._zr_web_translate(
          schemaAt,
          schema.length,
          sourceAt,
          source.length,
          request.debug ? 1 : 0,
          request.timeoutSeconds || 0,
          request.maxSteps || 0,
          request.maxMemoryMb || 0,
        ) >>> 0;
      const size = module._zr_web_answer_size() >>> 0;
      // The memory may have grown during the run: read through the current view.
      return JSON.parse(decoder.decode(module.HEAPU8.subarray(at, at + size)));
    } finally {
      module._free(schemaAt);
      module._free(sourceAt);
    }
  };
}
