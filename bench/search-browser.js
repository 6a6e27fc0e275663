#!/usr/bin/env node
// Types searches into the search box of a page in headless Chromium and
// reports, per search, the time from the typing to the results shown (the
// shard's loading included), the number of persons listed and the first.
// Each search runs on a freshly loaded page, so no shard is loaded yet.
//
//   node --experimental-websocket search-browser.js PAGE.htm QUERY... [--rounds N]
//
// Drives the browser through its debugging protocol; needs node 20 or later
// (with --experimental-websocket before node 22) and chromium on the PATH
// (or in $CHROMIUM). Exit status 1 when a search fails.
"use strict";

const fs = require("fs");
const os = require("os");
const path = require("path");
const { spawn } = require("child_process");
const { pathToFileURL } = require("url");
const probe = require("../tests/search/search-probe.js");

const args = process.argv.slice(2);
let rounds = 1;
const at = args.indexOf("--rounds");
if (at >= 0) rounds = Number(args.splice(at, 2)[1]) || 1;
const [page, ...queries] = args;
if (!page || !queries.length || typeof WebSocket === "undefined") {
  console.error("usage: node --experimental-websocket search-browser.js PAGE.htm QUERY... " +
                "[--rounds N]");
  process.exit(2);
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function startBrowser(profile) {
  const browser = spawn(process.env.CHROMIUM || "chromium",
    ["--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--hide-scrollbars",
     "--remote-debugging-port=0", "--user-data-dir=" + profile, "about:blank"],
    { stdio: "ignore" });
  const portFile = path.join(profile, "DevToolsActivePort");
  // The file may be seen before its port is written in it.
  const portOf = () => (fs.existsSync(portFile) ? fs.readFileSync(portFile, "utf8").split("\n")[0] : "");
  for (let i = 0; i < 300 && !/^\d+$/.test(portOf()); i++) await sleep(100);
  const port = portOf();
  let target = null;
  for (let i = 0; i < 100 && !target; i++) {
    const list = await (await fetch(`http://127.0.0.1:${port}/json/list`)).json();
    target = list.find((t) => t.type === "page");
    if (!target) await sleep(100);
  }
  return { browser, url: target.webSocketDebuggerUrl };
}

// A minimal client of the debugging protocol: calls and awaited events.
function connect(url) {
  const socket = new WebSocket(url);
  let next = 0;
  const calls = new Map();
  const listeners = [];
  socket.onmessage = (message) => {
    const data = JSON.parse(message.data);
    if (data.id && calls.has(data.id)) {
      calls.get(data.id)(data);
      calls.delete(data.id);
    } else if (data.method) {
      for (const l of listeners.splice(0)) if (!l(data)) listeners.push(l);
    }
  };
  return new Promise((resolve) => {
    socket.onopen = () => resolve({
      call: (method, params = {}) => new Promise((done) => {
        const id = ++next;
        calls.set(id, done);
        socket.send(JSON.stringify({ id, method, params }));
      }),
      event: (method) => new Promise((done) => {
        listeners.push((data) => data.method === method && (done(data), true));
      }),
      close: () => socket.close(),
    });
  });
}

// Runs in the page: puts the text into the box at once, as a paste does,
// and waits for the search of it (search-probe.js).
const typeAndWait = (text) => `(() => {
  if (!${probe.callText(probe.watchSearchBox)}) return { error: "no search box" };
  const input = document.getElementById("KSVIsearchInput");
  const started = performance.now();
  input.value = ${JSON.stringify(text)};
  input.dispatchEvent(new Event("input", { bubbles: true }));
  return ${probe.callText(probe.searchSettled, 20)}.then((r) => (r.error ? r : { ...r, started }));
})()`;

(async () => {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "kssearch-"));
  const { browser, url } = await startBrowser(profile);
  let failed = false;
  try {
    const cdp = await connect(url);
    await cdp.call("Page.enable");
    const pageUrl = pathToFileURL(path.resolve(page)).href;
    for (const query of queries) {
      for (let round = 1; round <= rounds; round++) {
        const loaded = cdp.event("Page.loadEventFired");
        await cdp.call("Page.navigate", { url: pageUrl });
        await loaded;
        const reply = await cdp.call("Runtime.evaluate",
          { expression: typeAndWait(query), awaitPromise: true, returnByValue: true });
        const r = reply.result && reply.result.result ? reply.result.result.value : null;
        if (!r || r.error || r.state !== "done") {
          failed = true;
          console.log(`"${query}": FAILED ${r ? r.error || r.status : JSON.stringify(reply)}`);
          continue;
        }
        // The first person listed, else the first of the names that sound alike.
        const top = r.hits.length ? r.hits[0] : r.variants.length ? r.variants[0] : null;
        const first = top ? `${top.name} ${top.years}`.trim() : "";
        console.log(`"${query}"${rounds > 1 ? " round " + round : ""}: ` +
                    `${(r.endedAt - r.started).toFixed(0)} ms from typing to results (search ` +
                    `${r.ms} ms after the pause for typing, the first shown after ${r.msFirst} ms), ` +
                    `${r.hits.length} persons listed and ${r.variants.length} that sound alike, ` +
                    `first: ${first}`);
      }
    }
    cdp.close();
  } finally {
    const exited = new Promise((resolve) => browser.once("exit", resolve));
    browser.kill();
    await Promise.race([exited, sleep(5000)]);
    fs.rmSync(profile, { recursive: true, force: true, maxRetries: 5, retryDelay: 200 });
  }
  process.exit(failed ? 1 : 0);
})();
