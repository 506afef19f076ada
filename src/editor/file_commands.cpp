#include "editor/file_commands.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include "codeview/code_view.h"
#include "document/view_sync.h"
#include "pageview/visual_page.h"
#include "pageview/visual_view.h"
#include "shell/dialogs.h"
#include "shell/document_files.h"
#include "shell/editor.h"
#include "shell/file_writing.h"

namespace tarlo {

namespace {

const QStringList kOpenFilters = {"HTML Files (*.html)", "HTM Files (*.htm)"};
const QStringList kSaveFilters = {"HTML Files (*.html)", "HTM Files (*.htm)"};

QString Qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

FileCommands::FileCommands(Editor& editor, QObject* owner) : QObject(owner), editor_(editor) {
    setObjectName("FileCommands");
    // Files dropped on either view open as Open does. The page asks from
    // inside the engine's navigation decision; the open runs after it.
    connect(&editor_.codeView(), &CodeView::FilesDropped, this, [this](const QList<QUrl>& files) {
        if (!files.isEmpty()) OpenDocumentFile(files.front().toLocalFile());
    });
    connect(&editor_.visualView(), &VisualView::filesDropped, this,
            [this](const QList<QUrl>& files) {
                if (!files.isEmpty()) OpenDocumentFile(files.front().toLocalFile());
            });
    connect(editor_.visualView().visualPage(), &VisualPage::fileNavigationRequested, this,
            [this](const QUrl& url) {
                const QString path = url.toLocalFile();
                QTimer::singleShot(0, this, [this, path] { OpenDocumentFile(path); });
            });
}

void FileCommands::Inform(const QString& text) {
    editor_.dialogs().Message(editor_.mainWindow(), text, "Tarlo", Buttons::Ok, Icon::Information);
}

bool FileCommands::HasUnsavedChanges() {
    return editor_.sync().HasUnsavedChanges();
}

bool FileCommands::OfferToSave(bool alwaysAsk) {
    if (!alwaysAsk && !HasUnsavedChanges()) return true;
    // Cancel (Escape, or closing the box) keeps everything as it was: only
    // a No lets the work go.
    const Answer a =
        editor_.dialogs().Message(editor_.mainWindow(), "Do you want to save your document?",
                                  "Tarlo", Buttons::YesNoCancel, Icon::Information);
    if (a == Answer::No) return true;
    if (a != Answer::Yes) return false;
    const bool saved = editor_.document().DocumentPath.empty() ? SaveDocumentAs() : SaveDocument();
    // A cancelled or failed save keeps the document; an empty one has
    // nothing to lose.
    return saved || editor_.document().Length() == 0;
}

void FileCommands::NewDocument() {
    Document& document = editor_.document();
    // A document without a file is always asked about; one with a file
    // only when it holds unsaved work.
    if (!OfferToSave(document.DocumentPath.empty())) return;
    document.DocumentPath.clear();
    document.SetForm(FileForm{});
    document.Code().SetTextUtf8("");
    // An empty code view may have been empty before: the page is emptied
    // all the same, or it would go on showing (and saving) the old page.
    editor_.sync().PushCodeToPage();
    editor_.sync().PaintCodePlain();
    document.SetSavedText(std::string());
    // A new document has no folder of its own for its pictures.
    document.BaseFolder.clear();
    editor_.SetCaption(Qs(kNewCaption));
    document.StartAnotherDocument();
}

void FileCommands::NewDocumentWithCodeFontSize() {
    NewDocument();
    editor_.sync().ApplyCodeFontSize();
}

void FileCommands::OpenDocument() {
    const std::optional<QString> path =
        editor_.dialogs().OpenPath(editor_.mainWindow(), "Open", kOpenFilters);
    if (!path || path->isEmpty()) return;
    OpenDocumentFile(*path);
}

bool FileCommands::OpenDocumentFile(const QString& path) {
    const QFileInfo info(path);
    const QString shown = QDir::toNativeSeparators(info.absoluteFilePath());
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        Inform(QStringLiteral("The file \"%1\" cannot be opened: %2")
                   .arg(shown, !info.exists()   ? QStringLiteral("there is no such file")
                               : info.isDir()   ? QStringLiteral("it is a folder")
                               : !info.isFile() ? QStringLiteral("it is not a regular file")
                               : !info.isReadable()
                                   ? QStringLiteral("you have no permission to read it")
                                   : file.errorString()));
        return false;
    }
    const auto size = static_cast<std::uint64_t>(file.size());
    if (CheckDocumentFile(size, {}) == OpenCheck::TooLarge) {
        Inform(QStringLiteral("The file \"%1\" is %2, more than Tarlo can edit (%3). Nothing "
                              "was opened.")
                   .arg(shown, Qs(MegabytesText(size)), Qs(MegabytesText(kMaxDocumentBytes))));
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (CheckDocumentFile(size, std::string_view(bytes.constData(), bytes.size())) ==
        OpenCheck::Binary) {
        Inform(QStringLiteral("The file \"%1\" is not an HTML document: it contains binary "
                              "data (a picture, a program or a word-processor file, perhaps). "
                              "Nothing was opened.")
                   .arg(shown));
        return false;
    }
    if (!OfferToSave(false)) return false;
    // A filing of tens of megabytes takes a few seconds to take in: the
    // pointer says the editor is busy rather than hung.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    LoadText(ReadDocumentBytes(std::string_view(bytes.constData(), bytes.size())), path);
    QApplication::restoreOverrideCursor();
    if (!editor_.document().DocumentPath.empty()) emit DocumentFiled(info.absoluteFilePath());
    return true;
}

void FileCommands::LoadText(const DocumentRead& read, const QString& path) {
    Document& document = editor_.document();
    const std::string& text = read.text;
    document.SetForm(read.form);
    document.OpenedFileName = path.toStdString();
    // Pictures beside the document show in the visual view.
    document.BaseFolder = QFileInfo(path).absolutePath().toStdString();
    editor_.visualView().SetDocumentBase(Qs(document.BaseFolder));
    document.Code().SetTextUtf8(text);
    document.SetSavedText(text);
    editor_.SetCaption(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    if (IsHtmlDocumentName(path.toStdString())) {
        document.DocumentPath = path.toStdString();
        editor_.sync().PaintCodePlain();
        editor_.sync().ApplyCodeFontSize();
    } else {
        // Not an HTML document of ours: Save must not write it over the file
        // that was open before, so it asks for a name.
        document.DocumentPath.clear();
        document.MarkCodeAccurate();
    }
    document.StartAnotherDocument();
}

bool FileCommands::SaveDocument() {
    editor_.sync().Refresh();
    return SaveAfterRefresh();
}

bool FileCommands::SaveAfterRefresh() {
    if (editor_.document().Length() == 0) {
        Inform("There is nothing here to save.");
        return false;
    }
    if (editor_.document().DocumentPath.empty()) return SaveAsAfterRefresh();
    return WriteDocumentTo(Qs(editor_.document().DocumentPath));
}

bool FileCommands::SaveDocumentAs() {
    editor_.sync().Refresh();
    if (editor_.document().Length() == 0) {
        Inform("There is nothing here to save.");
        return false;
    }
    return SaveAsAfterRefresh();
}

bool FileCommands::SaveAsAfterRefresh() {
    // No default extension: the name is used as typed.
    const std::optional<QString> path =
        editor_.dialogs().SavePath(editor_.mainWindow(), "Save As", kSaveFilters);
    if (!path || path->isEmpty()) return false;
    if (!WriteDocumentTo(*path)) return false;
    Document& document = editor_.document();
    document.DocumentPath = path->toStdString();
    editor_.SetCaption(QDir::toNativeSeparators(QFileInfo(*path).absoluteFilePath()));
    // Pictures beside the new file are the preview's from now on.
    document.BaseFolder = QFileInfo(*path).absolutePath().toStdString();
    return true;
}

bool FileCommands::WriteDocumentTo(const QString& path) {
    const std::string text = editor_.document().Text();
    if (const auto why =
            WriteFileAtomically(path, DocumentFileBytes(text, editor_.document().Form()))) {
        editor_.dialogs().Message(
            editor_.mainWindow(),
            QStringLiteral("The document could not be saved to \"%1\": %2\n\nIt is still open "
                           "in Tarlo. Save it under another name or in another folder.")
                .arg(QDir::toNativeSeparators(path), *why),
            "Tarlo", Buttons::Ok, Icon::Warning);
        return false;
    }
    editor_.document().SetSavedText(text);
    emit DocumentFiled(QFileInfo(path).absoluteFilePath());
    return true;
}

}  // namespace tarlo
