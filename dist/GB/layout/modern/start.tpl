<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="generator" content="KESTRIN HTML verzamelindex #VERSION$! (#TEMPLATE$!)">
<meta name="description" content="#KSLTEXT(description)!">
<title>Combined name index#TITLE$( &ndash; )!</title>
<link rel="stylesheet" href="#FILE(css)!">
<link rel="stylesheet" href="#FILE(searchcss)!">
<link rel="alternate" type="application/atom+xml" title="#KSLTEXT(feedtitle)!" href="feed.xml">
<script src="#FILE(js)!" defer></script>
</head>
<body class="ks-start">
<a class="ks-skip" href="#names">Skip to the content</a>
<header class="ks-masthead">
  <div class="ks-wrap">
    <h1><span class="ks-kicker">#KSLTEXT(kicker)!</span> #TITLE$!</h1>
    <p class="ks-lead">#KSLTEXT(intro)!</p>
    <p class="ks-actions"><a class="ks-button" href="#FILE(index)!">Open the index</a> <a class="ks-button ks-quiet" href="#FILE(names)!">All surnames</a> <a class="ks-button ks-quiet" href="#FILE(frequent)!">Most frequent surnames</a> <a class="ks-button ks-quiet" href="#FILE(new)!">New in this index</a> <a class="ks-button ks-quiet" href="feed.xml" type="application/atom+xml">Feed</a></p>
  </div>
</header>
<main id="names" class="ks-wrap">
  <section class="ks-panel" aria-labelledby="ks-letters">
    <h2 id="ks-letters">Find a surname</h2>
    #KSLTEXT(search)!
    <p>#KSLTEXT(keysintro)!</p>
    <nav class="ks-keys ks-keys-large" aria-labelledby="ks-letters">
      <div class="ks-keyrow">
        #INDEXKEYS(index,,0,,distinct)!
      </div>
      <form class="ks-jump" action="#FILE(index)!" hidden>
        <label for="keymenu9003">Part of the index</label>
        #INDEXKEYS(index,,9003,choose a part,distinct)!
        <button type="submit">Go</button>
      </form>
    </nav>
  </section>
  <section class="ks-panel" aria-labelledby="ks-trees">
    <h2 id="ks-trees">Family trees in this index</h2>
    <p>#KSLTEXT(reportsintro)!</p>
    <div class="ks-tablewrap">
      <table class="ks-reports">
        <thead>
          <tr><th class="ks-num">No.</th><th>Family tree</th><th class="ks-num">Names</th><th class="ks-num">From</th><th class="ks-num">To</th><th>Compiled by</th><th>Made</th></tr>
        </thead>
        <tbody>
          #REPORTLIST(id,title,count,min,max,user,date)!
        </tbody>
      </table>
    </div>
  </section>
</main>
<footer class="ks-footer">
  <div class="ks-wrap">
    <p>#KSLTEXT(footer)!</p>
    <p class="ks-contact"><a class="ks-homepage" href="#HOMEPAGE$!">Home page</a><a class="ks-email" href="mailto:#EMAIL$!">#EMAIL$!</a></p>
    <p class="ks-made">&copy; #RIGHT$(""+DATE,4)!#TITLE$( )! &middot; Made on #DATE! with KESTRIN HTML verzamelindex #VERSION$!</p>
  </div>
</footer>
</body>
</html>
