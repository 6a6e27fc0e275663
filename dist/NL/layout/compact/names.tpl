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
<body class="kp">
<a class="kp-skip" href="#names">Naar de namen</a>
<header class="kp-head" id="top">
  <h1><span class="kp-kicker">#TITLE$!</span> Achternamen#PAGE$( )!</h1>
  <p class="kp-intro">#KSLTEXT(nameshint)!</p>
  #KSLTEXT(search)!
</header>
<nav class="kp-keys ks-sticky" aria-label="Letters">
  <div class="ks-keyrow">
    #INDEXKEYS(names,,0)!
  </div>
  <a class="kp-more" href="#FILE(index)!">Naamindex</a>
</nav>
<main id="names" class="kp-names">
  #NAMELIST(index)!
</main>
<footer class="kp-foot">
  <p class="kp-top"><a href="#top">Naar boven</a></p>
  <p>#DATE! &middot; KESTRIN HTML verzamelindex #VERSION$! <a class="kp-homepage" href="#HOMEPAGE$!">Homepage</a> <a class="kp-email" href="mailto:#EMAIL$!">#EMAIL$!</a></p>
</footer>
</body>
</html>
