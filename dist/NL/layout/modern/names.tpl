<!DOCTYPE html>
<html lang="nl">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="generator" content="KESTRIN HTML verzamelindex #VERSION$! (#TEMPLATE$!)">
<title>Achternamen#PAGE$( )!#TITLE$( &ndash; )!</title>
<link rel="stylesheet" href="#FILE(css)!">
<link rel="stylesheet" href="#FILE(searchcss)!">
<script src="#FILE(js)!" defer></script>
</head>
<body class="ks-namespage">
<a class="ks-skip" href="#names">Naar de namen</a>
<header class="ks-bar">
  <div class="ks-wrap">
    <a class="ks-sitename" href="#FILE(start)!">#TITLE$(,,Verzamelindex)!<span class="ks-sr"> (startpagina)</span></a>
    <nav class="ks-barlinks" aria-label="Site"><a href="#FILE(start)!">Stambomen</a> <a href="#FILE(index)!">Naamindex</a></nav>
  </div>
</header>
#KSLTEXT(search)!
<nav class="ks-keys ks-wrap ks-sticky" aria-label="Letters">
  <div class="ks-keyrow">
    #INDEXKEYS(names,,0,,distinct)!
  </div>
  <form class="ks-jump" action="#FILE(names)!" hidden>
    <label for="keymenu9001">Deel van de lijst</label>
    #INDEXKEYS(names,,9001,kies een deel,distinct)!
    <button type="submit">Ga</button>
  </form>
</nav>
<main id="names" class="ks-wrap">
  <h1 class="ks-pagetitle">Achternamen#PAGE$( )!</h1>
  <p class="ks-hint">#KSLTEXT(nameshint)!</p>
  <div class="ks-names">
    #NAMELIST(index,,)!
  </div>
</main>
<footer class="ks-footer">
  <div class="ks-wrap">
    <p class="ks-contact"><a class="ks-homepage" href="#HOMEPAGE$!">Homepage</a><a class="ks-email" href="mailto:#EMAIL$!">#EMAIL$!</a></p>
    <p class="ks-made">&copy; #RIGHT$(""+DATE,4)!#TITLE$( )! &middot; Gemaakt op #DATE! met KESTRIN HTML verzamelindex #VERSION$!</p>
  </div>
</footer>
</body>
</html>
