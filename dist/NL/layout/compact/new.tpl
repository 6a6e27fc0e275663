<!DOCTYPE html>
<html lang="nl">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="generator" content="KESTRIN HTML verzamelindex #VERSION$! (#TEMPLATE$!)">
<title>Nieuw in deze index#TITLE$( &ndash; )!</title>
<link rel="stylesheet" href="#FILE(css)!">
<link rel="stylesheet" href="#FILE(searchcss)!">
<link rel="alternate" type="application/atom+xml" title="#KSLTEXT(feedtitle)!" href="feed.xml">
<script src="#FILE(js)!" defer></script>
</head>
<body class="kp">
<a class="kp-skip" href="#names">Naar de namen</a>
<header class="kp-head" id="top">
  <h1><span class="kp-kicker">#TITLE$!</span> Nieuw in deze index</h1>
  #KSLTEXT(search)!
</header>
<nav class="kp-keys" aria-label="Pagina's">
  <a class="kp-more" href="#FILE(index)!">Naamindex</a> <a class="kp-more" href="#FILE(names)!">Achternamen</a>
</nav>
<main id="names" class="kp-new">
  #NEWLIST!
  <p class="kp-intro KSVInewFeed">#KSLTEXT(feedhint)!</p>
</main>
<footer class="kp-foot">
  <p class="kp-top"><a href="#top">Naar boven</a></p>
  <p>#DATE! &middot; KESTRIN HTML verzamelindex #VERSION$! <a class="kp-homepage" href="#HOMEPAGE$!">Homepage</a> <a class="kp-email" href="mailto:#EMAIL$!">#EMAIL$!</a></p>
</footer>
</body>
</html>
