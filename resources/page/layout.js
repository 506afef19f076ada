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
                 'font-family', 'color', 'line-height', 'white-space'];
// Heights and background colours draw the rules filings make of empty
// blocks and shade their table rows; page breaks lay out the printed filing.
var OWN = ['text-decoration-line', 'text-decoration-style', 'vertical-align', 'width', 'height',
           'background-color', 'page-break-before', 'page-break-after',
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

// A property's computed value as text. Sizes, margins, padding and indents
// come from the typed computed values, which keep "auto" and percentages: the
// resolved ones would freeze every block at its current size in pixels.
var TYPED = /^(width|height|margin-|padding-|text-indent)/;
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

// Attributes whose value no rule of the engine's own looks at (only whether
// they are there): ids, anchors, addresses, texts for the reader, a
// spreadsheet's cell values.
var INERT = /^(id|name|href|src|alt|title|lang|x:.*|data-.*)$/i;

// An element's tag and attributes, which with its ancestors' decide what
// the style sheets and the engine's own rules give it. `inert` leaves out
// the values of the attributes above, where no style sheet selects by them.
function signature(element, except, inert) {
    // Names first, then each value: the engine makes no attribute nodes so.
    var s = element.localName;
    var names = element.getAttributeNames();
    for (var i = 0; i < names.length; ++i) {
        var name = names[i];
        if (name === except) continue;
        s += '\u0001' + name + (inert && INERT.test(name) ? '' : '=' + element.getAttribute(name));
    }
    return s;
}

// What the document's style sheet rules select by. `positional`: rules
// that can tell apart two elements of the same tag and attributes under the
// same ancestors (their place among their siblings, their content: :empty,
// :has). `byValue`: rules on attribute values or ids. Word's and the filing
// tools' sheets have neither; where one has, the elements are asked more.
function selectorKinds(d) {
    var harmless = /:(link|visited|hover|active|focus)\b|::?first-(line|letter)\b/g;
    var kinds = {positional: false, byValue: false};
    function walk(rules) {
        for (var i = 0; i < rules.length; ++i) {
            var r = rules[i];
            if (r.selectorText !== undefined) {
                var text = r.selectorText.replace(harmless, '');
                if (/[:+~]/.test(text)) kinds.positional = true;
                if (/[\[#]/.test(text)) kinds.byValue = true;
            }
            if (r.cssRules) walk(r.cssRules);
        }
    }
    try {
        for (var i = 0; i < d.styleSheets.length; ++i) walk(d.styleSheets[i].cssRules);
    } catch (e) {
        kinds.positional = kinds.byValue = true;  // a sheet that cannot be read may hold anything
    }
    return kinds;
}

// One object per distinct look, so that equal looks are known as equal by
// identity alone.
function lookInterner() {
    var byText = new Map();
    return function(look) {
        var text = JSON.stringify(look);
        var known = byText.get(text);
        if (known) return known;
        byText.set(text, look);
        return look;
    };
}

// Looks, asked of the page once per kind of element: a filing repeats the
// same paragraph, cell and span under the same ancestors thousands of times,
// and the engine gives them all the same look. Each element gets the look of
// its kind, shared: whoever changes one copies it first.
function lookAlikes(selectors, intern) {
    var kinds = new Map(), kindOf = new Map(), count = 0;
    return {
        look: function(element, parent) {
            if (selectors.positional) return intern(lookOf(element));
            var key = (parent ? kindOf.get(parent) : '') + '\u0002' +
                      signature(element, null, !selectors.byValue);
            var kind = kinds.get(key);
            if (!kind) {
                kind = {id: String(count++), look: intern(lookOf(element))};
                kinds.set(key, kind);
            }
            kindOf.set(element, kind.id);
            return kind.look;
        }
    };
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

    var intern = lookInterner();
    var same = lookAlikes(selectorKinds(d), intern);
    var looks = [same.look(body, null)];
    var parents = [-1];
    var index = new Map([[body, 0]]);
    var elements = [copyBody];
    for (var i = 0; i < originals.length; ++i) {
        var original = originals[i];
        index.set(original, i + 1);
        looks.push(same.look(original, original.parentElement));
        parents.push(index.get(original.parentElement));
        elements.push(copies[i]);
    }
    // Innermost first, so that a wrapper inside a wrapper hands its look on
    // before its own parent is looked at.
    var changed = [];
    for (var k = elements.length - 1; k > 0; --k) {
        var el = elements[k];
        if (!dropped(el.localName || el.nodeName)) continue;
        var p = parents[k];
        if (p < 0 || sameInherited(looks[k], looks[p])) continue;
        if (!otherText(el.parentNode, el)) {
            // All its parent shows is its text: the parent takes its look.
            looks[p] = Object.assign({}, looks[p]);
            changed.push(p);
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
    for (var c = 0; c < changed.length; ++c) looks[changed[c]] = intern(looks[changed[c]]);
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
        // The engine names page breaks the newer way; filings and the
        // programs that print them know the older one.
        .replace(/(^|[ ;])break-(before|after): (page|avoid|left|right)\b/g,
                 function(match, lead, side, value) {
                     return lead + 'page-break-' + side + ': ' + (value === 'page' ? 'always' : value);
                 })
        .replace(/\b(\d+(?:\.\d+)?)px\b/g, inPoints)
        .replace(/\b0pt\b/g, '0');
}

// Looks as numbers: the same look object (elements of one kind share it)
// gets the same number.
function lookNumbers() {
    var numbers = new Map();
    return function(look) {
        if (!numbers.has(look)) numbers.set(look, numbers.size);
        return numbers.get(look);
    };
}

// The answer: the distinct style texts, and for each numbered element that
// needs a style, "number:text index" in one string, joined by commas. One
// string crosses to the editor far faster than an entry per element.
tarlo.resolveLooks = function(html) {
    var looks = tarlo.layoutLooks;
    var d = document;
    if (!looks || !d.documentElement) return null;
    var frame = d.createElement('iframe');
    frame.setAttribute('style', 'position:absolute;left:-100000px;top:0;visibility:hidden;' +
                                'width:' + d.documentElement.clientWidth + 'px;height:100px');
    d.documentElement.appendChild(frame);
    var answer = null;
    try {
        var fd = frame.contentDocument;
        fd.open();
        fd.write(html);
        fd.close();
        // Nothing in the frame is shown, so nothing is laid out or styled
        // ahead: the engine computes the style of each element asked about
        // (and its ancestors) when asked, which is all a look needs.
        if (fd.documentElement) fd.documentElement.style.setProperty('display', 'none');
        answer = settleLooks(fd, looks);
    } finally {
        frame.remove();
        // The frame was ours, not the user's: its coming and going is no edit.
        if (tarlo.observer) tarlo.observer.takeRecords();
    }
    tarlo.layoutLooks = null;
    return answer;
};

// For each numbered element of the laid-out cleaned document, the properties
// it must set to look as it did. What an element inherits is set by its
// ancestors alone, so the elements are taken a depth at a time. An element
// of a kind already settled (same tag and attributes under ancestors of the
// same kinds, wanting the same look) sets what that one set, unread: the
// frame has no style sheet of the document's. Only the ancestors of an
// element that must be read get their properties in the frame, so that a
// read never waits for the page to restyle thousands of elements.
function settleLooks(fd, looks) {
    var marked = fd.querySelectorAll('[' + MARK + ']');
    var lookNumber = lookNumbers();
    var info = new Map(), byDepth = [];
    for (var i = 0; i < marked.length; ++i) {
        var el = marked[i], up = el.parentElement;
        while (up && !info.has(up)) up = up.parentElement;
        var depth = up ? info.get(up).depth + 1 : 0;
        info.set(el, {depth: depth, up: up, kind: '', sets: null, applied: false});
        (byDepth[depth] = byDepth[depth] || []).push(el);
    }
    function apply(el) {
        var it = info.get(el);
        if (!it || it.applied) return;
        it.applied = true;
        if (it.up) apply(it.up);
        for (var s = 0; s < it.sets.length; ++s) el.style.setProperty(it.sets[s][0], it.sets[s][1]);
    }
    var settled = new Map(), kinds = new Map();
    for (var lv = 0; lv < byDepth.length; ++lv) {
        var level = byDepth[lv] || [], open = [], followers = [], leaders = new Map();
        for (var k = 0; k < level.length; ++k) {
            var item = level[k], it = info.get(item);
            var want = looks[Number(item.getAttribute(MARK))];
            if (!want) {
                it.sets = [];
                continue;
            }
            var key = (it.up ? info.get(it.up).kind : '') + '\u0002' + signature(item, MARK, true) +
                      '\u0002' + lookNumber(want);
            if (!kinds.has(key)) kinds.set(key, String(kinds.size));
            it.kind = kinds.get(key);
            it.key = key;
            var done = settled.get(key);
            if (done) {
                it.sets = done;
            } else if (leaders.has(key)) {
                followers.push(item);  // read once, for the first of its kind
            } else {
                leaders.set(key, item);
                open.push(item);
            }
        }
        // Every element read at this depth sees its ancestors as they will be.
        for (var a = 0; a < open.length; ++a) if (info.get(open[a]).up) apply(info.get(open[a]).up);
        var nows = open.map(lookOf);
        for (var o = 0; o < open.length; ++o) {
            var oit = info.get(open[o]);
            var wanted = looks[Number(open[o].getAttribute(MARK))], sets = [];
            for (var name in wanted) {
                if (wanted[name] !== nows[o][name]) sets.push([name, wanted[name]]);
            }
            oit.sets = sets;
            settled.set(oit.key, sets);
        }
        for (var f = 0; f < followers.length; ++f) {
            var fit = info.get(followers[f]);
            fit.sets = settled.get(fit.key);
        }
    }
    // One style text per distinct set, written by the engine itself.
    var scratch = fd.createElement('div'), texts = [], textOf = new Map(), which = [];
    for (var m = 0; m < marked.length; ++m) {
        var sets = info.get(marked[m]).sets;
        if (!sets || sets.length === 0) continue;
        if (!textOf.has(sets)) {
            scratch.removeAttribute('style');
            for (var q = 0; q < sets.length; ++q) scratch.style.setProperty(sets[q][0], sets[q][1]);
            textOf.set(sets, texts.length);
            texts.push(styleText(scratch));
        }
        which.push(marked[m].getAttribute(MARK) + ':' + textOf.get(sets));
    }
    return {texts: texts, which: which.join(',')};
}

})(window.tarlo = window.tarlo || {});
