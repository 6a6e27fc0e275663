<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="generator" content="KESTRIN HTML verzamelindex #VERSION$! (#TEMPLATE$!)">
<title>New in this index#TITLE$( &ndash; )!</title>
<base target="_top">
<link rel="stylesheet" href="#FILE(css)!">
<link rel="stylesheet" href="#FILE(searchcss)!">
<link rel="alternate" type="application/atom+xml" title="#KSLTEXT(feedtitle)!" href="feed.xml">
<script>if (window.top !== window.self) document.documentElement.className += " kc-framed";</script>
</head>
<body class="kc-page">
<a class="kc-skip" href="#names">Skip to the names</a>
<header class="kc-nav">
  <a class="kc-home" href="#FILE(frame)!" target="_top">Start page</a>
  <h1 class="kc-navtitle">New in this index</h1>
</header>
#KSLTEXT(searchpane)!
<main id="names" class="kc-sheet kc-new">
  #NEWLIST!
  <p class="kc-intro KSVInewFeed">#KSLTEXT(feedhint)!</p>
</main>
</body>
</html>
