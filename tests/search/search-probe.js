// Functions that run inside a page with the search box of the shipped layouts
// (kssearch.js), for the programs that drive it in a browser: the browser
// check of the layouts and the search benchmark. Each is self-contained, so
// that it can be sent to the page as its source text.
//
// The box answers every pause in the typing with a search of its own and
// marks it in data-state ("searching", then "done" or "failed"), so "done"
// alone may belong to a search of a few letters typed earlier. The watch
// counts the input events and stamps each change of data-state with that
// count: the search of the whole text is the first "searching" after the
// last input event, and it is over at the next "done", "failed" or "idle".
"use strict";

// Starts watching the first search box of the page; called once a page has
// loaded, before anything is typed.
function watchSearchBox() {
  if (window.KSsearchWatch) return true;
  const box = document.querySelector(".KSVIsearch");
  const input = box && box.querySelector("input");
  if (!box || !input) return false;
  const watch = { inputs: 0, changes: [] };
  input.addEventListener("input", () => { watch.inputs++; });
  // A search that finds its shard loaded sets "searching" and "done" in one
  // go: one call with two records, the new value of each the old value of
  // the next.
  new MutationObserver((records) => {
    const at = performance.now();
    records.forEach((r, i) => {
      const state = i + 1 < records.length ? records[i + 1].oldValue : box.getAttribute("data-state");
      watch.changes.push({ state, after: watch.inputs, at });
    });
  }).observe(box, { attributes: true, attributeFilter: ["data-state"], attributeOldValue: true });
  window.KSsearchWatch = watch;
  return true;
}

// Waits for the search of what the input holds now (the search a page
// opened with ?q= starts by itself counts too) and resolves to what the box
// shows then, with `endedAt` (performance.now() when the search ended), or
// to { error } after `seconds`.
function searchSettled(seconds) {
  const watch = window.KSsearchWatch;
  const box = document.querySelector(".KSVIsearch");
  const ended = (state) => state === "done" || state === "failed" || state === "idle";
  const finish = () => {
    if (!watch || watch.inputs === 0) {
      // Nothing typed: the search of ?q=, under way since the page loaded.
      const state = box && box.getAttribute("data-state");
      return state === "done" || state === "failed" ? { endedAt: performance.now() } : null;
    }
    const own = watch.changes.filter((c) => c.after === watch.inputs);
    const start = own.findIndex((c) => c.state === "searching");
    const end = start < 0 ? undefined : own.slice(start + 1).find((c) => ended(c.state));
    return end && ended(box.getAttribute("data-state")) ? { endedAt: end.at } : null;
  };
  const hit = (li) => ({
    name: (li.querySelector(".KSVIsearchName").textContent || "").replace(/\s+/g, " ").trim(),
    years: (li.querySelector(".KSVIsearchYears") || { textContent: "" }).textContent.trim(),
    links: [...li.querySelectorAll("a.KSVIsearchTree")].map((a) => ({
      href: a.href, text: a.textContent.replace(/\s+/g, " ").trim(), target: a.target,
    })),
  });
  const read = () => {
    const text = (el) => (el ? el.textContent.replace(/\s+/g, " ").trim() : "");
    const status = box.querySelector("[role=status]");
    const list = box.querySelector("ol");
    const more = box.querySelector("button");
    return {
      state: box.getAttribute("data-state"),
      ms: Number(box.getAttribute("data-ms")),
      msFirst: Number(box.getAttribute("data-ms-first")),
      status: text(status),
      statusLive: status ? status.getAttribute("aria-live") : null,
      more: !!more && !more.hidden,
      texts: {
        none: box.getAttribute("data-none"),
        failed: box.getAttribute("data-failed"),
      },
      hits: [...(list ? list.querySelectorAll(".KSVIsearchHit:not(.KSVIsearchVariant)") : [])].map(hit),
      // The persons of surnames that sound alike, under their heading.
      variants: [...(list ? list.querySelectorAll(".KSVIsearchVariant") : [])].map(hit),
      variantsHeading: text(list && list.querySelector(".KSVIsearchVariants")),
    };
  };
  return new Promise((resolve) => {
    const began = performance.now();
    (function poll() {
      // Checked first: a page that froze past the wait answers too late.
      const late = performance.now() - began > seconds * 1000;
      const done = late ? null : finish();
      if (done) resolve({ ...read(), endedAt: done.endedAt });
      else if (late) {
        resolve({ error: `no answer after ${seconds} s (data-state ${box && box.getAttribute("data-state")})` });
      } else setTimeout(poll, 5);
    })();
  });
}

// The source text of a call of one of the functions above, for a page
// driven through the debugging protocol (Runtime.evaluate).
function callText(fn, ...args) {
  return `(${fn})(${args.map((a) => JSON.stringify(a)).join(", ")})`;
}

module.exports = { watchSearchBox, searchSettled, callText };
