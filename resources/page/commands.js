// The visual editing commands: design mode and the engine's editing
// commands, which the toolbar and menus run by name.
(function(tarlo) {
'use strict';

// Sets design mode ('on' or 'off') and answers the mode the page is in.
tarlo.setDesignMode = function(mode) {
    document.designMode = mode;
    return document.designMode;
};

tarlo.designMode = function() {
    return document.designMode;
};

// An editing command by name; false when the engine refuses it (nothing
// selected, the page not editable).
tarlo.exec = function(name, showUi, value) {
    return document.execCommand(name, showUi, value);
};

// Inserts a picture and gives the new picture (and only it) its alternate
// text: the engine's command takes the address alone.
tarlo.insertImage = function(src, alt) {
    var before = new Set(Array.prototype.slice.call(document.images));
    if (!document.execCommand('InsertImage', true, src)) return false;
    var all = document.images;
    for (var i = 0; i < all.length; ++i) {
        if (!before.has(all[i])) all[i].alt = alt;
    }
    return true;
};
})(window.tarlo || (window.tarlo = {}));
