#!/usr/bin/env node
// The search script of the layouts (layout/search/kssearch.js of each
// language folder, kept once in dist/shared/) on search data that kestrin-index builds, without a browser: the script runs
// in a node context whose KSsearch.load reads the shards from disk.
//
//   search-test KESTRIN_INDEX SOURCE_DIR WORK_DIR
//
// Checks that the script folds names as the builder does (every byte of the
// code page), that prefixes, accents and letter case do not matter, that
// given names narrow the search, that only the shards needed are loaded,
// that a surname cut over several shards is found whole, that the links
// lead to the trees' pages (and never to a script), and that every file of
// the data is ASCII.
"use strict";

const assert = require("assert");
const fs = require("fs");
const path = require("path");
const vm = require("vm");
const { execFileSync } = require("child_process");
const { fileURLToPath, pathToFileURL } = require("url");

const [tool, source, work] = process.argv.slice(2).map((a) => path.resolve(a));
if (!work) {
  console.error("usage: search-test KESTRIN_INDEX SOURCE_DIR WORK_DIR");
  process.exit(2);
}
// The layouts as the tool finds them: the build tree's program folder.
const dist = fs.readFileSync(tool + ".program-folder", "utf8").split("\n")[0];

// --- The data: two trees, a layout with small shards -------------------

function write(file, text) {
  fs.mkdirSync(path.dirname(file), { recursive: true });
  fs.writeFileSync(file, Buffer.from(text, "latin1"));
}

// An old (unsorted) document; lines are letter, surname, given names,
// extra, years, number and link. Bytes are Windows-1252 ("latin1" writes
// every char below 256 as that byte).
function tree(file, title, lines) {
  write(file, "[KESTRIN]\r\nversion=3.1\r\ntype=htx\r\nformat=1\r\n[metadata]\r\ntitle=" + title +
    "\r\n[indexdata]\r\n" + lines.map((l) => l.join("\t")).join("\r\n") + "\r\n");
}

fs.rmSync(work, { recursive: true, force: true });
const everyByte = [];
for (let b = 0x20; b <= 0xff; b++) {
  if (b === 0x2c) continue; // a comma would start a prefix
  everyByte.push(["Q", "Q" + String.fromCharCode(b) + "z", "Byte " + b, "", "", "", String(b), "q.htm#" + b]);
}
const jansen = [];
for (let i = 1; i <= 120; i++) {
  const given = "G" + String(i).padStart(3, "0");
  jansen.push(["J", "Jansen", given, "", "1800", "", String(1000 + i), "j.htm#" + i]);
}
tree(path.join(work, "trees/a/a.htx"), "Tree A", [
  ["B", "Berg, van den", "Jan Pieter", "", "1850", "1910", "1", "pa.htm#1"],
  ["B", "van den Berg", "Anna", "", "", "", "2", "pa.htm#2"],
  ["B", "Bergman", "Kees", "", "1901", "", "3", "pa.htm#3"],
  ["M", "M\xfcller", "Hans", "", "", "", "4", "pa.htm#4"],
  ["M", "MULLER", "Piet", "", "", "", "5", "pa.htm#5"],
  ["S", "Smith-Jones", "John", "", "", "", "6", "pa.htm#6"],
  ["W", "Wei\xdf", "Eva", "", "", "", "7", "pa.htm#7"],
  ["H", "'t Hooft", "Karel", "", "", "", "8", "pa.htm#8"],
  ["?", "_", "Nobody", "", "", "", "9", "pa.htm#9"],
  ["V", "Visser", "Pieternella", "", "1760", "1830", "20", "pa.htm#20"],
  ["V", "Visser", "Pieter", "", "1750", "1790", "21", "pa.htm#21"],
  ["V", "Visser", "Anna", "", "", "", "22", "pa.htm#22"],
  ["V", "Visser", "Jan Pieter", "", "1801", "", "23", "pa.htm#23"],
  ["V", "Visserman", "Pieter", "", "1700", "", "24", "pa.htm#24"],
  ["P", "Pieters", "Visser", "", "1820", "", "25", "pa.htm#25"],
  ["K", "Kees", "Kees", "", "", "", "26", "pa.htm#26"],
  ["M", "Meijer", "Klaas", "", "1800", "", "27", "pa.htm#27"],
  ["M", "Meyer", "Claes", "", "1790", "", "28", "pa.htm#28"],
  ["M", "Maier", "Anna", "", "", "", "29", "pa.htm#29"],
  // Given names anywhere in the given names; persons without a surname.
  ["H", "Hanover", "Alexandrina Victoria", "", "1819", "1901", "30", "pa.htm#30"],
  ["S", "Saxe-Coburg", "Victoria Adelaide Louisa", "", "1840", "1901", "31", "pa.htm#31"],
  ["S", "Saxe-Coburg", "Francis Albert Augustus Charles Emmanuel", "", "1819", "1861", "32",
    "pa.htm#32"],
  ["?", "?", "Victoria", "", "1200", "", "33", "pa.htm#33"],
  ["D", "Dubois", "Victorine", "", "", "", "34", "pa.htm#34"],
  ["V", "Victoria", "Juan", "", "", "", "35", "pa.htm#35"],
  ["S", "Smit", "Albert", "", "1850", "", "36", "pa.htm#36"],
  ["A", "Albertsen", "Karel", "", "1900", "", "37", "pa.htm#37"],
  // Spelling variants of "fogel", all of one sound key.
  ["V", "Vogel", "Hans", "", "", "", "38", "pa.htm#38"],
  ["F", "Fogle", "Anna", "", "", "", "39", "pa.htm#39"],
  ["B", "Bakaeelli", "Piet", "", "", "", "40", "pa.htm#40"],
  ...everyByte,
  ...jansen,
]);
tree(path.join(work, "trees/b/sub/b.htx"), "Tree B", [
  ["B", "Berg, van den", "Jan Pieter", "", "1850", "1910", "1", "people\\pb.htm#i1"],
]);
write(path.join(work, "layout/t.ksl"),
  "[KESTRIN]\r\ntype=KSL\r\nformat=1\r\n[General]\r\ntitle=T\r\n[Templates]\r\n" +
  "1=start, start.tpl, #PREFIX!.htm, Start\r\n2=search, search.tpl, #PREFIX!_search.js, Search\r\n");
