<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="generator" content="KESTRIN HTML verzamelindex #VERSION$! (#TEMPLATE$!)">
<title>New in this index#TITLE$( &ndash; )!</title>
<link rel="stylesheet" href="#FILE(css)!">
<link rel="stylesheet" href="#FILE(searchcss)!">
<link rel="alternate" type="application/atom+xml" title="#KSLTEXT(feedtitle)!" href="feed.xml">
<script src="#FILE(js)!" defer></script>
</head>
<body class="ks-newpage">
<a class="ks-skip" href="#names">Skip to the names</a>
<header class="ks-bar">
  <div class="ks-wrap">
    <a class="ks-sitename" href="#FILE(start)!">#TITLE$(,,Combined name index)!<span class="ks-sr"> (start page)</span></a>
    <nav class="ks-barlinks" aria-label="Site"><a href="#FILE(start)!">Family trees</a> <a href="#FILE(names)!">All surnames</a> <a href="#FILE(index)!">Name index</a></nav>
  </div>
</header>
<main id="names" class="ks-wrap ks-new">
  <h1 class="ks-pagetitle">New in this index</h1>
  #NEWLIST!
  <p class="ks-hint KSVInewFeed">#KSLTEXT(feedhint)!</p>
</main>
<footer class="ks-footer">
  <div class="ks-wrap">
    <p class="ks-contact"><a class="ks-homepage" href="#HOMEPAGE$!">Home page</a><a class="ks-email" href="mailto:#EMAIL$!">#EMAIL$!</a></p>
    <p class="ks-made">&copy; #RIGHT$(""+DATE,4)!#TITLE$( )! &middot; Made on #DATE! with KESTRIN HTML verzamelindex #VERSION$!</p>
  </div>
</footer>
</body>
</html>
