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
(function(tarlo) {
'use strict';

function countEdit() {
    var d = document;
    d.__tarloEdited = true;
    d.__tarloEdits = (d.__tarloEdits || 0) + 1;
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
})(window.tarlo || (window.tarlo = {}));