write(path.join(work, "layout/start.tpl"), "<p>#TITLE$!</p>\r\n");
write(path.join(work, "layout/search.tpl"), "#SEARCHDATA(2)!\r\n");

execFileSync(tool, ["build", "-q", "-l", "layout/t.ksl", "-o", "out", "-b", "idx",
  "trees/a/a.htx", "trees/b/sub/b.htx"], {
  cwd: work,
  env: Object.assign({}, process.env, { XDG_CONFIG_HOME: path.join(work, "config"),
    TMPDIR: work }),
  stdio: ["ignore", "ignore", "inherit"],
});
const out = path.join(work, "out");

// Trees of other people inside the output folder of a second index, whose
// links are scripts, plainly or hidden (the tree in the output folder has
// the folder "", so its links alone decide).
const hostileLinks = ["javascript:alert(1)", "JAVASCRIPT:alert(2)", "\x01javascript:alert(3)",
  "   javascript:alert(4)", "data:text/html,x", "vbscript:x", "file:///etc/passwd",
  "//evil.example/p.htm", "p.htm#ok"];
tree(path.join(work, "hostile/own.htx"), "Own", hostileLinks.map((link, i) =>
  ["H", "Hostile", "Own " + i, "", "", "", String(i), link]));
tree(path.join(work, "hostile/sub/deep.htx"), "Deep", [
  ["H", "Hostile", "Deep", "", "", "", "1", "../javascript:alert(5)"],
  ["H", "Hostile", "Deep 2", "", "", "", "2", "HTTPS://x.example/p?id=2#a"],
  ["H", "Hostile", "Deep 3", "", "", "", "3", "mailto:x@example.org"],
  ["H", "Hostile", "Deep 4", "", "", "", "4", "javascript:alert(6)"],
]);
execFileSync(tool, ["build", "-q", "-l", "layout/t.ksl", "-o", "hostile", "-b", "idx",
  "hostile/own.htx", "hostile/sub/deep.htx"], {
  cwd: work,
  env: Object.assign({}, process.env, { XDG_CONFIG_HOME: path.join(work, "config"),
    TMPDIR: work }),
  stdio: ["ignore", "ignore", "inherit"],
});

// A base name that a link must escape: a blank, "#", "%", a quote and
// letters outside ASCII (typed in UTF-8, and so the files' names on disk).
const oddBase = 'i d#x%41"\u00e9\u00e9n';
execFileSync(tool, ["build", "-q", "-l", "layout/t.ksl", "-o", "odd", "-b", oddBase,
  "trees/a/a.htx", "trees/b/sub/b.htx"], {
  cwd: work,
  env: Object.assign({}, process.env, { XDG_CONFIG_HOME: path.join(work, "config"),
    TMPDIR: work }),
  stdio: ["ignore", "ignore", "inherit"],
});

// --- The script in a context of its own --------------------------------

