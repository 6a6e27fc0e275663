<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="generator" content="KESTRIN HTML verzamelindex #VERSION$! (#TEMPLATE$!)">
<title>Surnames &ndash; #TITLE$!</title>
<link rel="stylesheet" href="#FILE(css)!">
<link rel="stylesheet" href="#FILE(searchcss)!">
</head>
<body class="kp">
<header class="kp-head">
  <h1>Surnames</h1>
  <p class="kp-intro"><a href="#FILE(index)!">#TITLE$!</a> &middot; #KSLTEXT(nameshint)!</p>
  #KSLTEXT(search)!
</header>
<nav class="kp-keys" aria-label="Letters">
  #INDEXKEYS(names,,0)!
  <span class="kp-more"><a href="#FILE(index)!">Name index</a></span>
</nav>
<main class="kp-names">
  #NAMELIST(index)!
</main>
<footer class="kp-foot">
  <p>#DATE! &middot; KESTRIN HTML verzamelindex #VERSION$! <a class="kp-homepage" href="#HOMEPAGE$!">Home page</a> <a class="kp-email" href="mailto:#EMAIL$!">#EMAIL$!</a></p>
</footer>
</body>
</html>
