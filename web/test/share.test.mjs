// Share links under node, which has the same CompressionStream as the page.
import assert from "node:assert/strict";
import { test } from "node:test";
import { readFragment, shareFragment } from "../src/share.js";

test("a share link carries schema and source unchanged", async () => {
  const cases = [
    { schema: "", source: "" },
    { schema: "\\\\schema a\r\n-r\r\n  .id `é ✓ 😀` 0\r\n", source: "tabs\tand\u0000nul" },
    { schema: "x".repeat(200000), source: "long runs compress well ".repeat(5000) },
  ];
  for (const shared of cases) {
    const fragment = await shareFragment(shared.schema, shared.source);
    assert.match(fragment, /^#s=[A-Za-z0-9_-]*$/);
    assert.deepEqual(await readFragment(fragment), shared);
  }
});

test("other fragments are no share links, and a damaged one fails", async () => {
  assert.equal(await readFragment(""), null);
  assert.equal(await readFragment("#section"), null);
  const fragment = await shareFragment("schema", "source");
  await assert.rejects(readFragment(fragment.slice(0, fragment.length - 4)));
});