// The script on the catalogue of one index; the shards it loads are listed.
function searchOn(catalogueFile, loaded) {
  const context = vm.createContext({ URL, console, setTimeout, clearTimeout });
  vm.runInContext(fs.readFileSync(path.join(dist, "GB/layout/search/kssearch.js"), "utf8"),
    context, { filename: "kssearch.js" });
  const search = context.KSsearch;
  search.load = (url, done) => {
    const file = fileURLToPath(url); // "%XX" read as a browser reads it
    loaded.push(path.basename(file));
    setImmediate(() => {
      vm.runInContext(fs.readFileSync(file, "utf8"), context, { filename: file });
      done(true);
    });
  };
  const catalogue = search.catalogue;
  search.catalogue = (data) => catalogue(data, pathToFileURL(catalogueFile).href);
  vm.runInContext(fs.readFileSync(catalogueFile, "utf8"), context);
  return search;
}

const loaded = [];
const catalogueFile = path.join(out, "idx_search.js");
const KSsearch = searchOn(catalogueFile, loaded);

// Answers come from the script's own context: copied into plain values.
function find(text, limit = 50, search = KSsearch) {
  return new Promise((resolve) =>
    search.find(text, limit, (answer) => resolve(JSON.parse(JSON.stringify(answer)))));
}
function names(answer) {
  return answer.hits.map((h) => h.surname + (h.prefix ? ", " + h.prefix : "") + " / " + h.given);
}

const checks = [];
function check(name, f) {
  checks.push([name, f]);
}

check("every file of the search data is ASCII", () => {
  for (const file of fs.readdirSync(out).filter((f) => f.endsWith(".js"))) {
    const bytes = fs.readFileSync(path.join(out, file));
    assert.ok(bytes.every((b) => b < 0x80), file);
  }
});

check("the script folds every byte of the code page as the builder does", () => {
  const prefixes = new Set(JSON.parse(
    /"prefixes":(\[[^\]]*\])/.exec(fs.readFileSync(catalogueFile, "latin1"))[1]));
  let surnames = 0;
  for (const file of fs.readdirSync(out).filter((f) => /^idx_search-.*\.js$/.test(f))) {
    let shard = null;
    const sandbox = { KSsearch: { shard: (name, data) => { shard = JSON.parse(data); } } };
    vm.runInNewContext(fs.readFileSync(path.join(out, file), "utf8"), sandbox);
    // The shards of given names are keyed by a given name: checked below.
    if (file.includes("-given-")) continue;
    for (const [key, main] of shard) {
      const words = main.split(" ").map(KSsearch.fold).filter((w) => w);
      while (words.length > 1 && prefixes.has(words[0])) words.shift();
      assert.strictEqual(words.join(""), key, JSON.stringify(main));
      surnames++;
    }
  }
  assert.ok(surnames >= everyByte.length, "surnames " + surnames);
});

check("the script folds names of every script as the builder does", () => {
  const table = fs.readFileSync(path.join(source, "tests/data/search-fold.tsv"), "utf8");
  const rows = table.split("\n").filter((line) => line && !line.startsWith("#"));
  assert.ok(rows.length >= 10);
  for (const [name, folded] of rows.map((line) => line.split("\t")))
    assert.strictEqual(KSsearch.fold(name), folded, name);
});

check("prefixes, accents and letter case do not matter", async () => {
  const berg = names(await find("berg"));
  assert.deepStrictEqual(berg, ["Berg, van den / Jan Pieter", "van den Berg / Anna",
    "Bergman / Kees"]);
  assert.deepStrictEqual(names(await find("Van den BERG")), berg);
  assert.deepStrictEqual(names(await find("Berg, van den")), berg);
  assert.deepStrictEqual(names(await find("muller")), ["MULLER / Piet", "M\u00fcller / Hans"]);
  assert.deepStrictEqual(names(await find("M\u00dcLLER")), names(await find("muller")));
  assert.deepStrictEqual(names(await find("weiss")), ["Wei\u00df / Eva"]);
  assert.deepStrictEqual(names(await find("wei\u00df")), ["Wei\u00df / Eva"]);
  assert.deepStrictEqual(names(await find("'t hooft")), ["'t Hooft / Karel"]);
  assert.deepStrictEqual(names(await find("smith jones")), ["Smith-Jones / John"]);
  assert.deepStrictEqual(names(await find("smith-jo")), ["Smith-Jones / John"]);
});

check("given names narrow the search", async () => {
  assert.deepStrictEqual(names(await find("berg jan")), ["Berg, van den / Jan Pieter"]);
  assert.deepStrictEqual(names(await find("van den berg p")), ["Berg, van den / Jan Pieter"]);
  assert.deepStrictEqual(names(await find("Berg, Jan")), ["Berg, van den / Jan Pieter"]);
  assert.deepStrictEqual(names(await find("berg kees")), ["Bergman / Kees"]);
  assert.deepStrictEqual(names(await find("berg x")), []);
});

