// "Clean up, keeping the layout": the look the document's style sheet and
// style attributes give each element, carried over as inline styles onto the
// cleaned document. Two steps around the clean-up itself:
//   tarlo.lookSnapshot()   the page's markup with every element of the body
//                          numbered, the style sheet gone, and each element's
//                          look (as the page computes it) kept here;
//   tarlo.resolveLooks(h)  the cleaned markup `h` laid out in a hidden frame,
//                          and for each numbered element the inline style
//                          that makes it look as it did.
// Neither changes the document the user edits: the snapshot works on a copy,
// and the frame comes and goes without counting as an edit.
(function(tarlo) {
'use strict';

var MARK = 'data-tarlo-look';

// What changes how the text is shown. Inherited ones first: they are what a
// removed wrapper hands down to its text.
var INHERITED = ['text-align', 'text-indent', 'font-weight', 'font-style', 'font-size',
                 'font-family', 'color', 'line-height'];
var OWN = ['text-decoration-line', 'text-decoration-style', 'vertical-align', 'width',
           'margin-top', 'margin-right', 'margin-bottom', 'margin-left',
           'padding-top', 'padding-right', 'padding-bottom', 'padding-left',
           'border-top-width', 'border-top-style', 'border-top-color',
           'border-right-width', 'border-right-style', 'border-right-color',
           'border-bottom-width', 'border-bottom-style', 'border-bottom-color',
           'border-left-width', 'border-left-style', 'border-left-color', 'display'];
var PROPS = INHERITED.concat(OWN);

// Elements the clean-up drops while keeping their text: a look of theirs
// must move to their parent or onto an element that stays.
function dropped(name) {
    name = name.toLowerCase();
    return name === 'span' || name.indexOf(':') >= 0 || name.charAt(0) === 'w';
}

// A property's computed value as text. Widths, margins, padding and indents
// come from the typed computed values, which keep "auto" and percentages: the
// resolved ones would freeze every block at its current size in pixels.
var TYPED = /^(width|margin-|padding-|text-indent)/;
function valueOf(element, style, map, name) {
    if (map && TYPED.test(name)) {
        var v = map.get(name);
        return v ? v.toString() : style.getPropertyValue(name);
    }
    return style.getPropertyValue(name);
}

function lookOf(element) {
    var win = element.ownerDocument.defaultView;
    var style = win.getComputedStyle(element);
    var map = element.computedStyleMap ? element.computedStyleMap() : null;
    var look = {};
    for (var i = 0; i < PROPS.length; ++i) {
        look[PROPS[i]] = valueOf(element, style, map, PROPS[i]);
    }
    // Only hiding counts of the display: the rest is the element's own kind.
    if (look.display !== 'none') delete look.display;
    // A line's style matters only where there is a line, and solid is the
    // line every element draws unless told otherwise.
    if (look['text-decoration-line'] === 'none' || look['text-decoration-style'] === 'solid') {
        delete look['text-decoration-style'];
    }
    return look;
}

function sameInherited(a, b) {
    for (var i = 0; i < INHERITED.length; ++i) {
        if (a[INHERITED[i]] !== b[INHERITED[i]]) return false;
    }
    return a['text-decoration-line'] === b['text-decoration-line'];
}

// The text of a node's children other than `except`, blanks aside.
function otherText(parent, except) {
    for (var n = parent.firstChild; n; n = n.nextSibling) {
        if (n === except) continue;
        if (n.nodeType === Node.TEXT_NODE && /\S/.test(n.data)) return true;
        if (n.nodeType === Node.ELEMENT_NODE && /\S/.test(n.textContent)) return true;
    }
    return false;
}

function removeAll(root, selector) {
    var found = root.querySelectorAll(selector);
    for (var i = 0; i < found.length; ++i) found[i].remove();
}

tarlo.lookSnapshot = function() {
    var d = document, root = d.documentElement, body = d.body;
    if (!root || !body) return null;
    var originals = body.getElementsByTagName('*');
    var copy = root.cloneNode(true);
    var copyBody = copy.querySelector('body') || copy;
    var copies = copyBody.getElementsByTagName('*');
    if (copies.length !== originals.length) return null;

    var looks = [lookOf(body)];
    var parents = [-1];
    var index = new Map([[body, 0]]);
    var elements = [copyBody];
    for (var i = 0; i < originals.length; ++i) {
        index.set(originals[i], i + 1);
        looks.push(lookOf(originals[i]));
        parents.push(index.get(originals[i].parentElement));
        elements.push(copies[i]);
    }
    // Innermost first, so that a wrapper inside a wrapper hands its look on
    // before its own parent is looked at.
    for (var k = elements.length - 1; k > 0; --k) {
        var el = elements[k];
        if (!dropped(el.localName || el.nodeName)) continue;
        var p = parents[k];
        if (p < 0 || sameInherited(looks[k], looks[p])) continue;
        if (!otherText(el.parentNode, el)) {
            // All its parent shows is its text: the parent takes its look.
            for (var j = 0; j < INHERITED.length; ++j) {
                looks[p][INHERITED[j]] = looks[k][INHERITED[j]];
            }
            if (looks[k]['text-decoration-line'] !== 'none') {
                looks[p]['text-decoration-line'] = looks[k]['text-decoration-line'];
                looks[p]['text-decoration-style'] = looks[k]['text-decoration-style'];
            }
        } else if (el.localName === 'span') {
            // Part of a line looks different: the part stays in a <font>,
            // which the clean-up keeps and EDGAR accepts.
            var font = el.ownerDocument.createElement('font');
            while (el.firstChild) font.appendChild(el.firstChild);
            el.replaceWith(font);
            elements[k] = font;
        }
    }
    removeAll(copy, 'style, link, script');
    for (var m = 0; m < elements.length; ++m) {
        elements[m].removeAttribute('class');
        elements[m].removeAttribute('style');
        elements[m].setAttribute(MARK, String(m));
    }
    tarlo.layoutLooks = looks;
    return copy.outerHTML;
};

// A length in pixels in the points a word processor writes, where the two
// name the same length (16pt is 21.3333px); any other stays in pixels.
function inPoints(match, number) {
    var px = Number(number);
    var pt = Math.round(px * 0.75 * 100) / 100;
    return Math.abs(pt / 0.75 - px) < 0.0005 ? String(pt) + 'pt' : match;
}

// The declarations for one element, as a style attribute's text: double
// quotes (in font names) become single ones, so the value sits in "…".
function styleText(element) {
    return element.style.cssText.replace(/"/g, "'")
        .replace(/\b(\d+(?:\.\d+)?)px\b/g, inPoints)
        .replace(/\b0pt\b/g, '0');
}

tarlo.resolveLooks = function(html) {
    var looks = tarlo.layoutLooks;
    var d = document;
    if (!looks || !d.documentElement) return null;
    var frame = d.createElement('iframe');
    frame.setAttribute('style', 'position:absolute;left:-100000px;top:0;visibility:hidden;' +
                                'width:' + d.documentElement.clientWidth + 'px;height:100px');
    d.documentElement.appendChild(frame);
    var styles = {};
    try {
        var fd = frame.contentDocument;
        fd.open();
        fd.write(html);
        fd.close();
        var marked = fd.querySelectorAll('[' + MARK + ']');
        for (var i = 0; i < marked.length; ++i) {
            var el = marked[i];
            var n = el.getAttribute(MARK);
            var want = looks[Number(n)];
            if (!want) continue;
            // Parents before children: what a child inherits is already
            // what its parent will show.
            var now = lookOf(el);
            for (var name in want) {
                if (want[name] !== now[name]) el.style.setProperty(name, want[name]);
            }
            styles[n] = styleText(el);
        }
    } finally {
        frame.remove();
        // The frame was ours, not the user's: its coming and going is no edit.
        if (tarlo.observer) tarlo.observer.takeRecords();
    }
    tarlo.layoutLooks = null;
    return styles;
};

})(window.tarlo = window.tarlo || {});
