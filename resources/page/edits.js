// The edit marker of the visual view. The page is a view of the code, so the
// editor must know whether the user changed it since the code was last
// written into it, and how often: a count that keeps moving means the user
// is still at work in the page (the recovery copy waits for it to rest).
//
// An observer in the editor's own script world sees every change of the
// page's content (typing, a formatting command, a drop, a paste) and marks
// the document. It is off while the editor itself writes, so a large write
// costs no records. The marks live on the document, so a page that loads
// another document starts unmarked.
//
// The observer also keeps the elements it saw change (a text's parent, an
// element whose children or attributes changed), so that a refresh can take
// back just those elements instead of the whole page.
(function(tarlo) {
'use strict';

// More changed elements than this and the whole page is read back: the
// refresh would gain nothing by going element by element.
var MOST_CHANGED = 5000;

// A child list's nodes before this round of records: the current list with
// the records taken back, last first. Null when the records do not fit it.
function childrenBefore(target, records) {
    var list = Array.prototype.slice.call(target.childNodes);
    for (var i = records.length - 1; i >= 0; --i) {
        var r = records[i], k;
        for (k = 0; k < r.addedNodes.length; ++k) {
            var was = list.indexOf(r.addedNodes[k]);
            if (was >= 0) list.splice(was, 1);
        }
        var at = r.previousSibling ? list.indexOf(r.previousSibling) + 1
               : r.nextSibling ? list.indexOf(r.nextSibling) : 0;
        if ((r.previousSibling && at === 0) || at < 0) return null;
        for (k = 0; k < r.removedNodes.length; ++k) list.splice(at + k, 0, r.removedNodes[k]);
    }
    return list;
}

function noteChanges(records) {
    var d = document, changed = d.__tarloChanged;
    if (!changed) changed = d.__tarloChanged = new Set();
    if (!d.__tarloBefore) d.__tarloBefore = new Map();
    if (!d.__tarloTexts) d.__tarloTexts = new Set();
    if (!d.__tarloAttributes) d.__tarloAttributes = new Set();
    // The first change of an element's child list keeps the list it had, so
    // that a refresh can say which of its children the code still holds.
    var lists = new Map();
    for (var i = 0; i < records.length; ++i) {
        var record = records[i];
        if (record.type !== 'childList' || d.__tarloBefore.has(record.target)) continue;
        if (!lists.has(record.target)) lists.set(record.target, []);
        lists.get(record.target).push(record);
    }
    lists.forEach(function(own, target) {
        var before = childrenBefore(target, own);
        if (before === null) d.__tarloWhole = 'a child list the records do not fit';
        else d.__tarloBefore.set(target, before);
    });
    for (i = 0; i < records.length && !d.__tarloWhole; ++i) {
        var target = records[i].target;
        var element = target.nodeType === Node.ELEMENT_NODE ? target : target.parentNode;
        if (target.nodeType === Node.DOCUMENT_NODE || (element && element === d)) {
            d.__tarloWhole = 'the document';
        } else if (!element || element.nodeType !== Node.ELEMENT_NODE) {
            // A text changed and then taken out: its parent's list holds that.
        } else {
            changed.add(element);
            if (records[i].type === 'characterData') d.__tarloTexts.add(target);
            if (records[i].type === 'attributes') d.__tarloAttributes.add(element);
            if (changed.size > MOST_CHANGED) d.__tarloWhole = 'many elements';
        }
    }
    if (d.__tarloWhole) {
        changed.clear();
        d.__tarloBefore.clear();
        d.__tarloTexts.clear();
        d.__tarloAttributes.clear();
    }
}

function countEdit(records) {
    var d = document;
    d.__tarloEdited = true;
    d.__tarloEdits = (d.__tarloEdits || 0) + 1;
    noteChanges(records);
}

// Stops watching before the editor writes into the page itself.
tarlo.quiet = function() {
    if (tarlo.observer) tarlo.observer.disconnect();
};

// After every write, and on every page the editor loads: design mode on
// again (a new document starts out of it in some engines, and the view must
// stay editable), the observer watching, and the mark set. `edited` is true
// only when what was just written is the page's and not the code's.
tarlo.watchEdits = function(edited) {
    var d = document;
    d.designMode = 'on';
    if (!tarlo.observer) tarlo.observer = new MutationObserver(countEdit);
    tarlo.observer.observe(
        d, {subtree: true, childList: true, characterData: true, attributes: true});
    tarlo.observer.takeRecords();
    d.__tarloEdited = edited === true;
    // A page the editor wrote as its own (not the code's) is changed whole.
    d.__tarloChanged = new Set();
    d.__tarloBefore = new Map();
    d.__tarloTexts = new Set();
    d.__tarloAttributes = new Set();
    d.__tarloWhole = edited === true ? 'written by the editor' : false;
    return true;
};

// Whether the page holds edits the code has not seen yet.
tarlo.edited = function() {
    return document.__tarloEdited === true;
};

// How many changes the page has seen (0 while it holds none of its own).
// The count is not reset by a write: it only ever moves on, so a count
// seen twice means the page stood still in between.
tarlo.editCount = function() {
    var d = document;
    return d.__tarloEdited === true ? (d.__tarloEdits || 1) : 0;
};

// The place of an element as the code's source map counts it: element-child
// indices from the document ({0} is the root), with the tag name at each step.
// The indices are those of the page the code was written into: a child list
// the user changed counts its elements as they were. Null for an element the
// user made.
function placeOf(element) {
    var path = [], names = [], before = document.__tarloBefore || new Map();
    for (var e = element; e; e = e.parentElement) {
        var index = 0, parent = e.parentNode, list = parent && before.get(parent);
        if (list) {
            var at = list.indexOf(e);
            if (at < 0) return null;
            for (var k = 0; k < at; ++k) if (list[k].nodeType === Node.ELEMENT_NODE) ++index;
        } else {
            for (var s = e.previousElementSibling; s; s = s.previousElementSibling) ++index;
        }
        path.unshift(index);
        names.unshift(e.tagName);
    }
    return {path: path, names: names};
}

// Which of an element's children the user replaced: the stretch between the
// children that are still the ones the code was written with (the same
// nodes, a text not retyped) at either end, as [from, to) of the list as
// it was and [nowFrom, nowTo) of the list as it is.
function replacedChildren(element) {
    var d = document, texts = d.__tarloTexts || new Set();
    var now = Array.prototype.slice.call(element.childNodes);
    var was = (d.__tarloBefore && d.__tarloBefore.get(element)) || now;
    var kept = function(a, b) { return a === b && !texts.has(a); };
    var head = 0, tail = 0;
    while (head < was.length && head < now.length && kept(was[head], now[head])) ++head;
    while (tail < was.length - head && tail < now.length - head &&
           kept(was[was.length - 1 - tail], now[now.length - 1 - tail])) {
        ++tail;
    }
    return {from: head, to: was.length - tail, count: was.length,
            nowFrom: head, nowTo: now.length - tail, now: now};
}

// An XML element as the XML serialiser writes it inside the document: the
// namespaces its ancestors declare are not repeated on it. The serialiser
// sees a copy of the ancestors (their attributes only) around a copy of the
// element, and the markup between two marks is the element's.
var MARK = 'tarlo-element-edge';

function xmlOfNodes(parent, nodes) {
    var d = document;
    var outer = parent.cloneNode(false);
    outer.appendChild(d.createComment(MARK));
    for (var i = 0; i < nodes.length; ++i) outer.appendChild(nodes[i].cloneNode(true));
    outer.appendChild(d.createComment(MARK));
    for (var a = parent.parentElement; a; a = a.parentElement) {
        var copy = a.cloneNode(false);
        copy.appendChild(outer);
        outer = copy;
    }
    var markup = new XMLSerializer().serializeToString(outer);
    var edge = '<!--' + MARK + '-->';
    var from = markup.indexOf(edge), to = markup.lastIndexOf(edge);
    if (from < 0 || to <= from) return null;
    return markup.substring(from + edge.length, to);
}

function xmlOf(element) {
    return xmlOfNodes(element.parentElement, [element]);
}

// Some of an element's children as the page writes them inside it (a
// shallow copy of the element keeps the rules of its content: the text of
// a script or style is written as it is).
function markupOfChildren(element, nodes, xml) {
    if (xml) return xmlOfNodes(element, nodes);
    var holder = element.cloneNode(false);
    for (var i = 0; i < nodes.length; ++i) holder.appendChild(nodes[i].cloneNode(true));
    return holder.innerHTML;
}

// The shape of nodes as the page holds them, for the editor to check that
// the code it writes reads back into the same tree: elements by name with
// their content, "#" for a text, "!" for a comment, "?" for anything else.
function shapeOf(nodes) {
    var out = '';
    var add = function(n) {
        if (n.nodeType === Node.ELEMENT_NODE) {
            out += '<' + n.tagName;
            for (var c = n.firstChild; c; c = c.nextSibling) add(c);
            out += '>';
        } else {
            out += n.nodeType === Node.TEXT_NODE ? '#' : n.nodeType === Node.COMMENT_NODE ? '!' : '?';
        }
    };
    for (var i = 0; i < nodes.length; ++i) add(nodes[i]);
    return out;
}

// The place of an element in the page as it is now.
function pathNow(element) {
    var path = [];
    for (var e = element; e; e = e.parentElement) {
        var index = 0;
        for (var s = e.previousElementSibling; s; s = s.previousElementSibling) ++index;
        path.unshift(index);
    }
    return path;
}

// What the user changed since the code was last written into the page, as
// the fewest pieces the code can take back one by one: an element whose
// attributes changed, whole; an element whose content changed, the stretch
// of its children between those still as the code wrote them; a change
// inside a child the code still holds, as its own piece. Each with its
// place and its markup as readHtml writes it. {whole: true} when the page
// must be read whole: its root or head changed, the body's attributes, the
// document itself, a great many elements, or a change the records do not
// place.
tarlo.changedElements = function() {
    var d = document, root = d.documentElement;
    // Changes not yet handed to the observer's callback count too.
    if (tarlo.observer) {
        var pending = tarlo.observer.takeRecords();
        if (pending.length > 0) countEdit(pending);
    }
    if (d.__tarloWhole || !root || !d.__tarloChanged) {
        return {whole: true, why: String(d.__tarloWhole || 'no record')};
    }
    var xml = d.contentType === 'application/xhtml+xml';
    var attributes = d.__tarloAttributes || new Set();
    var ranges = new Map();
    var rangeOf = function(e) {
        if (!ranges.has(e)) ranges.set(e, replacedChildren(e));
        return ranges.get(e);
    };
    // Within a stretch an ancestor rewrites, or inside an ancestor written whole.
    var covered = function(e) {
        for (var x = e, a = e.parentElement; a; x = a, a = a.parentElement) {
            if (!d.__tarloChanged.has(a)) continue;
            if (attributes.has(a)) return true;
            var r = rangeOf(a), at = r.now.indexOf(x);
            if (at >= r.nowFrom && at < r.nowTo) return true;
        }
        return false;
    };
    var out = [], whole = false;
    d.__tarloChanged.forEach(function(e) {
        // A removed element's removal is recorded on its old parent.
        if (whole || !root.contains(e) || covered(e)) return;
        if (e === root || e === d.head || e.parentElement === null ||
            (e === d.body && attributes.has(e))) {
            whole = 'the root, the head or the body\'s attributes';
            return;
        }
        var place = placeOf(e);
        if (place === null) {
            whole = 'an element the user made, outside what was replaced';
            return;
        }
        var piece = {path: place.path, names: place.names, tag: e.tagName, nowPath: pathNow(e)};
        if (attributes.has(e)) {
            piece.html = xml ? xmlOf(e) : e.outerHTML;
            piece.shape = shapeOf([e]);
        } else {
            var r = rangeOf(e);
            if (r.from === r.to && r.nowFrom === r.nowTo) return;  // changed and changed back
            var nodes = r.now.slice(r.nowFrom, r.nowTo);
            piece.html = markupOfChildren(e, nodes, xml);
            piece.shape = shapeOf(nodes);
            piece.children = {from: r.from, to: r.to, count: r.count, nowCount: r.now.length};
        }
        if (piece.html === null) whole = 'markup the serialiser cannot write';
        out.push(piece);
    });
    if (whole) return {whole: true, why: whole};
    return {elements: out};
};

// The changed pieces for a refresh, and, in the same moment, a new record:
// a key typed while the editor lays the pieces over the code is a change
// of the next refresh, never lost between the two.
tarlo.takeChangedElements = function() {
    var changed = tarlo.changedElements();
    if (!changed.whole) {
        var d = document;
        d.__tarloEdited = false;
        d.__tarloChanged = new Set();
        d.__tarloBefore = new Map();
        d.__tarloTexts = new Set();
        d.__tarloAttributes = new Set();
    }
    return changed;
};
})(window.tarlo || (window.tarlo = {}));