check("names in either order, with or without the comma, ranked", async () => {
  // Whole words first, then by surname and given names.
  const ranked = ["Visser / Jan Pieter", "Visser / Pieter", "Pieters / Visser",
    "Visser / Pieternella", "Visserman / Pieter"];
  for (const typed of ["visser pieter", "Pieter Visser", "PIETER  visser"])
    assert.deepStrictEqual(names(await find(typed)), ranked, typed);
  assert.deepStrictEqual(names(await find("Visser, Pieter")), ["Visser / Jan Pieter",
    "Visser / Pieter", "Visser / Pieternella", "Visserman / Pieter"]);
  assert.deepStrictEqual(names(await find("Pieter, Visser")), ["Pieters / Visser"]);
  // A whole surname before the longer ones it begins, whatever their given names.
  assert.deepStrictEqual(names(await find("visser")).slice(0, 4),
    ["Visser / Anna", "Visser / Jan Pieter", "Visser / Pieter", "Visser / Pieternella"]);
  assert.deepStrictEqual(names(await find("vis pieter")), ["Pieters / Visser",
    "Visser / Jan Pieter", "Visser / Pieter", "Visser / Pieternella", "Visserman / Pieter"]);
  // Prefix words between the given names and the surname.
  assert.deepStrictEqual(names(await find("pieter van visser")), ranked.filter((n) =>
    n !== "Pieters / Visser"));
  // A person found by two readings of the text is listed once.
  assert.deepStrictEqual(names(await find("kees kees")), ["Kees / Kees"]);
  const [first] = (await find("pieter visser")).hits;
  assert.strictEqual(first.whole, true);
  assert.strictEqual((await find("pieter visser")).hits[2].whole, false);
});

check("a year or a range keeps the persons whose years fall in or touch it", async () => {
  const cases = [
    ["visser 1780", ["Visser / Pieter", "Visser / Pieternella"]],
    ["visser 1790-1801", ["Visser / Jan Pieter", "Visser / Pieter", "Visser / Pieternella"]],
    ["visser 1801 - 1790", ["Visser / Jan Pieter", "Visser / Pieter", "Visser / Pieternella"]],
    ["visser 1831-1900", []], // Pieternella died 1830; Anna has no years
    ["1700 visser", ["Visserman / Pieter"]],
    ["Visser, Pieter 1750", ["Visser / Pieter"]],
    ["pieter visser 1800\u20131850", ["Visser / Jan Pieter", "Pieters / Visser",
      "Visser / Pieternella"]],
    ["visser 17801", []], // not a year: a given name that no one has
  ];
  for (const [typed, expected] of cases)
    assert.deepStrictEqual(names(await find(typed)), expected, typed);
  assert.deepStrictEqual(await find("1780"), { hits: [], variants: [], more: false, failed: false,
    empty: true });
});

function variantNames(answer) {
  return answer.variants.map((h) => h.surname + " / " + h.given);
}

check("surnames that sound alike come after those spelled as typed", async () => {
  const cases = [
    ["meyer", ["Meyer / Claes"], ["Maier / Anna", "Meijer / Klaas"]],
    ["Meijer", ["Meijer / Klaas"], ["Maier / Anna", "Meyer / Claes"]],
    ["maier anna", ["Maier / Anna"], []], // given names still as typed
    ["klaas meyer", [], ["Meijer / Klaas"]],
    ["meyer 1795-1805", [], ["Meijer / Klaas"]],
    ["me", ["Meijer / Klaas", "Meyer / Claes"], []], // found by spelling: not again
    ["m", ["Maier / Anna", "Meijer / Klaas", "Meyer / Claes", "MULLER / Piet",
      "M\u00fcller / Hans"], []], // one letter sounds like too much
  ];
  for (const [typed, hits, variants] of cases) {
    const answer = await find(typed);
    assert.deepStrictEqual(names(answer), hits, typed);
    assert.deepStrictEqual(variantNames(answer), variants, typed);
  }
  // Variants fill the room the limit leaves; the rest is more.
  const one = await find("meyer", 1);
  assert.deepStrictEqual([names(one), variantNames(one), one.more], [["Meyer / Claes"], [], true]);
  const two = await find("meyer", 2);
  assert.deepStrictEqual([variantNames(two), two.more], [["Maier / Anna"], true]);
  // The persons spelled as typed come first, before the variants are looked up.
  const early = await new Promise((resolve) => KSsearch.find("meyer", 50, () => {},
    (first) => resolve(JSON.parse(JSON.stringify(first)))));
  assert.deepStrictEqual([names(early), early.pending], [["Meyer / Claes"], true]);
});

