// Reading and writing the visual view's document. The code is the document;
// the page shows it. Code that claims to be XHTML is shown in an XML page
// and read back as XML; any other code is written into an HTML page.
(function(tarlo) {
'use strict';

var XHTML = 'application/xhtml+xml';

function showsXml(d) { return d.contentType === XHTML; }

// The root element's markup as the code takes it back: an XML page is
// serialised as XML, so names keep their case and prefixes and "/>" stay.
// null when the page has no root element.
tarlo.readHtml = function() {
    var d = document, root = d.documentElement;
    if (!root) return null;
    return showsXml(d) ? new XMLSerializer().serializeToString(root) : root.outerHTML;
};

// The recovery copy's look at the page: its edit count, or, when that count
// is the one asked for (the page stood still since the last look), what it
// changed, taken in the same moment: the changed elements as a refresh
// takes them ({elements: [...]}), or, when they cannot be taken so or
// `whole` asks for it, its markup as readHtml reads it. The markup comes
// alone, as the string the page made: the engine hands it over fastest so.
tarlo.look = function(htmlAtEdits, whole) {
    var count = tarlo.editCount();
    if (count === 0 || !document.documentElement || count !== htmlAtEdits) return count;
    if (!whole) {
        var changed = tarlo.changedElements();
        if (!changed.whole) return {elements: changed.elements};
    }
    return tarlo.readHtml();
};

// A write of HTML that the page makes its own (the code does not hold it):
// the page counts as edited afterwards. An XML page takes no such write.
tarlo.writeHtml = function(html) {
    var d = document;
    if (showsXml(d)) return false;
    tarlo.quiet();
    d.open();
    d.write(html);
    d.close();
    tarlo.watchEdits(true);
    return true;
};

// The push of the code. XHTML code is parsed as XML and replaces the root
// of an XML page; any other code, and XHTML code that is not well-formed,
// is written into an HTML page. When the page is of the other kind nothing
// is written and the answer says which kind is needed ({need}); otherwise
// it says which kind now shows the code ({kind}). `note` carries the
// parser's report when XHTML code was not well-formed.
tarlo.pushCode = function(code, claimsXhtml) {
    var d = document, xml = showsXml(d), note = '';
    if (claimsXhtml) {
        var parsed = new DOMParser().parseFromString(code, XHTML);
        var errors = parsed.getElementsByTagName('parsererror');
        if (errors.length === 0) {
            if (!xml) return {need: 'xhtml'};
            tarlo.quiet();
            d.replaceChild(d.importNode(parsed.documentElement, true), d.documentElement);
            tarlo.watchEdits(false);
            return {kind: 'xhtml'};
        }
        note = errors[0].textContent;
    }
    if (xml) return {need: 'html', note: note};
    tarlo.quiet();
    d.open();
    d.write(code);
    d.close();
    tarlo.watchEdits(false);
    return {kind: 'html', note: note};
};

// The element at a path of element-child indices from the document ({0} is
// the root element); null when the path leads nowhere.
function elementAt(path) {
    var e = null;
    for (var i = 0; i < path.length; ++i) {
        var parent = i === 0 ? document : e;
        e = parent.firstElementChild;
        for (var k = 0; e && k < path[i]; ++k) e = e.nextElementSibling;
        if (!e) return null;
    }
    return e;
}

// One element of XHTML code as a node of this document: parsed as XML inside
// an element declaring the namespaces in scope where it goes, with the
// document's DOCTYPE (it names the entities the code may use). null when it
// does not parse.
function xmlElement(html, parent) {
    var d = document, declared = {}, attributes = '';
    for (var a = parent; a; a = a.parentElement) {
        for (var i = 0; i < a.attributes.length; ++i) {
            var name = a.attributes[i].name;
            if ((name === 'xmlns' || name.indexOf('xmlns:') === 0) && !declared[name]) {
                declared[name] = true;
                attributes += ' ' + name + '="' +
                    a.attributes[i].value.replace(/&/g, '&amp;').replace(/"/g, '&quot;') + '"';
            }
        }
    }
    var t = d.doctype, doctype = '';
    if (t) {
        doctype = '<!DOCTYPE ' + t.name + (t.publicId ? ' PUBLIC "' + t.publicId + '"' : '') +
            (t.systemId ? (t.publicId ? '' : ' SYSTEM') + ' "' + t.systemId + '"' : '') + '>';
    }
    var parsed = new DOMParser().parseFromString(
        doctype + '<tarlo-wrap' + attributes + '>' + html + '</tarlo-wrap>', XHTML);
    if (parsed.getElementsByTagName('parsererror').length > 0) return null;
    var wrap = parsed.documentElement;
    if (wrap.childNodes.length !== 1) return null;
    return d.importNode(wrap.firstChild, true);
}

// One element of HTML code parsed where it goes (its parent the context, as
// the page's parser would read it there); null when it is not one element.
function htmlElement(html, target) {
    var range = document.createRange();
    range.selectNode(target);
    var fragment = range.createContextualFragment(html);
    return fragment.childNodes.length === 1 ? fragment.firstChild : null;
}

// Whether a selection boundary lies inside the node.
function within(node, boundary) {
    return boundary !== null && (boundary === node || node.contains(boundary));
}

// A code edit inside one element: that element is rebuilt from its new code
// and the rest of the page stays as it is, with its scroll position and,
// when the edit is elsewhere, its selection. Not an edit of the user's. False
// when the page holds edits of its own (the code does not hold them yet),
// or the path does not lead to an element of the new element's name: the
// editor then writes the code whole.
tarlo.patchElement = function(path, html, xhtml) {
    var d = document;
    if (xhtml !== showsXml(d) || tarlo.edited()) return false;
    var target = elementAt(path);
    if (!target || !target.parentElement) return false;
    var element = xhtml ? xmlElement(html, target.parentElement) : htmlElement(html, target);
    if (!element || element.nodeType !== Node.ELEMENT_NODE || element.tagName !== target.tagName) {
        return false;
    }
    var scroller = d.scrollingElement || d.documentElement;
    var x = scroller.scrollLeft, y = scroller.scrollTop;
    var s = d.getSelection(), kept = null;
    if (s && s.rangeCount > 0 && !within(target, s.anchorNode) && !within(target, s.focusNode)) {
        kept = [s.anchorNode, s.anchorOffset, s.focusNode, s.focusOffset];
    }
    tarlo.quiet();
    target.parentNode.replaceChild(element, target);
    if (kept) s.setBaseAndExtent(kept[0], kept[1], kept[2], kept[3]);
    scroller.scrollLeft = x;
    scroller.scrollTop = y;
    tarlo.watchEdits(false);
    return true;
};

// A document too large for the page: a short note in its place, not
// editable and not marked, so nothing in the page is taken for the
// document.
tarlo.showNote = function(text) {
    tarlo.quiet();
    var d = document, root = d.documentElement;
    d.designMode = 'off';
    d.__tarloEdited = false;
    if (!root) return false;
    while (root.firstChild) root.removeChild(root.firstChild);
    var ns = root.namespaceURI || 'http://www.w3.org/1999/xhtml';
    var body = d.createElementNS(ns, 'body'), p = d.createElementNS(ns, 'p');
    p.textContent = text;
    body.appendChild(p);
    root.appendChild(body);
    return true;
};

// Inline XBRL facts. The marks are a style sheet the page adopts, not an
// element of the document: nothing of them reaches the code, the file or
// the record of edits. Names are matched in an XML page by namespace and in
// an HTML page by their prefixed names.
var INLINE_XBRL = 'http://www.xbrl.org/2013/inlineXBRL';
var FACT_NAMES = ['nonFraction', 'nonNumeric', 'fraction'];

tarlo.markFacts = function(on) {
    var d = document;
    if (!('adoptedStyleSheets' in d)) return false;
    // A sheet belongs to the document it was made for.
    if (!tarlo.factSheet || tarlo.factSheetOf !== d) {
        var look = '{outline: 1px solid #c06000; background-color: rgba(255, 214, 0, 0.35);}';
        var sheet = new CSSStyleSheet();
        sheet.replaceSync('@namespace ix url(' + INLINE_XBRL + ');\n' +
            FACT_NAMES.map(function(n) { return 'ix|' + n + ', ix\\:' + n.toLowerCase(); })
                .join(', ') + ' ' + look);
        tarlo.factSheet = sheet;
        tarlo.factSheetOf = d;
    }
    var others = d.adoptedStyleSheets.filter(function(s) { return s !== tarlo.factSheet; });
    d.adoptedStyleSheets = on ? others.concat([tarlo.factSheet]) : others;
    return true;
};

// Brings a fact into view: by its id, else the index-th fact of the
// document. False when there is none or it is not shown (a hidden fact).
tarlo.showFact = function(id, index) {
    var d = document, e = id ? d.getElementById(id) : null;
    if (!e) {
        var all = d.getElementsByTagName('*'), n = 0;
        for (var i = 0; i < all.length && !e; ++i) {
            var a = all[i], local = a.namespaceURI === INLINE_XBRL ? a.localName
                : /^ix:/i.test(a.nodeName) ? a.nodeName.substring(3) : '';
            var fact = FACT_NAMES.some(function(f) { return f.toLowerCase() === local.toLowerCase(); });
            if (fact && n++ === index) e = a;
        }
    }
    if (!e || e.getClientRects().length === 0) return false;
    e.scrollIntoView({block: 'center'});
    return true;
};
})(window.tarlo || (window.tarlo = {}));
