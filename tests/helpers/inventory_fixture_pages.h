// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

#pragma once

// The fixture pages of the inventory test, apart from its test class: the
// meta-object compiler misreads "//" in multi-line raw strings.

#include <QStringList>

#include "helpers/engine_fixture.h"

namespace pagesift::test {

// One page per way of using an image; SITE and OTHER stand for the two
// servers' addresses.
struct FixturePage {
  const char* name;
  const char* body;
  QStringList rows;  // SITE and OTHER as above
};

// A lazy loader that gives its image a source just after the load.
inline constexpr char kLoaderPage[] = R"html(<img data-src="s1.gif" class="lazy" alt="L">
  <script>
    new IntersectionObserver((entries, observer) => {
      for (const entry of entries) {
        if (entry.isIntersecting) entry.target.src = entry.target.dataset.src, observer.unobserve(entry.target);
      }
    }).observe(document.querySelector('.lazy'));
  </script>)html";

// Images only the engine's requests show: an SVG sprite of another file
// (and a use of this document's own element, which uses no file), and a
// pixel made by script.
inline constexpr char kRequestsPage[] = R"html(<svg width="9" height="9"><use href="icons.svg#close"/>
  <use href="#close"/></svg><script>new Image().src = 'pixel.gif?1'</script>)html";

