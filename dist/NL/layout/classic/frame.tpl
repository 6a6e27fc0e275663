<!DOCTYPE html>
<html lang="nl">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="generator" content="KESTRIN HTML verzamelindex #VERSION$! (#TEMPLATE$!)">
<title>Verzamelindex#TITLE$( &ndash; )!</title>
<link rel="stylesheet" href="#FILE(css)!">
<link rel="stylesheet" href="#FILE(searchcss)!">
<link rel="alternate" type="application/atom+xml" title="#KSLTEXT(feedtitle)!" href="feed.xml">
<script src="#FILE(js)!" defer></script>
</head>
<body class="kc-frame">
<a class="kc-skip" href="#names">Naar de inhoud</a>
<div class="kc-layout">
  <header class="kc-side">
    <h1><a href="#FILE(info)!" target="VIindex"><span class="kc-kicker">#KSLTEXT(kicker)!</span> #TITLE$!</a></h1>
    <nav aria-label="Inhoud">
      <ul class="kc-menu">
        <li><a href="#FILE(info)!" target="VIindex">Stambomen</a></li>
        <li><a href="#FILE(index)!" target="VIindex">Naamindex</a></li>
        <li><a href="#FILE(names)!" target="VIindex">Achternamen</a></li>
        <li><a href="#FILE(new)!" target="VIindex">Nieuw in deze index</a></li>
        <li><a href="feed.xml" type="application/atom+xml" target="_top">Feed</a></li>
      </ul>
    </nav>
    #KSLTEXT(search)!
    <nav class="kc-keys" aria-labelledby="kc-keystitle">
      <h2 id="kc-keystitle">Index</h2>
      <div class="ks-keyrow">
        #INDEXKEYS(index,VIindex,0,,distinct)!
      </div>
      <form class="ks-jump" action="#FILE(index)!" target="VIindex" hidden>
        <label for="keymenu9001">Deel van de index</label>
        #INDEXKEYS(index,VIindex,9001,kies een deel,distinct)!
        <button type="submit">Ga</button>
      </form>
    </nav>
    <p class="kc-contact"><a class="kc-homepage" href="#HOMEPAGE$!">Homepage</a> <a class="kc-email" href="mailto:#EMAIL$!">E-mail</a></p>
    <p class="kc-made">#DATE! &middot; KESTRIN #VERSION$!</p>
  </header>
  <main id="names" class="kc-main">
    <iframe class="kc-pane" name="VIindex" id="VIindex" src="#FILE(info)!" title="Naamindex"></iframe>
  </main>
</div>
</body>
</html>
