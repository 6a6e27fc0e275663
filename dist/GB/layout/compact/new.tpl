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
<body class="kp">
<a class="kp-skip" href="#names">Skip to the names</a>
<header class="kp-head" id="top">
  <h1><span class="kp-kicker">#TITLE$!</span> New in this index</h1>
  #KSLTEXT(search)!
</header>
<nav class="kp-keys" aria-label="Pages">
  <a class="kp-more" href="#FILE(index)!">Name index</a> <a class="kp-more" href="#FILE(names)!">Surnames</a>
</nav>
<main id="names" class="kp-new">
  #NEWLIST!
  <p class="kp-intro KSVInewFeed">#KSLTEXT(feedhint)!</p>
</main>
<footer class="kp-foot">
  <p class="kp-top"><a href="#top">Back to top</a></p>
  <p>#DATE! &middot; KESTRIN HTML verzamelindex #VERSION$! <a class="kp-homepage" href="#HOMEPAGE$!">Home page</a> <a class="kp-email" href="mailto:#EMAIL$!">#EMAIL$!</a></p>
</footer>
</body>
</html>
