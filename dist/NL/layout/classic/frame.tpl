<!DOCTYPE html>
<html lang="nl">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<meta name="generator" content="KESTRIN HTML verzamelindex #VERSION$! (#TEMPLATE$!)">
<title>#TITLE$!</title>
<link rel="stylesheet" href="#FILE(css)!">
<link rel="stylesheet" href="#FILE(searchcss)!">
</head>
<body class="kc-frame">
<div class="kc-layout">
  <aside class="kc-side">
    <p class="kc-kicker">#KSLTEXT(kicker)!</p>
    <h1><a href="#FILE(info)!" target="VIindex">#TITLE$!</a></h1>
    <ul class="kc-menu">
      <li><a href="#FILE(info)!" target="VIindex">Stambomen</a></li>
      <li><a href="#FILE(index)!" target="VIindex">Naamindex</a></li>
      <li><a href="#FILE(names)!" target="VIindex">Achternamen</a></li>
    </ul>
    #KSLTEXT(search)!
    <h2>Index</h2>
    <div class="kc-keys">
      #INDEXKEYS(index,VIindex)!
    </div>
    <p class="kc-contact"><a class="kc-homepage" href="#HOMEPAGE$!">Homepage</a> <a class="kc-email" href="mailto:#EMAIL$!">E-mail</a></p>
    <p class="kc-made">#DATE! &middot; KESTRIN #VERSION$!</p>
  </aside>
  <iframe class="kc-pane" name="VIindex" id="VIindex" src="#FILE(info)!" title="Naamindex"></iframe>
</div>
</body>
</html>