check("any name finds its person: given names anywhere, without a surname, ranked", async () => {
  const francis = "Saxe-Coburg / Francis Albert Augustus Charles Emmanuel";
  // Typed, the persons in their order, the variants in theirs.
  const cases = [
    // A whole surname first, then whole given names (by surname, those
    // without one last), then beginnings of surnames, then of given names.
    ["victoria", ["Victoria / Juan", "Hanover / Alexandrina Victoria",
      "Saxe-Coburg / Victoria Adelaide Louisa", " / Victoria"], []],
    ["victor", ["Victoria / Juan", "Dubois / Victorine", "Hanover / Alexandrina Victoria",
      "Saxe-Coburg / Victoria Adelaide Louisa", " / Victoria"], []],
    ["VICTORIA 1819", ["Hanover / Alexandrina Victoria"], []],
    ["victoria 1200", [" / Victoria"], []],
    ["albert 1819", [francis], []],
    ["albert", [francis, "Smit / Albert", "Albertsen / Karel"], []],
    ["Albert Augustus Charles", [francis], []],
    ["charles albert", [francis], []],
    ["Albert Saxe-Coburg 1819", [francis], []],
    ["albert victoria", [], []],
    // Beginnings of given names.
    ["alexandr vic", ["Hanover / Alexandrina Victoria"], []],
    ["fran aug", [francis], []],
    ["nobody", [" / Nobody"], []],
    // Spelling variants: the closest to what was typed first.
    ["fogel", [], ["Vogel / Hans", "Fogle / Anna", "Bakaeelli / Piet"]],
    ["fogel hans", [], ["Vogel / Hans"]],
  ];
  for (const [typed, hits, variants] of cases) {
    const answer = await find(typed);
    assert.deepStrictEqual(names(answer), hits, typed);
    assert.deepStrictEqual(variantNames(answer), variants, typed);
  }
  // With room for one: the closest variant.
  assert.deepStrictEqual(variantNames(await find("fogel", 1)), ["Vogel / Hans"]);
  const [victoria] = (await find("victoria 1200")).hits;
  assert.deepStrictEqual([victoria.surname, victoria.whole, victoria.trees.map((t) => t.href)],
    ["", true, [pathToFileURL(path.join(work, "trees/a/pa.htm")).href + "#33"]]);
});

check("every person is filed once under each of its given names", () => {
  const filed = new Map();
  for (const file of fs.readdirSync(out).filter((f) => /^idx_search-given-.*\.js$/.test(f))) {
    let shard = null;
    const sandbox = { KSsearch: { shard: (name, data) => { shard = JSON.parse(data); } } };
    vm.runInNewContext(fs.readFileSync(path.join(out, file), "utf8"), sandbox);
    for (const [key, main, , persons] of shard)
      for (const [given] of persons) filed.set(key + "/" + main + "/" + given,
        (filed.get(key + "/" + main + "/" + given) || 0) + 1);
  }
  for (const [id, expected] of [["victoria/Hanover/Alexandrina Victoria", 1],
    ["alexandrina/Hanover/Alexandrina Victoria", 1], ["victoria//Victoria", 1],
    ["nobody//Nobody", 1], ["emmanuel/Saxe-Coburg/Francis Albert Augustus Charles Emmanuel", 1],
    ["jan/Berg/Jan Pieter", 1], ["pieter/Berg/Jan Pieter", 1], ["jan pieter/Berg/Jan Pieter", 0]])
    assert.strictEqual(filed.get(id) || 0, expected, id);
  assert.ok([...filed.values()].every((n) => n === 1), "filed twice");
});

check("the script gives every surname the sound keys the builder filed it under", () => {
  const filed = new Map();
  const keys = new Set();
  for (const file of fs.readdirSync(out).filter((f) => /^idx_search-.*\.js$/.test(f))) {
    let shard = null;
    const sandbox = { KSsearch: { shard: (name, data) => { shard = JSON.parse(data); } } };
    vm.runInNewContext(fs.readFileSync(path.join(out, file), "utf8"), sandbox);
    for (const [key, , , persons] of shard) {
      if (file.includes("-given-")) continue;
      if (!file.includes("-sound-")) keys.add(key);
      else for (const k of persons[0]) filed.set(k, [...(filed.get(k) || []), key]);
    }
  }
  assert.ok(keys.size > 50, "keys " + keys.size);
  for (const key of keys)
    assert.deepStrictEqual(filed.get(key) || [], [...KSsearch.soundKeys(key)], key);
  assert.deepStrictEqual([...KSsearch.soundKeys("meijer")], ["619000", "649000"]);
  assert.deepStrictEqual([...KSsearch.soundKeys("jackson")], ["145460", "154600", "445460", "454600"]);
});

