// Figures for writing and reading a document file: the encoding, the final
// CR LF and the atomic write on save; the decoding and line-break handling on
// open. glibc's iconv converting the same file in the same run is the peer.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "shell/document_files.h"
#include "filing_generator.h"

using namespace tarlo;

namespace {

double MedianMs(const std::function<void()>& run, int times = 5) {
    std::vector<double> ms;
    for (int i = 0; i < times; ++i) {
        QElapsedTimer t;
        t.start();
        run();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

double IconvMs(const QString& from, const QString& to, const QString& in, const QString& out) {
    const QString iconv = QStandardPaths::findExecutable("iconv");
    if (iconv.isEmpty()) return -1;
    return MedianMs([&] {
        QProcess p;
        p.start(iconv, {"-f", from, "-t", to, "-o", out, in});
        p.waitForFinished(600000);
    });
}

void Measure(const std::string& name, const std::string& text, const QString& folder) {
    const QString saved = folder + "/saved.htm";
    const double saveMs = MedianMs([&] {
        QSaveFile f(saved);
        f.open(QIODevice::WriteOnly);
        const std::string bytes = DocumentFileBytes(text);
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
        f.commit();
    });
    const double openMs = MedianMs([&] {
        QFile f(saved);
        f.open(QIODevice::ReadOnly);
        const QByteArray bytes = f.readAll();
        const std::string code =
            DocumentTextFromBytes(std::string_view(bytes.constData(), bytes.size()));
        if (code.size() + 2 < text.size()) std::fprintf(stderr, "round trip lost text\n");
    });
    // The same conversions by iconv: UTF-8 source to the code page, and back.
    const QString source = folder + "/source.htm";
    {
        QFile f(source);
        f.open(QIODevice::WriteOnly);
        f.write(text.data(), static_cast<qint64>(text.size()));
    }
    const double peerSave = IconvMs("UTF-8", "WINDOWS-1252", source, folder + "/peer.htm");
    const double peerOpen = IconvMs("WINDOWS-1252", "UTF-8", saved, folder + "/peer2.htm");
    std::printf(
        "%-22s %9.1f MB  save %8.1f ms  iconv %8.1f ms  ratio %5.2f | open %8.1f ms  "
        "iconv %8.1f ms  ratio %5.2f\n",
        name.c_str(), text.size() / 1048576.0, saveMs, peerSave,
        peerSave > 0 ? saveMs / peerSave : 0.0, openMs, peerOpen,
        peerOpen > 0 ? openMs / peerOpen : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid()) return 1;
    std::string filing = bench::GenerateFiling(10 * 1024 * 1024);
    Measure("generated 10 MB", filing, dir.path());
    // The same with typographic characters typed in rather than referenced.
    std::string typed;
    typed.reserve(filing.size());
    for (std::size_t i = 0; i < filing.size(); ++i) {
        if (filing.compare(i, 6, "&#150;") == 0) {
            typed += "\xE2\x80\x93";
            i += 5;
        } else {
            typed += filing[i];
        }
    }
    Measure("generated, en dashes", typed, dir.path());
    for (int i = 1; i < argc; ++i) {
        QFile f(argv[i]);
        if (!f.open(QIODevice::ReadOnly)) continue;
        const QByteArray bytes = f.readAll();
        Measure(QFile(argv[i]).fileName().section('/', -1).toStdString(),
                DocumentTextFromBytes(std::string_view(bytes.constData(), bytes.size())),
                dir.path());
    }
    return 0;
}
