#pragma once
// What the fidelity tests share: the corpus filings, the ix: facts of an
// XHTML filing, where two texts differ, and the bytes of an element at a
// page path.
#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QString>
#include <QXmlStreamReader>
#include <algorithm>
#include <string>
#include <vector>

#include "text/byte_range.h"
#include "text/page_source.h"
#include "text/source_map.h"

namespace tarlo::test {

inline constexpr const char* kFilings[] = {
    "edgar-10k-2024-ixbrl-a.htm", "edgar-10k-2024-ixbrl-b.htm",      "edgar-10q-2019.htm",
    "edgar-8k-2016.htm",          "edgar-8k-ex99-press-release.htm", "word-lists.htm"};

// Every ix: element with its attributes, and the text inside ix: elements,
// in document order; empty with `wellFormed` false when the XML does not parse.
struct XbrlFacts {
    bool wellFormed = false;
    std::vector<std::string> elements;
    std::string text;
    bool operator==(const XbrlFacts& o) const {
        return wellFormed == o.wellFormed && elements == o.elements && text == o.text;
    }
};

inline XbrlFacts ReadFacts(const QByteArray& xml) {
    XbrlFacts facts;
    QXmlStreamReader r(xml);
    int inside = 0;
    while (!r.atEnd()) {
        r.readNext();
        if (r.isStartElement() && r.prefix() == QLatin1String("ix")) {
            std::string e = r.qualifiedName().toString().toStdString();
            std::vector<std::string> attributes;
            for (const QXmlStreamAttribute& a : r.attributes()) {
                attributes.push_back(a.qualifiedName().toString().toStdString() + "=" +
                                     a.value().toString().toStdString());
            }
            std::sort(attributes.begin(), attributes.end());
            for (const std::string& a : attributes) e += " " + a;
            facts.elements.push_back(e);
            ++inside;
        } else if (r.isEndElement() && r.prefix() == QLatin1String("ix")) {
            --inside;
        } else if (r.isCharacters() && inside > 0) {
            facts.text += r.text().toString().toStdString();
        }
    }
    facts.wellFormed = !r.hasError();
    return facts;
}

// Where two texts differ: [from, to) of `before` and of `after`.
struct Difference {
    std::size_t from = 0;
    std::size_t beforeTo = 0;
    std::size_t afterTo = 0;
};

inline Difference Differ(const std::string& before, const std::string& after) {
    Difference d;
    while (d.from < before.size() && d.from < after.size() && before[d.from] == after[d.from]) {
        ++d.from;
    }
    std::size_t tail = 0;
    while (tail < before.size() - d.from && tail < after.size() - d.from &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail]) {
        ++tail;
    }
    d.beforeTo = before.size() - tail;
    d.afterTo = after.size() - tail;
    return d;
}

// The bytes of an element of `code` at a page path, as its source map says.
inline ByteRange ElementAt(const std::string& code, const std::vector<int>& path, bool xhtml) {
    const std::string_view shown = PageContent(code);
    const SourceMap map = SourceMap::Build(shown, xhtml ? HtmlSyntax::Xhtml : HtmlSyntax::Html);
    const std::uint32_t node = map.NodeAtPath(path);
    if (node == kNoSourceNode) return {};
    ByteRange r = map.Node(node).whole;
    r.start += static_cast<int>(shown.data() - code.data());
    return r;
}

inline std::vector<int> PathFrom(const QString& json) {
    std::vector<int> path;
    for (const QJsonValue& v : QJsonDocument::fromJson(json.toUtf8()).array()) {
        path.push_back(v.toInt());
    }
    return path;
}

// Puts the selection where an edit of `kind` goes, in text a filer would
// edit (no ix: element in its block, not in a link, a heading's style or a
// script, not aligned right already), the `skip`-th such place (counted
// round when the page has fewer); answers the path of the element the
// edit may change, or "" when the page has no such place. "word" selects a
// word; "caret" puts the caret inside one; "blocks" selects from inside one
// paragraph into the next and answers their parent.
inline constexpr const char* kPlaceSelection =
    "(function(kind,skip){"
    "function named(e,re){for(var a=e;a;a=a.parentNode)if(re.test(a.nodeName||''))return true;"
    "return false;}"
    "function ix(e){var all=e.getElementsByTagName('*');for(var i=0;i<all.length;++i)"
    "if(all[i].nodeName.indexOf(':')>=0)return true;return false;}"
    "function block(n){for(var a=n.parentNode;a;a=a.parentNode)"
    "if(/^(p|div|td|th|li|h[1-6]|body)$/i.test(a.nodeName))return a;return null;}"
    "function path(e){var p=[];for(;e;e=e.parentElement){var i=0;"
    "for(var q=e.previousElementSibling;q;q=q.previousElementSibling)++i;p.unshift(i);}"
    "return JSON.stringify(p);}"
    "function firstText(e){var w=document.createTreeWalker(e,NodeFilter.SHOW_TEXT);"
    "for(var t=w.nextNode();t;t=w.nextNode())if(/[A-Za-z]{4,}/.test(t.data))return t;return null;}"
    "var "
    "s=getSelection(),r=document.createRange(),bad=/:|^(a|style|script|title|head|table)$/"
    "i,found=[];"
    "if(kind==='blocks'){var all=document.body.querySelectorAll('p,div');"
    "for(var i=0;i<all.length;++i){var a=all[i],b=a.nextElementSibling;"
    "if(!b||b.nodeName!==a.nodeName||named(a.parentNode,bad)||ix(a)||ix(b))continue;"
    "if(a.querySelector('table,div,p')||b.querySelector('table,div,p'))continue;"
    "var ta=firstText(a),tb=firstText(b);if(ta&&tb)found.push([ta,tb,a.parentElement]);}"
    "if(!found.length)return '';var f=found[skip%found.length];"
    "r.setStart(f[0],2);r.setEnd(f[1],2);s.removeAllRanges();s.addRange(r);return path(f[2]);}"
    "var w=document.createTreeWalker(document.body,NodeFilter.SHOW_TEXT);"
    "for(var n=w.nextNode();n;n=w.nextNode()){var m=/[A-Za-z]{6,}/.exec(n.data);"
    "if(!m||named(n.parentNode,bad))continue;var k=block(n);"
    "if(!k||k===document.body||ix(k)||/right|end/.test(getComputedStyle(k).textAlign))continue;"
    "found.push([n,m,k]);if(found.length>skip)break;}"
    "if(!found.length)return '';var f=found[skip%found.length];n=f[0];m=f[1];"
    "if(kind==='word'){r.setStart(n,m.index);r.setEnd(n,m.index+m[0].length);}"
    "else{r.setStart(n,m.index+2);r.collapse(true);}"
    "s.removeAllRanges();s.addRange(r);return path(f[2]);})";

}  // namespace tarlo::test