check("a person of two trees links to both, relative to the output folder", async () => {
  const [hit] = (await find("berg jan")).hits;
  assert.strictEqual(hit.years, "1850-1910");
  assert.deepStrictEqual(hit.trees.map((t) => [t.number, t.title, t.href]), [
    [1, "Tree A", pathToFileURL(path.join(work, "trees/a/pa.htm")).href + "#1"],
    [2, "Tree B", pathToFileURL(path.join(work, "trees/b/sub/people/pb.htm")).href + "#i1"],
  ]);
  assert.ok(/"folder":"\.\.\/trees\/b\/sub\/"/.test(fs.readFileSync(catalogueFile, "latin1")));
});

check("a link that would run a script or leave for another host is shown without one",
  async () => {
    const hostile = searchOn(path.join(work, "hostile/idx_search.js"), []);
    const hits = (await find("hostile", 50, hostile)).hits;
    const links = Object.fromEntries(hits.map((h) => [h.given, h.trees.map((t) => t.href)]));
    const own = pathToFileURL(path.join(work, "hostile")).href;
    assert.deepStrictEqual(links, {
      "Deep": [null],
      "Deep 2": ["https://x.example/p?id=2#a"], // an address leads where it says
      "Deep 3": [null], "Deep 4": [null], // judged before the tree's folder is joined
      "Own 0": [null], "Own 1": [null], "Own 2": [null], "Own 3": [null], "Own 4": [null],
      "Own 5": [null], "Own 6": [null],
      "Own 7": [null], // another host as the tree gives it, whatever its folder
      "Own 8": [own + "/p.htm#ok"],
    });
    // The trees are still named.
    assert.deepStrictEqual(hits.find((h) => h.given === "Own 0").trees.map((t) => t.title),
      ["Own"]);
  });

check("the data of a base name that needs escapes is ASCII and its shards are found", async () => {
  const odd = path.join(work, "odd");
  for (const file of fs.readdirSync(odd).filter((f) => f.endsWith(".js")))
    assert.ok(fs.readFileSync(path.join(odd, file)).every((b) => b < 0x80), file);
  const loaded = [];
  const search = searchOn(path.join(odd, oddBase + "_search.js"), loaded);
  assert.deepStrictEqual(names(await find("berg jan", 50, search)), ["Berg, van den / Jan Pieter"]);
  assert.ok(loaded.length > 0 && loaded.every((f) => f.startsWith(oddBase + "_search-")), loaded.join(" "));
});

check("a query is read up to its first 200 characters", async () => {
  assert.deepStrictEqual(names(await find("berg jan" + " ".repeat(10000) + "zzz")),
    names(await find("berg jan")));
});

check("the script refuses the links the builder refuses, whatever the data says", () => {
  const cases = [
    ["p3.htm#i12", true], ["../tree1/p.htm", true], ["./javascript:x", true], ["#x:y", true],
    ["/abs/p.htm", true], ["http://example.org/", true], ["HTTPS://example.org/", true],
    ["  http://example.org/", true], ["1abc:x", true], ["j\u00e4vascript:x", true],
    ["\u00a0javascript:x", true], ["", true],
    ["javascript:alert(1)", false], ["JavaScript:x", false], ["   javascript:x", false],
    ["\u0001javascript:x", false], ["java\tscript:x", false], ["java\nscript:x", false],
    ["\u007fjavascript:x", false], ["\u0000javascript:x", false], ["p.htm\u001b", false],
    ["data:text/html,x", false], ["vbscript:x", false], ["file:///etc/passwd", false],
    ["c:/tree/p.htm", false], ["httpx://a/", false], ["//evil/p", false], ["\\\\evil\\p", false],
    ["/\\evil/", false], [null, false], [undefined, false], [42, false],
  ];
  for (const [link, safe] of cases)
    assert.strictEqual(KSsearch.safeLink(link), safe, JSON.stringify(link));
});

