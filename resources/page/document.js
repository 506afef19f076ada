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
// is the one asked for (the page stood still since the last look), its
// markup as readHtml reads it, taken in the same moment. The markup comes
// alone, as the string the page made: the engine hands it over fastest so.
tarlo.look = function(htmlAtEdits) {
    var count = tarlo.editCount();
    if (count === 0 || !document.documentElement || count !== htmlAtEdits) return count;
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
})(window.tarlo || (window.tarlo = {}));
