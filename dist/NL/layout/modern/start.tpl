<!DOCTYPE html>
<html lang="nl">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="generator" content="KESTRIN HTML verzamelindex #VERSION$! (#TEMPLATE$!)">
<meta name="description" content="#KSLTEXT(description)!">
<title>Verzamelindex#TITLE$( &ndash; )!</title>
<link rel="stylesheet" href="#FILE(css)!">
<link rel="stylesheet" href="#FILE(searchcss)!">
<link rel="alternate" type="application/atom+xml" title="#KSLTEXT(feedtitle)!" href="feed.xml">
<script src="#FILE(js)!" defer></script>
</head>
<body class="ks-start">
<a class="ks-skip" href="#names">Naar de inhoud</a>
<header class="ks-masthead">
  <div class="ks-wrap">
    <h1><span class="ks-kicker">#KSLTEXT(kicker)!</span> #TITLE$!</h1>
    <p class="ks-lead">#KSLTEXT(intro)!</p>
    <p class="ks-actions"><a class="ks-button" href="#FILE(index)!">Naar de index</a> <a class="ks-button ks-quiet" href="#FILE(names)!">Alle achternamen</a> <a class="ks-button ks-quiet" href="#FILE(frequent)!">Meest voorkomende namen</a> <a class="ks-button ks-quiet" href="#FILE(new)!">Nieuw in deze index</a> <a class="ks-button ks-quiet" href="feed.xml" type="application/atom+xml">Feed</a></p>
  </div>
</header>
<main id="names" class="ks-wrap">
  <section class="ks-panel" aria-labelledby="ks-letters">
    <h2 id="ks-letters">Zoek op achternaam</h2>
    #KSLTEXT(search)!
    <p>#KSLTEXT(keysintro)!</p>
    <nav class="ks-keys ks-keys-large" aria-labelledby="ks-letters">
      <div class="ks-keyrow">
        #INDEXKEYS(index,,0,,distinct)!
      </div>
      <form class="ks-jump" action="#FILE(index)!" hidden>
        <label for="keymenu9003">Deel van de index</label>
        #INDEXKEYS(index,,9003,kies een deel,distinct)!
        <button type="submit">Ga</button>
      </form>
    </nav>
  </section>
  <section class="ks-panel" aria-labelledby="ks-trees">
    <h2 id="ks-trees">Stambomen in deze index</h2>
    <p>#KSLTEXT(reportsintro)!</p>
    <div class="ks-tablewrap">
      <table class="ks-reports">
        <thead>
          <tr><th class="ks-num">Nr.</th><th>Stamboom</th><th class="ks-num">Namen</th><th class="ks-num">Van</th><th class="ks-num">Tot</th><th>Samensteller</th><th>Gemaakt</th></tr>
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
    <p class="ks-contact"><a class="ks-homepage" href="#HOMEPAGE$!">Homepage</a><a class="ks-email" href="mailto:#EMAIL$!">#EMAIL$!</a></p>
    <p class="ks-made">&copy; #RIGHT$(""+DATE,4)!#TITLE$( )! &middot; Gemaakt op #DATE! met KESTRIN HTML verzamelindex #VERSION$!</p>
  </div>
</footer>
</body>
</html>
