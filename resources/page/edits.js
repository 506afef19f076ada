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
var MOST_CHANGED = 200;

function noteChanges(records) {
    var d = document, changed = d.__tarloChanged;
    if (!changed) changed = d.__tarloChanged = new Set();
    for (var i = 0; i < records.length && !d.__tarloWhole; ++i) {
        var target = records[i].target;
        var element = target.nodeType === Node.ELEMENT_NODE ? target : target.parentNode;
        if (!element || element.nodeType !== Node.ELEMENT_NODE) {
            d.__tarloWhole = true;  // the document itself changed
        } else {
            changed.add(element);
            if (changed.size > MOST_CHANGED) d.__tarloWhole = true;
        }
    }
    if (d.__tarloWhole) changed.clear();
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
    d.__tarloWhole = edited === true;
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
function placeOf(element) {
    var path = [], names = [];
    for (var e = element; e; e = e.parentElement) {
        var index = 0;
        for (var s = e.previousElementSibling; s; s = s.previousElementSibling) ++index;
        path.unshift(index);
        names.unshift(e.tagName);
    }
    return {path: path, names: names};
}

// An XML element as the XML serialiser writes it inside the document: the
// namespaces its ancestors declare are not repeated on it. The serialiser
// sees a copy of the ancestors (their attributes only) around a copy of the
// element, and the markup between two marks is the element's.
var MARK = 'tarlo-element-edge';

function xmlOf(element) {
    var d = document, parent = element.parentElement;
    var outer = parent.cloneNode(false);
    outer.appendChild(d.createComment(MARK));
    outer.appendChild(element.cloneNode(true));
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

// The elements the user changed since the code was last written into the
// page, the outermost only (none inside another): for each its place and
// its markup as readHtml writes it. {whole: true} when the page must be
// read whole: its root, head or body changed, the document itself, a great
// many elements, or an element no longer in the page whose change its
// parent's record does not hold.
tarlo.changedElements = function() {
    var d = document, root = d.documentElement;
    // Changes not yet handed to the observer's callback count too.
    if (tarlo.observer) {
        var pending = tarlo.observer.takeRecords();
        if (pending.length > 0) countEdit(pending);
    }
    if (d.__tarloWhole || !root || !d.__tarloChanged) return {whole: true};
    var xml = d.contentType === 'application/xhtml+xml';
    var top = [];
    d.__tarloChanged.forEach(function(e) {
        // A removed element's removal is recorded on its old parent.
        if (!root.contains(e)) return;
        for (var a = e.parentElement; a; a = a.parentElement) {
            if (d.__tarloChanged.has(a)) return;
        }
        top.push(e);
    });
    if (top.length === 0) return {whole: true};
    var out = [];
    for (var i = 0; i < top.length; ++i) {
        var e = top[i];
        if (e === root || e === d.head || e === d.body || e.parentElement === null) {
            return {whole: true};
        }
        var place = placeOf(e);
        var markup = xml ? xmlOf(e) : e.outerHTML;
        if (markup === null) return {whole: true};
        out.push({path: place.path, names: place.names, tag: e.tagName, html: markup});
    }
    return {elements: out};
};
})(window.tarlo || (window.tarlo = {}));