inline const FixturePage kPages[] = {
    {"base",
     R"html(<base href="/assets/"><img src="a.gif" alt="A" width="20" height="10">)html",
     {"SITE/assets/a.gif [img] 'img src' uses=1 natural=1x1 shown=20x10 alt='A' loaded=yes"}},
    {"srcset",
     R"html(<img src="s1.gif" srcset="s1.gif 1x, s2.gif 2x" width="10" height="10">)html",
     {"SITE/p/s1.gif [img,srcset] 'img src,img srcset' uses=2 natural=1x1 shown=10x10 alt='' loaded=yes",
      "SITE/p/s2.gif [srcset] 'img srcset' uses=1 natural=0x0 shown=0x0 alt='' loaded=unknown"}},
    {"picture",
     R"html(<picture><source srcset="p.webp" type="image/webp"><img src="p.gif" alt="P" width="8" height="8"></picture>)html",
     {"SITE/p/p.webp [picture] 'source srcset' uses=1 natural=1x1 shown=8x8 alt='P' loaded=yes",
      "SITE/p/p.gif [img] 'img src' uses=1 natural=0x0 shown=0x0 alt='P' loaded=unknown"}},
    {"lazy",
     R"html(<img src="s1.gif" data-src="real.jpg" data-zoom="/zoom.webp?x=1" data-note="not an image" data-set="a.txt 1x, b.png 2x">
        <img loading="lazy" src="far.gif" width="10" height="10" style="margin-top:20000px">)html",
     {"SITE/p/s1.gif [img] 'img src' uses=1 natural=1x1 shown=1x1 alt='' loaded=yes",
      "SITE/p/real.jpg [lazy] 'img data-src' uses=1 natural=0x0 shown=0x0 alt='' loaded=unknown",
      "SITE/zoom.webp?x=1 [lazy] 'img data-zoom' uses=1 natural=0x0 shown=0x0 alt='' loaded=unknown",
      "SITE/p/a.txt [lazy] 'img data-set' uses=1 natural=0x0 shown=0x0 alt='' loaded=unknown",
      "SITE/p/b.png [lazy] 'img data-set' uses=1 natural=0x0 shown=0x0 alt='' loaded=unknown",
      "SITE/p/far.gif [img] 'img src' uses=1 natural=0x0 shown=10x10 alt='' loaded=no"}},
    {"css",
     R"html(<style>.b::before { content: url(before.png) } .bg { background-image: url("bg\"q.gif") }</style>
        <span class="b"></span><div class="bg" title="T"></div>
        <div style="background-image: -webkit-image-set(url(set1.png) 1x, url('set2.png') 2x)"></div>)html",
     {"SITE/p/before.png [css] 'span ::before' uses=1 natural=0x0 shown=0x0 alt='' loaded=unknown",
      "SITE/p/bg%22q.gif [css] 'div style' uses=1 natural=0x0 shown=0x0 alt='T' loaded=unknown",
      "SITE/p/set1.png [css] 'div style' uses=1 natural=0x0 shown=0x0 alt='' loaded=unknown",
      "SITE/p/set2.png [css] 'div style' uses=1 natural=0x0 shown=0x0 alt='' loaded=unknown"}},
    {"noscript-and-shadow",
     R"html(<noscript><img src="ns.gif" alt="N"><p style="background:url(ns-bg.png)"></noscript><div id="host"></div>
        <picture><noscript><source srcset="pn.webp 1x"><img src="pn.jpg"></noscript></picture>
        <script>host.attachShadow({mode: 'open'}).innerHTML = '<img src="sh.gif" width="3" height="3">'</script>)html",
     {"SITE/p/ns.gif [img] 'img src' uses=1 natural=0x0 shown=0x0 alt='N' loaded=unknown",
      "SITE/p/sh.gif [img] 'img src' uses=1 natural=0x0 shown=3x3 alt='' loaded=no",
      "SITE/p/pn.webp [picture] 'source srcset' uses=1 natural=0x0 shown=0x0 alt='' loaded=unknown",
      "SITE/p/pn.jpg [img] 'img src' uses=1 natural=0x0 shown=0x0 alt='' loaded=unknown"}},
    {"head",
     R"html(<meta property="og:image" content="/og.jpg"><meta name="twitter:image" content="tw.png">
        <meta name="description" content="d.png"><link rel="shortcut icon" href="fav.ico">
        <link rel="preload" as="image" href="pre.webp"><link rel="preload" as="script" href="s.png">
        <a href="big.PNG">b</a> <a href="file.php?id=1" type="image/jpeg">f</a> <a href="page.html">p</a>)html",
     {"SITE/og.jpg [meta] 'meta content' uses=1 natural=0x0 shown=0x0 alt='' loaded=unknown",
      "SITE/p/tw.png [meta] 'meta content' uses=1 natural=0x0 shown=0x0 alt='' loaded=unknown",
      "SITE/p/fav.ico [icon] 'link href' uses=1 natural=0x0 shown=0x0 alt='' loaded=unknown",
      "SITE/p/pre.webp [preload] 'link href' uses=1 natural=0x0 shown=0x0 alt='' loaded=unknown",
      "SITE/p/big.PNG [link] 'a href' uses=1 natural=0x0 shown=0x0 alt='' loaded=unknown",
      "SITE/p/file.php?id=1 [link] 'a href' uses=1 natural=0x0 shown=0x0 alt='' loaded=unknown"}},
    {"elements",
     R"html(<input type="image" src="btn.gif" alt="Go" style="width:12px;height:12px">
        <svg width="30" height="30"><image href="svg.png" width="10" height="10"/><image xlink:href="x.png" width="5" height="5"/></svg>
        <video poster="poster.jpg" width="40" height="30"></video>)html",
     {"SITE/p/btn.gif [input] 'input src' uses=1 natural=0x0 shown=12x12 alt='Go' loaded=unknown",
      "SITE/p/svg.png [svg] 'image href' uses=1 natural=0x0 shown=10x10 alt='' loaded=unknown",
      "SITE/p/x.png [svg] 'image xlink:href' uses=1 natural=0x0 shown=5x5 alt='' loaded=unknown",
      "SITE/p/poster.jpg [poster] 'video poster' uses=1 natural=0x0 shown=40x30 alt='' loaded=unknown"}},
    {"frames",
     R"html(<iframe src="inner.html"></iframe><iframe src="OTHER/other.html"></iframe>)html",
     {"SITE/p/inner.gif [img] 'img src' uses=1 natural=1x1 shown=1x1 alt='' loaded=yes",
      "OTHER/other.html [frame] 'iframe src' uses=1 natural=0x0 shown=0x0 alt='' loaded=unknown",
      "OTHER/secret.gif [request] 'image request' uses=1 natural=0x0 shown=0x0 alt='' loaded=unknown"}},
    {"schemes",
     R"html(<img src="javascript:alert(1)//.gif"> <a href="javascript:void(0)//x.png">j</a> <img src="about:blank">
        <a href="ftp://127.0.0.1/y.png">f</a> <a href="file:///etc/z.png">l</a> <img id="blob">
        <script>document.getElementById('blob').src = URL.createObjectURL(new Blob(['x'], {type: 'image/png'}))</script>
        <img src="GIF">)html",
     {"GIF [img] 'img src' uses=1 natural=1x1 shown=1x1 alt='' loaded=yes"}},
    {"duplicates",
     R"html(<img src="s1.gif" alt="first" width="4" height="4"><a href="s1.gif" title="second">d</a>
        <div style="background-image: url(s1.gif)"></div><img src="/p/s1.gif#x"><img src="s1.gif" alt="third">)html",
     {"SITE/p/s1.gif [img,link,css] 'img src,a href,div style' uses=4 natural=1x1 shown=4x4 alt='first' loaded=yes",
      "SITE/p/s1.gif#x [img] 'img src' uses=1 natural=1x1 shown=1x1 alt='' loaded=yes"}},
};

}  // namespace pagesift::test
