// Share links: the schema and the source, as JSON, compressed with
// deflate-raw and written base64url into the fragment "#s=...".

const prefix = "#s=";

async function throughStream(bytes, stream) {
  const response = new Response(new Blob([bytes]).stream().pipeThrough(stream));
  return new Uint8Array(await response.arrayBuffer());
}

function toBase64url(bytes) {
  let binary = "";
  for (let i = 0; i < bytes.length; i += 0x8000)
    binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  return btoa(binary).replace(/\+/g, "-").replace(/\//g, "_").replace(/=+$/, "");
}

function fromBase64url(text) {
  const binary = atob(text.replace(/-/g, "+").replace(/_/g, "/"));
  return Uint8Array.from(binary, (c) => c.charCodeAt(0));
}

// The fragment that carries `schema` and `source`.
export async function shareFragment(schema, source) {
  const json = new TextEncoder().encode(JSON.stringify({ schema, source }));
  return prefix + toBase64url(await throughStream(json, new CompressionStream("deflate-raw")));
}

// {schema, source} from a fragment made by shareFragment; null for any
// other fragment; throws for a damaged one.
export async function readFragment(fragment) {
  if (!fragment.startsWith(prefix)) return null;
  const bytes = await throughStream(
    fromBase64url(fragment.slice(prefix.length)),
    new DecompressionStream("deflate-raw"),
  );
  const { schema, source } = JSON.parse(new TextDecoder().decode(bytes));
  if (typeof schema !== "string" || typeof source !== "string") throw new Error("not a share link");
  return { schema, source };
}