check("only the shards needed are loaded; a surname over several shards is found whole",
  async () => {
    // A page of its own: the searches above have loaded shards already.
    const loaded = [];
    const fresh = searchOn(catalogueFile, loaded);
    const search = (text, limit = 50) => find(text, limit, fresh);
    const first = await search("jansen", 10);
    assert.strictEqual(first.hits.length, 10);
    assert.ok(first.more);
    assert.deepStrictEqual(loaded, ["idx_search-ja.js"]);
    const all = await search("jans", 1000);
    assert.strictEqual(all.hits.length, 120);
    assert.ok(!all.more);
    assert.deepStrictEqual(all.hits.map((h) => h.given),
      jansen.map((line) => line[2]));
    assert.ok(loaded.length > 2, "shards " + loaded.join(" "));
    // and the sounds, for the names that sound alike, and the given names
    // that begin with the text, once the surnames leave room.
    assert.ok(loaded.every((f) => /^idx_search-(ja(_\d+)?|sound-\d+|given-j\w*)\.js$/.test(f)),
      loaded.join(" "));
    // Given names first: the whole surname is read over all its shards, a
    // beginning of one only in the first shard of its range.
    const names = (answer) => answer.hits.map((h) => h.surname + " / " + h.given);
    assert.deepStrictEqual(names(await search("G120 Jansen")), ["Jansen / G120"]);
    const fresher = [];
    const other = searchOn(catalogueFile, fresher);
    assert.deepStrictEqual(names(await find("g001 jans", 50, other)), ["Jansen / G001"]);
    assert.deepStrictEqual(fresher.filter((f) => !/-(sound|given)-/.test(f)).length, 1,
      fresher.join(" "));
    // The given name (the longest word) is read only in the shards of its letters.
    assert.ok(fresher.filter((f) => f.includes("-given-")).every((f) => f.includes("-given-g")),
      fresher.join(" "));
    loaded.length = 0;
    assert.deepStrictEqual((await search("vvv")).hits, []);
    assert.deepStrictEqual(loaded.filter((f) => !f.includes("-sound-")), []); // no shard of names
    loaded.length = 0;
    assert.deepStrictEqual(await search(" ,.'"), { hits: [], variants: [], more: false,
      failed: false, empty: true });
    assert.deepStrictEqual(loaded, []);
  });

check("both languages ship the same search script and template", () => {
  for (const file of ["kssearch.js", "search.tpl"]) {
    const gb = fs.readFileSync(path.join(dist, "GB/layout/search", file));
    const nl = fs.readFileSync(path.join(dist, "NL/layout/search", file));
    assert.ok(gb.equals(nl), file);
  }
});

check("no shard passes the limit the layout gave", () => {
  for (const file of fs.readdirSync(out).filter((f) => /^idx_search-.*\.js$/.test(f)))
    assert.ok(fs.statSync(path.join(out, file)).size <= 2000, file);
});

// --- A GEDCOM tree beside a program's own document of the same persons ---
// The tree holds medieval persons without a death, one the file keeps
// private, a living one, a baptism, a child dead by its parent's years, a
// person without a surname, Æ/Ø/Þ, an underscore in a name, a dual and a
// Julian year; the program's document holds some of them as it files them.

const ancestors = path.join(work, "ancestors");
fs.mkdirSync(path.join(ancestors, "ged"), { recursive: true });
fs.copyFileSync(path.join(source, "tests/data/import/ancestors/tree.ged"),
  path.join(ancestors, "ged/tree.ged"));
tree(path.join(ancestors, "prog/prog.htx"), "Program", [
  ["O", "\xd8stergaard", "Jan Jacob", "", "1687", "1716", "1", "p1.htm"],
  ["T", "\xde\xf3rsd\xf3ttir", "\xde\xf3ra", "", "1650", "", "2", "p2.htm"],
  ["A", "\xc6bel\xf8", "\xc6rling", "", "1702", "", "3", "p3.htm"],
  ["_", "_", "Matilda", "", "1102", "", "4", "p4.htm"],
  ["B", "Burke_Roche", "Frances", "", "1857", "1947", "5", "p5.htm"],
]);
const ancestorsEnv = Object.assign({}, process.env, {
  XDG_CONFIG_HOME: path.join(work, "config"), TMPDIR: work });
execFileSync(tool, ["import", "--link", "p/{id}.htm", "ged/tree.ged"],
  { cwd: ancestors, env: ancestorsEnv, stdio: ["ignore", "ignore", "pipe"] });
// The program's document names its start page.
fs.writeFileSync(path.join(ancestors, "prog/prog.htx"),
  fs.readFileSync(path.join(ancestors, "prog/prog.htx"), "latin1")
    .replace("[indexdata]", "htmfile=start.htm\r\n[indexdata]"), "latin1");
execFileSync(tool, ["build", "-q", "-o", "out", "-b", "idx", "ged/tree.htx", "prog/prog.htx"],
  { cwd: ancestors, env: ancestorsEnv, stdio: ["ignore", "ignore", "inherit"] });
const ancestorsOut = path.join(ancestors, "out");
const ancestorsSearch = searchOn(path.join(ancestorsOut, "idx_zoeken.js"), []);
const pagesText = () => fs.readdirSync(ancestorsOut).filter((f) => f.endsWith(".htm"))
  .map((f) => fs.readFileSync(path.join(ancestorsOut, f), "latin1")).join("\n");

