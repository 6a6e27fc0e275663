/* KESTRIN HTML verzamelindex - search across all trees of a combined index.

   Needs no server: it works from file:// and from any static web host. The
   page holds an empty element <div class="KSVIsearch"></div> (its data-
   attributes carry the texts, below), this script, and the catalogue that
   the builder variable SEARCHDATA writes. The catalogue lists the family
   trees and the shards of names (by surname, by given name, and the
   surnames under their sound keys); a shard is loaded, as a script, only
   when a search needs it.

   Texts (data- attributes of the element; %1 stands for a number):
     data-label, data-placeholder, data-hint, data-none, data-one,
     data-found, data-many, data-more, data-loading, data-failed,
     data-variants (above the persons of surnames that sound alike).
   data-inframe="hide" leaves the box out when the page is shown in a frame
   (beside a page that has a search box of its own). Links to the trees
   open in the whole window when the page is in a frame.

   Hooks for tests: the input is #KSVIsearchInput, the status line
   #KSVIsearchStatus, the list #KSVIsearchResults with one li.KSVIsearchHit
   per person; the element's data-state is "idle", "searching", "done",
   "failed" or "hidden" (data-inframe), and data-ms the time of the last
   search in milliseconds (data-ms-first: until the persons found by their
   spelling were shown, before those of names that sound alike). A page
   opened with ?q=TEXT searches for TEXT at once, and each search puts its
   text there. The arrow keys go from the input through the persons found
   (left and right through a person's trees); Enter follows the link in
   focus. A link of the data that may not be followed (null, or another
   scheme than http and https) is shown as a tree without href.
   KSsearch.find(text, limit, callback, early) searches without a page;
   KSsearch.load(url, done) loads a file and may be replaced (node tests);
   bench/search-browser.js types into the box in headless Chromium. */
