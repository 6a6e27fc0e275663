#!/usr/bin/env node
// Times the search script of the layouts in node: reading and running the
// largest shard (as a browser runs a loaded script), then searches in it.
//
//   search-timing.js KSSEARCH_JS CATALOGUE_JS SHARD_JS
"use strict";

const fs = require("fs");
const path = require("path");
const vm = require("vm");
const { pathToFileURL } = require("url");
const { performance } = require("perf_hooks");

const [script, catalogueFile, shardFile] = process.argv.slice(2).map((a) => path.resolve(a));
const context = vm.createContext({ URL, console, setTimeout, clearTimeout });
vm.runInContext(fs.readFileSync(script, "utf8"), context);
const KSsearch = context.KSsearch;
KSsearch.load = (url, done) => {
  vm.runInContext(fs.readFileSync(new URL(url).pathname, "utf8"), context);
  done(true);
};
const catalogue = KSsearch.catalogue;
KSsearch.catalogue = (data) => catalogue(data, pathToFileURL(catalogueFile).href);
vm.runInContext(fs.readFileSync(catalogueFile, "utf8"), context);

// A query that lands in the largest shard: its first key.
const shardName = path.basename(shardFile);
let query = null;
vm.runInNewContext(fs.readFileSync(shardFile, "utf8"), {
  KSsearch: { shard: (name, surnames) => { query = JSON.parse(surnames)[0][0]; } },
});

// The file is in the system's cache now, as it would be after a download.
const started = performance.now();
vm.runInContext(fs.readFileSync(shardFile, "utf8"), context);
const readMs = performance.now() - started;

function time(text, limit) {
  const started = performance.now();
  let answer = null;
  KSsearch.find(text, limit, (a) => { answer = a; });
  return [performance.now() - started, answer];
}

console.log(`read and run ${shardName}: ${readMs.toFixed(1)} ms`);
for (const [text, limit] of [[query, 50], [query.slice(0, 2), 50], [query + " jan", 50],
                             [query, 100000]]) {
  const [ms, answer] = time(text, limit);
  console.log(`search "${text}" (first ${limit}): ${answer.hits.length} persons` +
              `${answer.more ? ", more" : ""}, ${ms.toFixed(1)} ms`);
}