check("a GEDCOM tree: the living and the private left out, the dead published", () => {
  const pages = pagesText();
  assert.ok(!/Keeper|Living/.test(pages), "a private or living person is published");
  for (const shown of ["Aquitaine", "Eleanor", "Pieter", "Anna", "Medici, de'", "Burke_Roche",
    "Isaac<span class=\"YR\"> (1643-)", "George<span class=\"YR\"> (1732-)"])
    assert.ok(pages.includes(shown), shown);
});

check("a GEDCOM tree: one entry per person under one letter, found by any name", async () => {
  for (const [query, surname, given] of [["\xf8stergaard", "\xd8stergaard", "Jan Jacob"],
    ["thorsdottir", "\xde\xf3rsd\xf3ttir", "\xde\xf3ra"], ["aebelo", "\xc6bel\xf8", "\xc6rling"],
    ["matilda", "", "Matilda"]]) {
    const hits = (await find(query, 50, ancestorsSearch)).hits;
    assert.deepStrictEqual(hits.map((h) => [h.surname, h.given, h.trees.map((t) => t.number)]),
      [[surname, given, [1, 2]]], query);
  }
  // The given names and the surname after its particle, as the GEDCOM file wrote them.
  for (const [query, first] of [["albert 1819", "Saxe-Coburg / Albert Augustus Charles"],
    ["medici", "Medici, de' / Cosimo"]])
    assert.strictEqual(names(await find(query, 50, ancestorsSearch))[0], first, query);
  const pages = pagesText();
  assert.ok(!/<title>[^<]*\?/.test(pages), "a page titled with \"?\"");
  assert.ok(pages.includes("<title>Naamindex Zonder achternaam"));
  assert.ok(pages.includes('href="../prog/start.htm">Program</a>'), "the title opens the tree");
});

// --- A UTF-8 tree beside a Windows-1252 one ------------------------------

const mixed = path.join(work, "mixed");
tree(path.join(mixed, "ansi.htx"), "Ansi", [["W", "Walesa", "Lech", "", "", "", "1", "a.htm"]]);
write(path.join(mixed, "utf8.htx"), Buffer.from("[KESTRIN]\r\nversion=3.1\r\ntype=htx\r\n" +
  "format=1\r\ncharset=utf-8\r\n[metadata]\r\ntitle=Utf\r\n[indexdata]\r\n" +
  "W\tWa\u0142\u0119sa\tLech\t\t\t\t1\tu.htm\r\n" +
  "\u03a0\t\u03a0\u03b1\u03c0\u03b1\u03b4\u03cc\u03c0\u03bf\u03c5\u03bb\u03bf\u03c2\t" +
  "\u0393\u03b9\u03ce\u03c1\u03b3\u03bf\u03c2\t\t\t\t2\tu.htm\r\n", "utf8").toString("latin1"));
execFileSync(tool, ["build", "-q", "-l", path.join(work, "layout/t.ksl"), "-o", "out", "-b", "idx",
  "ansi.htx", "utf8.htx"], { cwd: mixed, env: ancestorsEnv, stdio: ["ignore", "ignore", "inherit"] });

check("a name outside the code page is found as written and without its accents", async () => {
  const mixedSearch = searchOn(path.join(mixed, "out/idx_search.js"), []);
  const both = ["Walesa / Lech", "Wa\u0142\u0119sa / Lech"];
  for (const query of ["walesa", "Wa\u0142\u0119sa", "WA\u0141\u0118SA"])
    assert.deepStrictEqual(names(await find(query, 50, mixedSearch)), both, query);
  for (const query of ["\u03c0\u03b1\u03c0\u03b1\u03b4\u03bf\u03c0\u03bf\u03c5\u03bb\u03bf\u03c3",
    "\u03a0\u0391\u03a0\u0391\u0394\u038c\u03a0\u039f\u03a5\u039b\u039f\u03a3 \u03b3\u03b9\u03c9\u03c1\u03b3\u03bf\u03c3"])
    assert.deepStrictEqual(names(await find(query, 50, mixedSearch)),
      ["\u03a0\u03b1\u03c0\u03b1\u03b4\u03cc\u03c0\u03bf\u03c5\u03bb\u03bf\u03c2 / " +
        "\u0393\u03b9\u03ce\u03c1\u03b3\u03bf\u03c2"], query);
});

(async () => {
  let failed = 0;
  for (const [name, f] of checks) {
    try {
      await f();
      console.log("ok " + name);
    } catch (e) {
      failed++;
      console.log("FAILED " + name + "\n" + (e.stack || e));
    }
  }
  console.log(checks.length - failed + " passed, " + failed + " failed");
  process.exit(failed ? 1 : 0);
})();