(function (global) {
  "use strict";

  var KSsearch = global.KSsearch = global.KSsearch || {};
  var state = {
    catalogue: null,
    base: "",
    prefixes: {},
    shards: {},   // file name -> surnames
    waiting: {},  // file name -> callbacks
    queued: [],   // searches waiting for the catalogue
    missing: false // the page has loaded without the catalogue
  };

  var DEFAULTS = {
    label: "Search a person in all family trees",
    placeholder: "surname, given names",
    hint: "Type the beginning of a surname, and given names if you like.",
    none: "No person found.",
    one: "1 person found.",
    found: "%1 persons found.",
    many: "The first %1 persons found; type more of the name, or show more.",
    more: "Show more",
    loading: "Searching\u2026",
    variants: "Names that sound alike:",
    failed: "The search data could not be loaded."
  };
  var PAGE = 50;
  /* A query is read up to this many characters: names with years are far
     shorter, and a longer text (pasted, or given by a link's ?q=) would only
     make work for the page. */
  var LONGEST = 200;

  /* Folding: the same as the builder's keys. Letters lose their accents and
     case, ligatures and the sharp s are spelled out; of the characters of
     Windows-1252 anything but a to z and digits is left out, while a letter
     or digit of another script is kept (without its marks), so that names
     in Greek, Cyrillic or Hebrew are found as typed. */
  var SPELLED = {
    "\u00e6": "ae", "\u0153": "oe", "\u00f8": "o", "\u00df": "ss", "\u00f0": "d",
    "\u0111": "d", "\u00fe": "th", "\u0142": "l", "\u0131": "i", "\u0192": "f",
    "\u0127": "h", "\u0167": "t", "\u014b": "n", "\u0138": "k", "\u03c2": "\u03c3"
  };
  /* The characters of Windows-1252 beyond ASCII. */
  var CP1252 = /[\u0080-\u00ff\u0152\u0153\u0160\u0161\u0178\u017d\u017e\u0192\u02c6\u02dc\u2013\u2014\u2018-\u201a\u201c-\u201e\u2020-\u2022\u2026\u2030\u2039\u203a\u20ac\u2122]/;
  /* A letter or digit of any script; an older browser that lacks the
     pattern leaves other scripts out, as before. */
  var LETTER = null;
  try { LETTER = new RegExp("^[\\p{L}\\p{Nd}]$", "u"); } catch (e) { LETTER = null; }

  function foldPart(c, other) {
    if ((c >= "a" && c <= "z") || (c >= "0" && c <= "9")) return c;
    if (Object.prototype.hasOwnProperty.call(SPELLED, c)) return SPELLED[c];
    return other && LETTER && LETTER.test(c) ? c : "";
  }

  function fold(text) {
    var s = String(text).toLowerCase();
    if (!s.normalize || !/[^\u0000-\u007f]/.test(s)) {
      var plain = "";
      for (var i = 0; i < s.length; i++) plain += foldPart(s.charAt(i), false);
      return plain;
    }
    var out = "";
    var chars = Array.from(s);
    for (var k = 0; k < chars.length; k++) {
      var other = !CP1252.test(chars[k]) && chars[k] > "\u007f";
      var parts = Array.from(chars[k].normalize(other ? "NFKD" : "NFD"));
      for (var j = 0; j < parts.length; j++) out += foldPart(parts[j], other);
    }
    return out;
  }

  function foldedWords(text) {
    var parts = String(text).split(/[\s,]+/);
    var words = [];
    for (var i = 0; i < parts.length; i++) {
      var w = fold(parts[i]);
      if (w) words.push(w);
    }
    return words;
  }

  /* Years in the query: "1780" or "1750-1800" (in either order), standing
     apart from the names. They are taken out of the text before the names
     are read. */
  var YEARS = /(^|[\s,])(\d{3,4})(?:\s*[-\u2013]\s*(\d{3,4}))?(?=$|[\s,])/g;

  function takeYears(text) {
    var from = null, to = null;
    var rest = String(text).replace(YEARS, function (all, before, a, b) {
      var lo = +a, hi = b === undefined ? lo : +b;
      if (hi < lo) { var t = lo; lo = hi; hi = t; }
      // Several years or ranges: the span that covers them all.
      from = from === null ? lo : Math.min(from, lo);
      to = to === null ? hi : Math.max(to, hi);
      return before + " ";
    });
    return { text: rest, from: from, to: to };
  }

  function dropPrefixes(words) {
    while (words.length > 1 && state.prefixes[words[0]]) words.shift();
    return words;
  }

  /* The readings of a query: each a surname key to look up and given names
     that must begin words of the person's given names. "Berg, Jan" has one;
     without a comma the first word may be the surname ("Jansen Pieter"),
     all words together may be one ("Smith Jones"), or the last word may be
     the surname with the given names in front ("Pieter van den Jansen").
     The last reading (byGiven) looks one word up among the given names,
     wherever it stands in them, with the other words as beginnings of the
     person's other names, surname included: "victoria", "albert 1819",
     "Albert Augustus Charles". The word is the one the fewest shards of
     given names may hold, else the longest: a rare name is read through
     quickly, a common one alongside it is checked person by person. A word
     behind a prefix word is read as a surname only. */
  function parse(text) {
    var years = takeYears(String(text).slice(0, LONGEST));
    text = years.text;
    var comma = text.indexOf(",");
    var names = dropPrefixes(foldedWords(comma < 0 ? text : text.slice(0, comma)));
    var given = comma < 0 ? [] : dropPrefixes(foldedWords(text.slice(comma + 1)));
    if (given.length === 1 && state.prefixes[given[0]]) given = []; // "Berg, van den"
    if (!names.length) return null;
    var readings = [];
    if (comma >= 0) {
      readings.push({ surname: names.join(""), given: given });
    } else {
      readings.push({ surname: names[0], given: names.slice(1) });
      if (names.length > 1) {
        readings.push({ surname: names.join(""), given: [], other: true });
        var last = names[names.length - 1], front = names.slice(0, -1);
        while (front.length && state.prefixes[front[front.length - 1]]) front.pop();
        if (front.length && !state.prefixes[last])
          readings.push({ surname: last, given: front, other: true });
      }
      var byGiven = givenReading(names);
      if (byGiven) readings.push(byGiven);
    }
    return { readings: readings, from: years.from, to: years.to };
  }

  function givenReading(names) {
    var words = [], at = -1, fewest = 0;
    for (var i = 0; i < names.length; i++) {
      if (state.prefixes[names[i]]) continue;
      var surnameOnly = i > 0 && state.prefixes[names[i - 1]];
      var shards = state.catalogue ? candidates(names[i], true).length : 0;
      if (!surnameOnly && (at < 0 || shards < fewest ||
                           (shards === fewest && names[i].length > words[at].length))) {
        at = words.length;
        fewest = shards;
      }
      words.push(names[i]);
    }
    if (at < 0) return null;
    var key = words.splice(at, 1)[0];
    return { surname: key, given: words, byGiven: true };
  }

  function startsWith(text, start) {
    return text.lastIndexOf(start, 0) === 0;
  }

  // The shards that may hold keys beginning with prefix, in order: those of
  // given names for a reading by given names.
  function candidates(prefix, byGiven) {
    var list = [];
    var shards = (byGiven ? state.catalogue.given : state.catalogue.shards) || [];
    for (var i = 0; i < shards.length; i++) {
      var first = shards[i][0], last = shards[i][1];
      if (last >= prefix && (first < prefix || startsWith(first, prefix))) list.push(shards[i]);
    }
    return list;
  }

  /* How the typed given names match a person's: -1 not at all, 0 each as a
     whole word, 1 some only as the beginning of one. Each typed word takes
     a word of its own, whole matches first. */
  function givenMatch(person, words) {
    if (!words.length) return 0;
    if (!person.words) person.words = foldedWords(person[0]);
    return wordsMatch(person.words, words, []);
  }

  // The same over a list of names; used marks those already taken.
  function wordsMatch(names, words, used) {
    var whole = true;
    for (var i = 0; i < words.length; i++) {
      var at = -1;
      for (var k = 0; k < names.length && at < 0; k++)
        if (!used[k] && names[k] === words[i]) at = k;
      if (at < 0) {
        whole = false;
        for (k = 0; k < names.length && at < 0; k++)
          if (!used[k] && startsWith(names[k], words[i])) at = k;
      }
      if (at < 0) return -1;
      used[at] = true;
    }
    return whole ? 0 : 1;
  }

  /* The key of a surname of the shards of given names (whose first field is
     the given name) and its words, as the builder makes them; "" without a
     surname. */
  function surnameKey(s) {
    if (s.key === undefined) {
      var words = dropPrefixes(foldedWords(s[1]));
      s.key = words.join("");
      s.words = words.length > 1 ? [s.key].concat(words) : words;
    }
    return s.key;
  }

  /* How a person filed under the given name key matches a reading by given
     names: that given name takes the word looked up, the other words begin
     the person's other given names or the surname. 0 when every word is
     whole, 1 when some only begin one, -1 not at all. */
  function nameMatch(s, person, key, r) {
    if (!person.words) person.words = foldedWords(person[0]);
    surnameKey(s);
    var names = person.words.concat(s.words), used = [];
    used[person.words.indexOf(key)] = true;
    var match = wordsMatch(names, r.given, used);
    return match < 0 ? -1 : key === r.surname ? match : 1;
  }

  // Whether the years of a person fall in or touch from..to. A person
  // without years is left out once years are asked for.
  function yearsMatch(person, q) {
    if (q.from === null) return true;
    var found = String(person[1]).match(/\d{3,4}/g);
    if (!found) return false;
    var lo = Infinity, hi = -Infinity;
    for (var i = 0; i < found.length; i++) {
      lo = Math.min(lo, +found[i]);
      hi = Math.max(hi, +found[i]);
    }
    return hi >= q.from && lo <= q.to;
  }

  /* Adds the matches of one shard for one reading to c.hits. Keys come in
     order, so the surname typed whole comes before the longer ones it
     begins; whole matches are found there only. True once enough are
     found: more than c.max whole matches, or more than c.max in all after
     the run of the whole surname. */
  function scan(surnames, q, c) {
    var r = c.reading;
    // The keys of a shard are in order: the first that may match is sought.
    var lo = 0, hi = surnames.length;
    while (lo < hi) {
      var mid = (lo + hi) >> 1;
      if (surnames[mid][0] < r.surname) lo = mid + 1;
      else hi = mid;
    }
    for (var i = lo; i < surnames.length; i++) {
      var s = surnames[i], key = s[0];
      if (!startsWith(key, r.surname)) return true; // past every key it begins

      if (key !== r.surname) {
        if (c.exact) return true; // the longer keys it begins come after it
        c.passed = true;
      }
      if (c.passed && c.hits.length > c.max) return true;
      var persons = s[3];
      for (var k = 0; k < persons.length; k++) {
        var person = persons[k];
        if (!yearsMatch(person, q)) continue;
        var match = r.byGiven ? nameMatch(s, person, key, r) : givenMatch(person, r.given);
        if (match < 0) continue;
        var tier = r.byGiven ? match : key === r.surname && match === 0 ? 0 : 1;
        c.hits.push({ tier: tier, surname: s, person: person, order: c.hits.length,
                      byGiven: r.byGiven ? 1 : 0, distance: c.distance || 0 });
        if (tier === 0 && ++c.whole > c.max) return true;
        if (c.passed && c.hits.length > c.max) return true;
      }
    }
    return false;
  }

  function resolve(path) {
    try {
      return new URL(path, state.base).href;
    } catch (e) {
      var a = global.document.createElement("a");
      a.href = path;
      return a.href;
    }
  }

  /* Whether a link may be followed: a relative path or an http(s) address,
     as the builder decides for the pages (another scheme such as
     javascript:, a control character or another host never is). */
  function safeLink(link) {
    if (typeof link !== "string" || /[\u0000-\u001f\u007f]/.test(link)) return false;
    link = link.replace(/^ +/, "");
    if (/^[\/\\]{2}/.test(link)) return false;
    var scheme = /^([a-z][a-z0-9+.\-]*):/i.exec(link);
    return !scheme || /^https?$/i.test(scheme[1]);
  }

  // A tree whose link may not be followed is shown without one (href null).
  function hit(surname, person, whole) {
    var trees = [], refs = person[2];
    for (var i = 0; i + 1 < refs.length; i += 2) {
      var tree = state.catalogue.trees[refs[i]];
      if (!tree) continue;
      var link = refs[i + 1];
      // An http(s) address leads where it says; other links are the tree's.
      // Judged as the tree gives it too: joined to a folder, any link reads as a path.
      if (!safeLink(link)) link = null;
      else if (!/^https?:\/\//i.test(link)) link = tree.folder + link;
      trees.push({ number: tree.number, title: tree.title,
                   href: safeLink(link) ? resolve(link) : null });
    }
    return { surname: surname[1], prefix: surname[2], given: person[0], years: person[1],
             trees: trees, whole: whole };
  }

  /* Loading. A shard calls KSsearch.shard(file, surnames) when it runs;
     each surname is [key, surname, prefix, persons], each person [given
     names, years, [tree, link, tree, link, ...]]. In the shards of given
     names the key is a given name (folded) and the surname is empty for a
     person without one. */
  KSsearch.load = function (url, done) {
    var script = global.document.createElement("script");
    script.src = url;
    script.async = true;
    script.onload = function () { done(true); };
    script.onerror = function () { done(false); };
    (global.document.head || global.document.documentElement).appendChild(script);
  };

  function loadShard(file, done) {
    if (state.shards[file]) return done(true);
    if (state.waiting[file]) return state.waiting[file].push(done);
    state.waiting[file] = [done];
    KSsearch.load(resolve(file), function () {
      var list = state.waiting[file] || [];
      delete state.waiting[file];
      for (var i = 0; i < list.length; i++) list[i](!!state.shards[file]);
    });
  }

  // The surnames come as JSON in a string: read much faster than a literal.
  KSsearch.shard = function (file, surnames) {
    state.shards[file] = typeof surnames === "string" ? JSON.parse(surnames) : surnames;
  };

  KSsearch.catalogue = function (catalogue, url) {
    var script = global.document && global.document.currentScript;
    state.catalogue = catalogue;
    state.base = url || (script && script.src) || "";
    state.prefixes = {};
    for (var i = 0; i < catalogue.prefixes.length; i++) state.prefixes[catalogue.prefixes[i]] = true;
    var queued = state.queued;
    state.queued = [];
    for (var k = 0; k < queued.length; k++) queued[k]();
  };

  /* Sound keys: the same as the builder's. Each spelling has codes at the
     start of a name, before a vowel and elsewhere ("-": not coded), and
     after "|" those of another way to say it. */
  var SOUND_RULES =
    "ai,aj,ay=0,1,-;au=0,7,-;a=0,-,-;b=7,7,7;chs=5,54,54;ch=5,5,5|4,4,4;" +
    "ck=5,5,5|45,45,45;c=5,5,5|4,4,4;cz,cs,csz,czs=4,4,4;" +
    "drz,drs,ds,dsh,dsz,dz,dzh,dzs=4,4,4;d,dt=3,3,3;ei,ej,ey=0,1,-;eu=1,1,-;" +
    "e=0,-,-;f,fb=7,7,7;g=5,5,5;h=5,5,-;ia,ie,io,iu=1,-,-;i=0,-,-;" +
    "j=1,1,1|4,4,4;k,kh=5,5,5;ks=5,54,54;l=8,8,8;m,n=6,6,6;mn,nm=66,66,66;" +
    "oi,oj,oy=0,1,-;o=0,-,-;p,pf,ph=7,7,7;q=5,5,5;r=9,9,9;rz,rs=94,94,94|4,4,4;" +
    "schtsch,schtsh,schtch,shtch,shch,shtsh,stch,stsch,sc,strz,strs,stsh," +
    "szcz,szcs=2,4,4;sch,sh,sz,s=4,4,4;sht,scht,schd,st,szt,shd,szd,sd=2,43,43;" +
    "t,th=3,3,3;tch,ttch,ttsch,trz,trs,tsch,tsh,ts,tts,ttsz,tc,tz,ttz,tzs," +
    "tsz=4,4,4;ui,uj,uy=0,1,-;u,ue=0,-,-;v,w=7,7,7;x=5,54,54;y=1,-,-;" +
    "zdz,zdzh,zhdzh=2,4,4;zd,zhd=2,43,43;z,zh,zs,zsch,zsh=4,4,4";
  var soundRules = null;

  function readSoundRules() {
    var rules = {}, entries = SOUND_RULES.split(";");
    for (var i = 0; i < entries.length; i++) {
      var parts = entries[i].split("="), ways = parts[1].split("|");
      for (var w = 0; w < ways.length; w++) {
        ways[w] = ways[w].split(",");
        for (var k = 0; k < 3; k++) if (ways[w][k] === "-") ways[w][k] = "";
      }
      var spellings = parts[0].split(",");
      for (var s = 0; s < spellings.length; s++) rules[spellings[s]] = ways;
    }
    return rules;
  }

  function endsWith(text, end) {
    return text.length >= end.length && text.slice(text.length - end.length) === end;
  }

  /* The digits of the branches as nodes of a tree, a digit a step: equal
     digits are the same node, so branches are told apart and grown without
     copying their digits, however long the name. Each node keeps its first
     six digits, all a key needs. */
  function DigitTree() {
    this.child = {};
    this.head = [""];
  }
  DigitTree.prototype.add = function (node, code) {
    for (var i = 0; i < code.length; i++) {
      var edge = node + code.charAt(i), next = this.child[edge];
      if (next === undefined) {
        next = this.child[edge] = this.head.length;
        var head = this.head[node];
        this.head.push(head.length < 6 ? head + code.charAt(i) : head);
      }
      node = next;
    }
    return node;
  };

  // The sound keys of a surname key: six digits each, sorted, once each.
  function soundKeys(key) {
    if (!soundRules) soundRules = readSoundRules();
    var letters = String(key).replace(/[^a-z]/g, "");
    if (!letters) return [];
    var tree = new DigitTree();
    var branches = [{ digits: 0, last: "" }];
    for (var at = 0; at < letters.length;) {
      var ways = null, length = Math.min(7, letters.length - at);
      for (; length > 0 && !ways; length--) {
        var spelling = letters.substr(at, length);
        if (Object.prototype.hasOwnProperty.call(soundRules, spelling)) ways = soundRules[spelling];
      }
      length++;
      var next = at + length;
      var where = at === 0 ? 0 : next < letters.length && /[aeiou]/.test(letters.charAt(next)) ? 1 : 2;
      var grown = [], seen = {};
      for (var b = 0; b < branches.length; b++) {
        for (var w = 0; w < ways.length; w++) {
          var code = ways[w][where], branch = branches[b];
          var digits = code && !endsWith(branch.last, code) ? tree.add(branch.digits, code) : branch.digits;
          var id = digits + "/" + code;
          if (seen[id] || grown.length >= 32) continue;
          seen[id] = true;
          grown.push({ digits: digits, last: code });
        }
      }
      branches = grown;
      at = next;
    }
    var keys = [];
    for (var i = 0; i < branches.length; i++) {
      var d = (tree.head[branches[i].digits] + "000000").slice(0, 6);
      if (keys.indexOf(d) < 0) keys.push(d);
    }
    return keys.sort();
  }

  /* The surname keys filed under a sound key; done(keys), or done(null)
     when the data cannot be loaded. */
  function soundLookup(sound, done) {
    var list = state.catalogue.sounds || [];
    for (var i = 0; i < list.length; i++) {
      if (list[i][0] > sound || list[i][1] < sound) continue;
      return loadShard(list[i][2], function (ok) {
        if (!ok) return done(null);
        var entries = state.shards[list[i][2]];
        for (var k = 0; k < entries.length; k++)
          if (entries[k][0] === sound) return done(entries[k][3][0]);
        done([]);
      });
    }
    done([]);
  }

  // Runs step(item, next) for each item in turn, then done().
  function each(items, step, done) {
    var i = 0;
    (function next() {
      if (i >= items.length) return done();
      step(items[i++], next);
    })();
  }

  /* The number of letters to add, leave out or change to make b of a. */
  function editDistance(a, b) {
    var row = [];
    for (var j = 0; j <= b.length; j++) row.push(j);
    for (var i = 1; i <= a.length; i++) {
      var diagonal = row[0];
      row[0] = i;
      for (j = 1; j <= b.length; j++) {
        var above = row[j];
        row[j] = Math.min(above + 1, row[j - 1] + 1,
                          diagonal + (a.charAt(i - 1) === b.charAt(j - 1) ? 0 : 1));
        diagonal = above;
      }
    }
    return row[b.length];
  }

  /* The persons of the surnames that sound like a reading's surname but are
     not found by it (their keys do not begin with it): the surnames closest
     to the one typed first (fewest letters changed), each ranked like the
     others, at most limit + 1. done(found) or done(null) on a failure. */
  function variants(q, limit, exact, done) {
    var keys = [], taken = {}, failed = false, found = [];
    var bySurname = q.readings.filter(function (reading) { return !reading.byGiven; });
    each(bySurname, function (reading, next) {
      if (reading.surname.length < 2) return next(); // one letter sounds like too much
      each(soundKeys(reading.surname), function (sound, nextSound) {
        soundLookup(sound, function (list) {
          if (!list) failed = true;
          for (var i = 0; list && i < list.length; i++) {
            var key = list[i], own = false;
            for (var r = 0; r < bySurname.length; r++)
              own = own || startsWith(key, bySurname[r].surname);
            var id = key + "/" + reading.given.join(" ");
            if (!own && !taken[id])
              keys.push({ surname: key, given: reading.given,
                          distance: editDistance(reading.surname, key) });
            taken[id] = true;
          }
          nextSound();
        });
      }, next);
    }, function () {
      if (failed) return done(null);
      keys.sort(function (a, b) {
        return a.distance - b.distance || (a.surname < b.surname ? -1 : a.surname > b.surname ? 1 : 0);
      });
      each(keys, function (reading, next) {
        // Enough found: the surnames further from the one typed come after.
        if (found.length > limit) return next();
        var c = { reading: reading, max: limit, hits: [], whole: 0, passed: false, exact: true,
                  distance: reading.distance };
        gather(q, c, function (bad) {
          failed = failed || bad;
          for (var i = 0; i < c.hits.length; i++) {
            if (exact.has(personId(c.hits[i]))) continue;
            c.hits[i].reading = 0;
            found.push(c.hits[i]);
          }
          next();
        });
      }, function () {
        done(failed ? null : found);
      });
    });
  }

  // Gathers the matches of one reading, loading its shards one by one;
  // done(failed) when enough are found or the shards are through.
  function gather(q, c, done) {
    var list = candidates(c.reading.surname, c.reading.byGiven), i = 0;
    (function next() {
      while (i < list.length) {
        // Another reading of the words looks at the whole surname typed, and
        // at the longer ones it begins only in the shard where that one ends:
        // a common first name read as a surname would load many shards.
        if (c.reading.other && c.passed && i > c.passedAt) break;
        var surnames = state.shards[list[i][2]];
        if (!surnames) {
          loadShard(list[i][2], function (ok) {
            if (ok) next();
            else done(true);
          });
          return;
        }
        if (scan(surnames, q, c)) break;
        if (!c.passed) c.passedAt = i + 1;
        i++;
      }
      done(false);
    })();
  }

  function givenOrder(person) {
    if (!person.words) person.words = foldedWords(person[0]);
    return person.words.join(" ");
  }

  /* A person's surname key for the order: a person without a surname comes
     after those with one. */
  function orderKey(h) {
    var key = h.byGiven ? surnameKey(h.surname) : h.surname[0];
    return key === "" ? "\uffff" : key;
  }

  /* Whole matches first (of the surname, then of given names), then
     beginnings; of surnames that sound alike those closest to the surname
     typed first; then by surname and given names. */
  function ranked(a, b) {
    if (a.distance !== b.distance) return a.distance - b.distance;
    if (a.tier !== b.tier) return a.tier - b.tier;
    if (a.byGiven !== b.byGiven) return a.byGiven - b.byGiven;
    var keys = [[orderKey(a), orderKey(b)], [a.surname[1], b.surname[1]],
                [a.surname[2], b.surname[2]], [givenOrder(a.person), givenOrder(b.person)]];
    for (var i = 0; i < keys.length; i++)
      if (keys[i][0] !== keys[i][1]) return keys[i][0] < keys[i][1] ? -1 : 1;
    return a.reading - b.reading || a.order - b.order;
  }

  /* What tells a person apart, the same in the shards of surnames and of
     given names. */
  function personId(h) {
    var p = h.person;
    if (p.id === undefined)
      p.id = JSON.stringify([h.surname[1], h.surname[2], p[0], p[1], p[2]]);
    return p.id;
  }

  // The persons of found, ranked, each once (seen: those listed already).
  function listed(found, seen) {
    found.sort(ranked);
    var hits = [];
    for (var i = 0; i < found.length; i++) {
      var id = personId(found[i]);
      if (seen.has(id)) continue;
      seen.add(id);
      hits.push(hit(found[i].surname, found[i].person, found[i].tier === 0));
    }
    return hits;
  }

  function wholeFound(found) {
    var n = 0;
    for (var i = 0; i < found.length; i++) if (found[i].tier === 0) n++;
    return n;
  }

  /* Searches text; callback gets { hits, variants, more, failed }: the first
     limit persons found, ranked, then those of surnames that sound alike
     (while room is left), and whether there are more. Every reading of the
     text is looked up; a person found by several counts once. early, when
     given, gets the persons found by their spelling first, with variants
     still to come (pending: true). */
  KSsearch.find = function (text, limit, callback, early) {
    if (!state.catalogue) {
      if (state.missing) return callback({ hits: [], variants: [], more: false, failed: true });
      state.queued.push(function () { KSsearch.find(text, limit, callback, early); });
      return;
    }
    var q = parse(text);
    if (!q) return callback({ hits: [], variants: [], more: false, failed: false, empty: true });
    var found = [], r = 0;
    (function next() {
      // Whole surnames enough to fill the list: the given names come after.
      if (r < q.readings.length && q.readings[r].byGiven && wholeFound(found) > limit)
        r = q.readings.length;
      if (r < q.readings.length) {
        var c = { reading: q.readings[r], max: limit, hits: [], whole: 0, passed: false, passedAt: 0 };
        return gather(q, c, function (failed) {
          for (var i = 0; i < c.hits.length; i++) {
            c.hits[i].reading = r;
            found.push(c.hits[i]);
          }
          if (failed) return callback({ hits: [], variants: [], more: false, failed: true });
          r++;
          next();
        });
      }
      var seen = new Set();
      var hits = listed(found, seen);
      var answer = { hits: hits.slice(0, limit), variants: [], more: hits.length > limit,
                     failed: false };
      if (answer.more || !state.catalogue.sounds) return callback(answer);
      if (early) early({ hits: answer.hits, variants: [], more: false, failed: false, pending: true });
      variants(q, limit, seen, function (others) {
        // Without the data of sounds the persons found by spelling still stand.
        if (!others) return callback(answer);
        var room = limit - answer.hits.length;
        var list = listed(others, seen);
        answer.variants = list.slice(0, room);
        answer.more = list.length > room;
        callback(answer);
      });
    })();
  };

  KSsearch.fold = fold;
  KSsearch.soundKeys = soundKeys;
  KSsearch.parse = parse;
  KSsearch.safeLink = safeLink;

  /* The search box. */
  function element(tag, className, text) {
    var e = global.document.createElement(tag);
    if (className) e.className = className;
    if (text) e.appendChild(global.document.createTextNode(text));
    return e;
  }

  function texts(box) {
    var t = {};
    for (var name in DEFAULTS) {
      var value = box.getAttribute("data-" + name);
      t[name] = value === null ? DEFAULTS[name] : value;
    }
    return t;
  }

  function renderHit(h, framed) {
    var li = element("li", "KSVIsearchHit");
    var name = element("span", "KSVIsearchName");
    // A person without a surname is named by the given names alone.
    if (h.surname) {
      name.appendChild(element("span", "KSVIsearchSurname", h.surname));
      name.appendChild(global.document.createTextNode(", "));
    }
    name.appendChild(global.document.createTextNode(h.given + (h.prefix ? " " + h.prefix : "")));
    li.appendChild(name);
    if (h.years) {
      li.appendChild(global.document.createTextNode(" "));
      li.appendChild(element("span", "KSVIsearchYears", h.years));
    }
    li.appendChild(global.document.createTextNode(" "));
    var trees = element("span", "KSVIsearchTrees");
    for (var i = 0; i < h.trees.length; i++) {
      // The number of the tree (as in the index) and its title: a layout
      // may show either.
      var a = element("a", "KSVIsearchTree");
      a.appendChild(element("span", "KSVIsearchTreeNumber", String(h.trees[i].number)));
      a.appendChild(global.document.createTextNode(" "));
      a.appendChild(element("span", "KSVIsearchTreeTitle", h.trees[i].title));
      if (h.trees[i].href) a.href = h.trees[i].href;
      a.title = h.trees[i].title;
      if (framed) a.target = "_top";
      trees.appendChild(a);
      trees.appendChild(global.document.createTextNode(" "));
    }
    li.appendChild(trees);
    return li;
  }

  function setUp(box, number) {
    var t = texts(box);
    var suffix = number > 1 ? String(number) : "";
    var framed = global.top !== global.self;
    // A page shown in a pane beside a page with its own search box.
    if (framed && box.getAttribute("data-inframe") === "hide") {
      box.hidden = true;
      box.setAttribute("data-state", "hidden");
      return;
    }
    var form = element("form", "KSVIsearchForm");
    form.setAttribute("role", "search");
    var label = element("label", "KSVIsearchLabel", t.label);
    label.htmlFor = "KSVIsearchInput" + suffix;
    var input = element("input", "KSVIsearchInput");
    input.type = "search";
    input.id = "KSVIsearchInput" + suffix;
    input.placeholder = t.placeholder;
    input.setAttribute("autocomplete", "off");
    input.setAttribute("autocapitalize", "off");
    input.setAttribute("spellcheck", "false");
    input.setAttribute("aria-describedby", "KSVIsearchHint" + suffix + " KSVIsearchStatus" + suffix);
    input.setAttribute("aria-controls", "KSVIsearchResults" + suffix);
    var hint = element("p", "KSVIsearchHint", t.hint);
    hint.id = "KSVIsearchHint" + suffix;
    var status = element("p", "KSVIsearchStatus");
    status.id = "KSVIsearchStatus" + suffix;
    status.setAttribute("role", "status");
    status.setAttribute("aria-live", "polite");
    var results = element("ol", "KSVIsearchResults");
    results.id = "KSVIsearchResults" + suffix;
    results.setAttribute("aria-labelledby", status.id);
    var more = element("button", "KSVIsearchMore", t.more);
    more.type = "button";
    more.hidden = true;
    form.appendChild(label);
    form.appendChild(input);
    form.appendChild(hint);
    box.appendChild(form);
    box.appendChild(status);
    box.appendChild(results);
    box.appendChild(more);
    box.setAttribute("data-state", "idle");

    var limit = PAGE, serial = 0, timer = null;
    function show(answer, started) {
      results.innerHTML = "";
      for (var i = 0; i < answer.hits.length; i++) results.appendChild(renderHit(answer.hits[i], framed));
      var variants = answer.variants || [];
      // Surnames that sound alike come after those spelled as typed.
      if (variants.length) results.appendChild(element("li", "KSVIsearchVariants", t.variants));
      for (i = 0; i < variants.length; i++) {
        var li = renderHit(variants[i], framed);
        li.className += " KSVIsearchVariant";
        results.appendChild(li);
      }
      var n = answer.hits.length + variants.length;
      status.textContent = answer.failed ? t.failed
        : answer.empty ? ""
        : answer.more ? t.many.replace("%1", n)
        : n === 0 ? t.none : n === 1 ? t.one : t.found.replace("%1", n);
      more.hidden = !answer.more;
      var ms = String(Math.round(now() - started));
      // Shown while the names that sound alike are still looked up.
      if (answer.pending) return box.setAttribute("data-ms-first", ms);
      if (!box.hasAttribute("data-ms-first") || answer.empty) box.setAttribute("data-ms-first", ms);
      box.setAttribute("data-state", answer.failed ? "failed" : answer.empty ? "idle" : "done");
      box.setAttribute("data-ms", ms);
    }
    function run() {
      var mine = ++serial, text = input.value, started = now();
      remember(text);
      // Later typing makes the answer to this search out of date.
      box.setAttribute("data-state", "searching");
      var pending = global.setTimeout(function () {
        if (mine === serial) status.textContent = t.loading;
      }, 300);
      box.removeAttribute("data-ms-first");
      KSsearch.find(text, limit, function (answer) {
        global.clearTimeout(pending);
        if (mine === serial) show(answer, started);
      }, function (first) {
        global.clearTimeout(pending);
        if (mine === serial) show(first, started);
      });
    }
    input.addEventListener("input", function () {
      limit = PAGE;
      global.clearTimeout(timer);
      timer = global.setTimeout(run, 40); // a pause in the typing
    });
    form.addEventListener("submit", function (event) {
      event.preventDefault();
      global.clearTimeout(timer);
      run();
    });
    input.addEventListener("keydown", function (event) {
      var first = nextHit(results.firstChild, true, true);
      if (event.key !== "ArrowDown" || !first) return;
      event.preventDefault();
      target(first).focus();
    });
    results.addEventListener("keydown", function (event) {
      var li = event.target;
      while (li && li.parentNode !== results) li = li.parentNode;
      if (!li) return;
      var goal = null;
      var to = null;
      if (event.key === "ArrowDown") to = nextHit(li, true, false);
      else if (event.key === "ArrowUp") goal = (to = nextHit(li, false, false)) ? null : input;
      else if (event.key === "Home") to = nextHit(results.firstChild, true, true);
      else if (event.key === "End") to = nextHit(results.lastChild, false, true);
      if (to) goal = target(to);
      else if (event.key === "ArrowRight" || event.key === "ArrowLeft") {
        // Between the trees of one person.
        var links = li.querySelectorAll("a[href]");
        for (var i = 0; i < links.length; i++) {
          if (links[i] !== event.target) continue;
          goal = links[i + (event.key === "ArrowRight" ? 1 : -1)] || null;
        }
      } else if (event.key === "Escape") goal = input;
      if (!goal) return;
      event.preventDefault();
      goal.focus();
    });
    more.addEventListener("click", function () {
      limit += PAGE;
      run();
    });
    var asked = /[?&]q=([^&#]*)/.exec(global.location.search);
    if (asked) {
      try {
        input.value = decodeURIComponent(asked[1].replace(/\+/g, " "));
      } catch (e) {
        input.value = asked[1];
      }
      run();
    }
  }

  // The person found after (forward) or before li, or li itself (self).
  function nextHit(li, forward, self) {
    if (li && !self) li = forward ? li.nextSibling : li.previousSibling;
    while (li && !/(^| )KSVIsearchHit( |$)/.test(li.className))
      li = forward ? li.nextSibling : li.previousSibling;
    return li;
  }

  /* Where the arrow keys take the focus in a person found: the first tree
     it links to, which Enter follows, or else the person itself. */
  function target(li) {
    var link = li.querySelector("a[href]");
    if (link) return link;
    li.tabIndex = -1;
    return li;
  }

  /* The text searched for goes into the address as ?q=, in place of the
     current entry, so that Back and a link passed on show the same persons.
     A browser that refuses (some do for pages on disk) keeps the address. */
  function remember(text) {
    var history = global.history, location = global.location;
    if (!history || !history.replaceState) return;
    var params = location.search.replace(/^\?/, "").split("&").filter(function (p) {
      return p !== "" && !/^q(=|$)/.test(p);
    });
    text = text.replace(/^\s+|\s+$/g, "");
    if (text) params.push("q=" + encodeURIComponent(text).replace(/%20/g, "+"));
    var search = params.length ? "?" + params.join("&") : "";
    if (search === location.search) return;
    try {
      history.replaceState(history.state, "", location.pathname + search + location.hash);
    } catch (e) {
      // the address stays as it was
    }
  }

  function now() {
    return global.performance && global.performance.now ? global.performance.now() : new Date().getTime();
  }

  function start() {
    var boxes = global.document.querySelectorAll(".KSVIsearch");
    for (var i = 0; i < boxes.length; i++) {
      if (!boxes[i].getAttribute("data-state")) setUp(boxes[i], i + 1);
    }
    // A catalogue that has not come with the page is not waited for.
    global.addEventListener("load", function () {
      if (state.catalogue) return;
      state.missing = true;
      var queued = state.queued;
      state.queued = [];
      for (var q = 0; q < queued.length; q++) queued[q]();
    });
  }

  if (global.document) {
    if (global.document.readyState === "loading")
      global.document.addEventListener("DOMContentLoaded", start);
    else start();
  }
})(this);
