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

}  // namespace tarlo::test
