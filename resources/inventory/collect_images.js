// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Eefabe Labs

// Every image the shown page uses, in document order, as JSON text:
//
//   {"complete": true, "addresses": ["https://...", ...], "origins": ["img src", ...],
//    "uses": [[0, "img", 0, "alt text", 16, 16, 8, 8, "yes"], ...]}
//
// Each distinct address and each distinct origin (the tag and attribute that
// names an address) is listed once; a use names them by their index. A use
// is [address, kind, origin, alt, naturalWidth, naturalHeight, displayWidth,
// displayHeight, loaded], with "" or 0 for what the engine does not know
// (loaded is "yes" or "no"), and cut after the last thing it knows: a page
// of 100,000 images gives a few MB, not tens, to carry out of the page and
// parse. "complete" is false when a limit below cut the walk short, and "limits"
// then names each limit that did, once: "uses", "address" (an address
// longer than its limit was left out), "addressText" or "time". When the
// walk itself fails, the text is {"error": "<the exception's message>"}:
// the engine reports a script that throws as no value at all.
//
// Runs in the isolated world: the page's own scripts cannot change the
// built-ins used here. The page can still be huge or hostile, so the walk is
// iterative and bounded in uses, text and time.
//
// The program calls this function with the kinds of use it knows (the
// list it keeps for its window); a use of any other kind is a fault here,
// thrown as an error. Its tests call it with a `probe` too, [helper,
// text], to have one of the pure helpers' answers as JSON instead.
((kinds, probe) => {
  'use strict';
  try {
    const kKinds = new Set(kinds);

    const kMaxUses = 100000;
    const kMaxAddress = 65536;             // characters of an http, https or file address
    const kMaxInlineAddress = 8 * 1048576; // characters of a data: address, kept whole
    const kMaxAddressText = 32 * 1048576;  // characters of all distinct addresses together
    const kMaxText = 1000;                 // characters of an alt text or origin
    // Milliseconds of walking: with the wait for images to settle, a listing
    // ends within 5 s of the page's load even on a page of 100,000 images.
    const kTimeBudget = 1500;
    const kNoscriptPiece = 262144;         // characters of noscript markup parsed at a time

    const kImageExtension = /\.(?:bmp|gif|ico|jpeg|jpg|png|svg|webp|avif|tif|tiff)$/i;
    const kLazyNames = new Set([
      'data-src', 'data-srcset', 'data-original', 'data-original-src', 'data-lazy', 'data-lazy-src',
      'data-lazy-srcset', 'data-hi-res-src', 'data-full-src', 'data-echo', 'data-bg', 'data-background']);
    const kMetaNames = new Set(['og:image', 'og:image:url', 'og:image:secure_url', 'twitter:image', 'twitter:image:src']);
    const kIconRels = ['icon', 'apple-touch-icon', 'apple-touch-icon-precomposed'];
    const kStyleProperties = ['background-image', 'content', 'list-style-image', 'border-image-source'];
    const kHtml = 'http://www.w3.org/1999/xhtml';
    const kSvg = 'http://www.w3.org/2000/svg';
    const kXlink = 'http://www.w3.org/1999/xlink';

    const pageIsFile = location.protocol === 'file:';
    const started = performance.now();
    const addresses = [];
    const addressIndex = new Map();
    const origins = [];
    const originIndex = new Map();
    const uses = [];
    let addressText = 0;
    const limits = [];
    const cutShort = (limit) => {
      if (!limits.includes(limit)) limits.push(limit);
    };

    // Whether the walk must stop here, short of the whole page.
    const overBudget = () => {
      if (uses.length >= kMaxUses) cutShort('uses');
      else if (performance.now() - started > kTimeBudget) cutShort('time');
      else return false;
      return true;
    };
    const cut = (text) => (text.length > kMaxText ? text.slice(0, kMaxText) : text);
    const isSpace = (c) => c === ' ' || c === '\t' || c === '\n' || c === '\r' || c === '\f';

    // `value` resolved against `base` as the engine resolves it, or null when
    // it is empty, unparsable or of a scheme not kept.
    function resolve(value, base) {
      if (typeof value !== 'string' || value.length > kMaxInlineAddress + 1024) return null;
      value = value.trim();
      if (!value) return null;
      let url;
      try {
        url = new URL(value, base);
      } catch (e) {
        return null;
      }
      const scheme = url.protocol;
      if (scheme === 'http:' || scheme === 'https:' || scheme === 'data:' || (scheme === 'file:' && pageIsFile)) return url;
      return null;
    }

    // Records one use of `url` (a URL or null), with its alt text and, when
    // the engine knows them, its `facts`: [naturalWidth, naturalHeight,
    // displayWidth, displayHeight, loaded], as far as they go.
    function use(url, kind, origin, alt, facts) {
      if (!kKinds.has(kind)) throw new Error('a use of an unknown kind: ' + kind);
      if (url === null) return;
      if (uses.length >= kMaxUses) {
        cutShort('uses');
        return;
      }
      const address = url.href;
      if (address.length > (url.protocol === 'data:' ? kMaxInlineAddress : kMaxAddress)) {
        cutShort('address');
        return;
      }
      let index = addressIndex.get(address);
      if (index === undefined) {
        if (addressText + address.length > kMaxAddressText) {
          cutShort('addressText');
          return;
        }
        index = addresses.length;
        addresses.push(address);
        addressIndex.set(address, index);
        addressText += address.length;
      }
      origin = cut(origin);
      let originAt = originIndex.get(origin);
      if (originAt === undefined) {
        originAt = origins.length;
        origins.push(origin);
        originIndex.set(origin, originAt);
      }
      const entry = facts ? [index, kind, originAt, alt, ...facts] : [index, kind, originAt, alt];
      while (entry.length > 3 && !entry[entry.length - 1]) entry.pop();
      uses.push(entry);
    }

    // The candidates' URLs of a srcset value, as written.
    function srcsetCandidates(text) {
      const out = [];
      if (typeof text !== 'string') return out;
      const n = text.length;
      let i = 0;
      while (i < n && out.length < kMaxUses) {
        while (i < n && (isSpace(text[i]) || text[i] === ',')) ++i;
        if (i >= n) break;
        let j = i;
        while (j < n && !isSpace(text[j])) ++j;
        let url = text.slice(i, j);
        i = j;
        if (url.endsWith(',')) {
          url = url.replace(/,+$/, '');
        } else {
          let depth = 0;
          let k = i;
          for (; k < n; ++k) {
            const c = text[k];
            if (c === '(') ++depth;
            else if (c === ')' && depth > 0) --depth;
            else if (c === ',' && depth === 0) break;
          }
          i = k + 1;
        }
        if (url) out.push(url);
      }
      return out;
    }

    function unescapeCss(text) {
      return text.replace(/\\(?:([0-9a-fA-F]{1,6})[ \t\n\r\f]?|([\s\S]))/g, (all, hex, other) => {
        if (hex === undefined) return other;
        const code = parseInt(hex, 16);
        return code > 0 && code <= 0x10ffff && !(code >= 0xd800 && code <= 0xdfff) ? String.fromCodePoint(code) : '\ufffd';
      });
    }

    // The CSS string at value[i] (a quote), unescaped, and the index past it;
    // null when it is not closed.
    function cssString(value, i) {
      const quote = value[i];
      for (let j = i + 1; j < value.length; ++j) {
        const c = value[j];
        if (c === '\\') ++j;
        else if (c === quote) return [unescapeCss(value.slice(i + 1, j)), j + 1];
      }
      return null;
    }

    // The address of the url(...) token at value[i], and the index past it;
    // null when it is not closed.
    function cssUrl(value, i) {
      i += 'url('.length;
      while (i < value.length && isSpace(value[i])) ++i;
      if (value[i] === '"' || value[i] === "'") {
        const token = cssString(value, i);
        if (token === null) return null;
        const end = value.indexOf(')', token[1]);
        return end < 0 ? null : [token[0], end + 1];
      }
      const end = value.indexOf(')', i);
      return end < 0 ? null : [unescapeCss(value.slice(i, end).trim()), end + 1];
    }

    // The image addresses of a CSS value, as written: url(...) tokens and the
    // bare strings of image-set(...). One pass, so hostile text costs linear time.
    function cssAddresses(value) {
      const out = [];
      if (typeof value !== 'string') return out;
      const push = (text) => {
        if (text) out.push(text);
      };
      let i = 0;
      while (out.length < kMaxUses) {
        const u = value.indexOf('url(', i);
        const s = value.indexOf('image-set(', i);
        if (u < 0 && s < 0) break;
        if (u >= 0 && (s < 0 || u < s)) {
          const token = cssUrl(value, u);
          if (token === null) break;
          push(token[0]);
          i = token[1];
          continue;
        }
        // image-set(...): an address starts it or follows a comma, outside
        // nested parentheses.
        i = s + 'image-set('.length;
        let depth = 0;
        let expectAddress = true;
        for (; i < value.length; ++i) {
          const c = value[i];
          if (isSpace(c)) continue;
          if (c === '"' || c === "'" || value.startsWith('url(', i)) {
            const token = c === 'u' ? cssUrl(value, i) : cssString(value, i);
            if (token === null) return out;
            if (depth === 0 && expectAddress) push(token[0]);
            i = token[1] - 1;
          } else if (c === '(') {
            ++depth;
          } else if (c === ')') {
            if (depth === 0) break;
            --depth;
          } else if (c === ',' && depth === 0) {
            expectAddress = true;
            continue;
          }
          expectAddress = false;
        }
      }
      return out;
    }

    // A data-* value that names images: an address, url(...) or a srcset.
    function lazyAddresses(name, value, base) {
      if (value.indexOf('url(') >= 0) return cssAddresses(value).map((text) => resolve(text, base));
      const listed = kLazyNames.has(name);
      if (!name.endsWith('srcset')) {
        const url = resolve(value, base);
        if (listed || (url !== null && kImageExtension.test(url.pathname))) return [url];
        if (url !== null && url.protocol === 'data:') return [];
      }
      const urls = srcsetCandidates(value).map((text) => resolve(text, base));
      return listed || urls.some((url) => url !== null && kImageExtension.test(url.pathname)) ? urls : [];
    }

    // Most elements have no data-* attribute, and asking for the names first
    // is cheap: going through el.attributes makes a node of every attribute
    // of every element, a quarter of the walk on a page of plain images
    // (seen on Qt WebEngine 6.4).
    function lazyUses(el, tag, base, alt) {
      if (!el.getAttributeNames().some((name) => name.toLowerCase().startsWith('data-'))) return;
      for (const attribute of el.attributes) {
        if (overBudget()) return;
        const name = attribute.name.toLowerCase();
        if (!name.startsWith('data-') || !attribute.value.trim()) continue;
        for (const url of lazyAddresses(name, attribute.value, base)) use(url, 'lazy', tag + ' ' + name, alt);
      }
    }

    // The displayed size: the facts of an element that shows an image.
    function box(el) {
      const rect = el.getBoundingClientRect();
      return [0, 0, Math.round(rect.width), Math.round(rect.height)];
    }

    // What the engine knows of an img's current source.
    function imgFacts(img) {
      const rect = img.getBoundingClientRect();
      return [img.naturalWidth, img.naturalHeight, Math.round(rect.width), Math.round(rect.height),
        img.complete && img.naturalWidth > 0 ? 'yes' : 'no'];
    }

    // The address an img shows or is to show; null for an inert one.
    function currentSource(img, base, live) {
      if (!live) return null;
      if (img.currentSrc) return img.currentSrc;
      const url = resolve(img.getAttribute('src'), base);
      return url === null ? null : url.href;
    }

    // Whether two addresses name one image: the engine reports an img's
    // current source without its fragment.
    const withoutFragment = (address) => {
      const hash = address.indexOf('#');
      return hash < 0 ? address : address.slice(0, hash);
    };
    const sameResource = (a, b) => a !== null && b !== null && withoutFragment(a) === withoutFragment(b);

    const claimed = new WeakSet(); // imgs whose current source a picture source listed

    function visitImg(el, base, live, alt) {
      const current = currentSource(el, base, live);
      let matched = claimed.has(el);
      const factsFor = (url) => {
        if (url === null || !sameResource(url.href, current)) return null;
        matched = true;
        return imgFacts(el);
      };
      const src = resolve(el.getAttribute('src'), base);
      use(src, 'img', 'img src', alt, factsFor(src));
      for (const candidate of srcsetCandidates(el.getAttribute('srcset'))) {
        const url = resolve(candidate, base);
        use(url, 'srcset', 'img srcset', alt, factsFor(url));
      }
      if (current !== null && !matched) use(resolve(current, base), 'img', 'img currentSrc', alt, imgFacts(el));
      lazyUses(el, 'img', base, alt);
    }

    function visitSource(el, base, live, alt) {
      const picture = el.parentElement;
      if (picture && picture.localName === 'picture') {
        const img = live ? picture.querySelector(':scope > img') : null;
        const current = img ? currentSource(img, base, live) : null;
        for (const candidate of srcsetCandidates(el.getAttribute('srcset'))) {
          const url = resolve(candidate, base);
          if (url !== null && sameResource(url.href, current)) {
            use(url, 'picture', 'source srcset', cut(img.getAttribute('alt') || img.getAttribute('title') || ''), imgFacts(img));
            claimed.add(img);
          } else {
            use(url, 'picture', 'source srcset', alt);
          }
        }
      }
      lazyUses(el, 'source', base, alt);
    }

    function visitLink(el, base, alt) {
      const rels = (el.getAttribute('rel') || '').toLowerCase().split(/[ \t\n\r\f]+/);
      if (kIconRels.some((rel) => rels.includes(rel))) {
        use(resolve(el.getAttribute('href'), base), 'icon', 'link href', alt);
      } else if (rels.includes('preload') && (el.getAttribute('as') || '').trim().toLowerCase() === 'image') {
        use(resolve(el.getAttribute('href'), base), 'preload', 'link href', alt);
        for (const candidate of srcsetCandidates(el.getAttribute('imagesrcset'))) {
          use(resolve(candidate, base), 'preload', 'link imagesrcset', alt);
        }
      }
    }

    function visitMeta(el, base) {
      for (const name of ['property', 'name']) {
        if (kMetaNames.has((el.getAttribute(name) || '').trim().toLowerCase())) {
          use(resolve(el.getAttribute('content'), base), 'meta', 'meta content', '');
          return;
        }
      }
    }

    function visitAnchor(el, base, alt) {
      const url = resolve(el.getAttribute('href'), base);
      if (url === null) return;
      const typed = (el.getAttribute('type') || '').trim().toLowerCase().startsWith('image/');
      if (typed || kImageExtension.test(url.pathname)) use(url, 'link', 'a href', alt);
    }

    function visitStyle(el, tag, base, alt) {
      const view = el.ownerDocument.defaultView || window;
      for (const pseudo of [null, '::before', '::after']) {
        const style = view.getComputedStyle(el, pseudo);
        if (pseudo !== null) {
          // No content, no pseudo-element: nothing of it is drawn.
          const content = style.getPropertyValue('content');
          if (content === 'none' || content === 'normal' || content === '') continue;
        }
        const origin = tag + (pseudo ? ' ' + pseudo : ' style');
        for (const property of kStyleProperties) {
          for (const text of cssAddresses(style.getPropertyValue(property))) use(resolve(text, base), 'css', origin, alt);
        }
      }
    }

    // Noscript markup, parsed apart from the page in pieces of at most
    // kNoscriptPiece characters, each cut before a tag, so a huge noscript
    // never becomes one huge document. Each piece is walked whole before the
    // next is parsed; the walk's budget stops it like any other part.
    function visitNoscript(text, inPicture, base) {
      for (let start = 0; start < text.length && !overBudget();) {
        let end = text.length;
        if (end - start > kNoscriptPiece) {
          end = text.lastIndexOf('<', start + kNoscriptPiece);
          if (end <= start) end = start + kNoscriptPiece;
        }
        const piece = text.slice(start, end);
        start = end;
        if (!piece.trim()) continue;
        const doc = new DOMParser().parseFromString(inPicture ? '<picture>' + piece + '</picture>' : piece, 'text/html');
        const mark = stack.length;
        pushChildren(doc, base);
        while (stack.length > mark && !overBudget()) {
          const [child, inertBase] = stack.pop();
          visit(child, inertBase);
        }
      }
    }

    // The walk: an explicit stack of [element, inert base]; the inert base is
    // null for the live document and its same-origin frames, and the address
    // to resolve against for markup parsed from noscript text.
    const stack = [];
    const seenDocuments = new Set([document]);
    const pushChildren = (parent, inertBase) => {
      const children = parent.children;
      for (let i = children.length - 1; i >= 0; --i) stack.push([children[i], inertBase]);
    };

    function visit(el, inertBase) {
      const live = inertBase === null;
      const base = live ? el.baseURI : inertBase;
      const tag = el.localName;
      const alt = cut(el.getAttribute('alt') || el.getAttribute('title') || '');
      pushChildren(el, inertBase);
      if (el.namespaceURI === kHtml) {
        switch (tag) {
          case 'img': visitImg(el, base, live, alt); break;
          case 'source': visitSource(el, base, live, alt); break;
          case 'picture': lazyUses(el, 'picture', base, alt); break;
          case 'input': {
            if ((el.getAttribute('type') || '').trim().toLowerCase() === 'image') {
              use(resolve(el.getAttribute('src'), base), 'input', 'input src', alt, live ? box(el) : null);
            }
            break;
          }
          case 'video':
            use(resolve(el.getAttribute('poster'), base), 'poster', 'video poster', alt, live ? box(el) : null);
            break;
          case 'link': visitLink(el, base, alt); break;
          case 'meta': visitMeta(el, base); break;
          case 'a': visitAnchor(el, base, alt); break;
          case 'iframe':
          case 'frame': {
            if (!live) break;
            let doc = null;
            try {
              doc = el.contentDocument;
            } catch (e) {
              doc = null;
            }
            if (doc === null) {
              use(resolve(el.getAttribute('src'), base), 'frame', tag + ' src', '');
            } else if (!seenDocuments.has(doc)) {
              seenDocuments.add(doc);
              pushChildren(doc, null);
            }
            break;
          }
          case 'noscript':
            // With script on, the engine keeps noscript contents as text:
            // parsed apart from the page, never inserted into it.
            // A noscript inside a picture holds that picture's sources.
            if (live && el.children.length === 0) {
              const inPicture = el.parentElement !== null && el.parentElement.localName === 'picture';
              visitNoscript(el.textContent, inPicture, base);
            }
            break;
        }
      } else if (el.namespaceURI === kSvg && (tag === 'image' || tag === 'use')) {
        const facts = live ? box(el) : null;
        const plain = el.hasAttribute('href');
        const url = resolve(plain ? el.getAttribute('href') : el.getAttributeNS(kXlink, 'href'), base);
        const origin = tag + (plain ? ' href' : ' xlink:href');
        if (tag === 'image') {
          use(url, 'svg', origin, alt, facts);
        } else if (url !== null && url.protocol !== 'data:') {
          // A use of another file's element ("icons.svg#close") uses that
          // file; one of an element of this document uses nothing.
          url.hash = '';
          if (url.href !== withoutFragment(el.ownerDocument.URL)) use(url, 'svg', origin, alt, facts);
        }
      }
      if (live) {
        visitStyle(el, tag, base, alt);
        // An open shadow tree is walked before the light children it shows.
        if (el.shadowRoot) pushChildren(el.shadowRoot, null);
      }
    }

    if (probe) return JSON.stringify({srcsetCandidates, cssAddresses, unescapeCss}[probe[0]](probe[1]));
    pushChildren(document, null);
    while (stack.length > 0) {
      if (overBudget()) break;
      const [el, inertBase] = stack.pop();
      visit(el, inertBase);
    }
    return JSON.stringify({complete: limits.length === 0, limits, addresses, origins, uses});
  } catch (e) {
    let message = 'the collecting script failed';
    try {
      message = String(e && e.message !== undefined ? e.message : e).slice(0, 1000) || message;
    } catch (ignored) {
      // A page-made value whose text cannot be read.
    }
    return JSON.stringify({error: message});
  }
})
