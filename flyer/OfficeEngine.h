#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace lumarel {

// One hidden office instance of our own: a private headless LibreOffice process, driven over
// UNO, with at most one active document. Every operation has a time limit; a call that the
// office does not answer in time ends the office and fails. Every failure is a Failure whose
// description the user can act on. No office process outlives the instance.
class OfficeEngine
{
public:
    // Starts the office and connects to it. Throws Failure.
    OfficeEngine();
    // Quits the office if still running; never throws.
    ~OfficeEngine();
    OfficeEngine(const OfficeEngine&) = delete;
    OfficeEngine& operator=(const OfficeEngine&) = delete;

    // Opens a document (hidden, macros never run, links not updated); it becomes the active one.
    void open(const QString& path, bool readOnly = false);
    // Puts `text` at the bookmark; CR LF pairs (and lone CR or LF) become line breaks, so that
    // a two-line event name stays one bordered heading. Called again for the same bookmark of
    // the same document, it replaces the text it put there, so one open template can serve
    // many flyers.
    void setBookmarkText(const QString& name, const QString& text);
    void saveAs(const QString& path, const QString& filterName = QStringLiteral("MS Word 97"));
    // Writes a copy in another format; the document keeps its own file and stays unchanged.
    void saveCopyAs(const QString& path, const QString& filterName);
    // The office never prompts when driven this way; the setting is kept for the callers' order.
    void setDisplayAlerts(bool on);
    bool displayAlerts() const;
    // Both close the active document and discard any unsaved change.
    void close();
    void closeWithoutSaving();
    // Exports the pages of the active document (all when the range is empty) as PDF.
    void exportPdf(const QString& path, const QString& pageRange = QString());
    // The first page as an image whose physical size (pixels / dotsPerMeter) is the page's.
    QImage renderFirstPage(int dotsPerMeter);
    void quit();

    // Reading documents back: main-text paragraphs, the paragraphs of each text box (text
    // frames first, then drawing shapes that hold text).
    QStringList paragraphs() const;
    QList<QStringList> textBoxParagraphs() const;
    QStringList bookmarkNames() const;
    // Puts a new empty bookmark at a character offset in the text of the frameIndex-th frame.
    void addBookmarkInTextFrame(int frameIndex, int offset, const QString& name);

    // The office process, while it runs (for checks that it ends); 0 otherwise.
    qint64 processId() const;

    // Every operation's time limit, for tests; 0 restores the normal limits.
    static void setTimeLimitForTests(int milliseconds);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// The instance a caller's earlier step created; throws Failure when that step failed, so that
// each later office step of the caller reports its own failure.
OfficeEngine& runningInstance(std::optional<OfficeEngine>& instance);

} // namespace lumarel
