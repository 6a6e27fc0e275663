<!DOCTYPE html>
<html lang="nl">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="generator" content="KESTRIN HTML verzamelindex #VERSION$! (#TEMPLATE$!)">
<title>Naamindex#PAGE$( )!#TITLE$( &ndash; )!</title>
<link rel="stylesheet" href="#FILE(css)!">
<link rel="stylesheet" href="#FILE(searchcss)!">
<link rel="alternate" type="application/atom+xml" title="#KSLTEXT(feedtitle)!" href="feed.xml">
<script src="#FILE(js)!" defer></script>
</head>
<body class="kp">
<a class="kp-skip" href="#names">Naar de namen</a>
<header class="kp-head" id="top">
  <h1><span class="kp-kicker">Naamindex#PAGE$( )!</span> #TITLE$!</h1>
  <p class="kp-intro">#KSLTEXT(intro)!</p>
  #KSLTEXT(search)!
</header>
<nav class="kp-keys ks-sticky" aria-label="Letters">
  <div class="ks-keyrow">
    #INDEXKEYS(index,,0,,current)!
  </div>
  <a class="kp-more" href="#FILE(names)!">Achternamen</a> <a class="kp-more" href="#FILE(new)!">Nieuw in deze index</a> <a class="kp-more" href="feed.xml" type="application/atom+xml">Feed</a>#LINKPREV(index,_self,&lsaquo; vorig deel)!#LINKNEXT(index,_self,volgend deel &rsaquo;)!
</nav>
<section class="kp-trees" aria-labelledby="kp-trees">
  <h2 id="kp-trees">Stambomen</h2>
  <table>
    <thead>
      <tr><th>Nr.</th><th>Stamboom</th><th>Personen</th><th colspan="2">Periode</th><th>Gemaakt</th></tr>
    </thead>
    <tbody>
      #REPORTLIST(id,title,count,min,max,date)!
    </tbody>
  </table>
</section>
<main id="names" class="kp-index">
  #INDEXDATA(%1, stamboom %2)!
</main>
<footer class="kp-foot">
  <p class="kp-top"><a href="#top">Naar boven</a>#LINKPREV(index,_self,&lsaquo; vorig deel)!#LINKNEXT(index,_self,volgend deel &rsaquo;)!</p>
  <p>#KSLTEXT(footer)! &middot; #DATE! &middot; KESTRIN HTML verzamelindex #VERSION$! <a class="kp-homepage" href="#HOMEPAGE$!">Homepage</a> <a class="kp-email" href="mailto:#EMAIL$!">#EMAIL$!</a></p>
</footer>
</body>
</html>
