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
<body class="ks-newpage">
<a class="ks-skip" href="#names">Naar de namen</a>
<header class="ks-bar">
  <div class="ks-wrap">
    <a class="ks-sitename" href="#FILE(start)!">#TITLE$(,,Verzamelindex)!<span class="ks-sr"> (startpagina)</span></a>
    <nav class="ks-barlinks" aria-label="Site"><a href="#FILE(start)!">Stambomen</a> <a href="#FILE(names)!">Alle achternamen</a> <a href="#FILE(index)!">Naamindex</a></nav>
  </div>
</header>
<main id="names" class="ks-wrap ks-new">
  <h1 class="ks-pagetitle">Nieuw in deze index</h1>
  #NEWLIST!
  <p class="ks-hint KSVInewFeed">#KSLTEXT(feedhint)!</p>
</main>
<footer class="ks-footer">
  <div class="ks-wrap">
    <p class="ks-contact"><a class="ks-homepage" href="#HOMEPAGE$!">Homepage</a><a class="ks-email" href="mailto:#EMAIL$!">#EMAIL$!</a></p>
    <p class="ks-made">&copy; #RIGHT$(""+DATE,4)!#TITLE$( )! &middot; Gemaakt op #DATE! met KESTRIN HTML verzamelindex #VERSION$!</p>
  </div>
</footer>
</body>
</html>
