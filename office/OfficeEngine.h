#pragma once

#include <QImage>
#include <QString>

#include <memory>

namespace lumarel {

struct DocumentWork;
struct TextFit;

// One hidden office instance of our own: a private headless LibreOffice process, driven over
// UNO, with at most one active document. Every operation has a time limit; a call that the
// office does not answer in time ends the office and fails. Every failure is a Failure whose
// description the user can act on. No office process outlives the instance. It opens any
// document the office reads and knows nothing of what the document holds.
class OfficeEngine
{
public:
    // Starts the office and connects to it. Throws Failure.
    OfficeEngine();
    // Quits the office if still running; never throws.
    ~OfficeEngine();
    OfficeEngine(const OfficeEngine&) = delete;
    OfficeEngine& operator=(const OfficeEngine&) = delete;

    // Opens a document (hidden, macros never run, links not updated); it becomes the active one,
    // and the one active before becomes active again when it is closed.
    void open(const QString& path, bool readOnly = false);
    // Puts `text` at the bookmark: each CR LF starts a new paragraph with the formatting of the
    // bookmark's paragraph, as in Word; a lone CR or LF becomes a line break. Called again for the
    // same bookmark of the same document, it replaces the text it put there, so one open template
    // can serve many flyers.
    void setBookmarkText(const QString& name, const QString& text);
    // Looks the named bookmarks of the active document up ahead, in one call, so that
    // setBookmarkText() then only puts the text in; with `formats`, also what a text of several
    // paragraphs needs. Names the document does not hold are left for setBookmarkText() to
    // report.
    void findBookmarks(const QStringList& names, bool formats = true);
    // Makes the text setBookmarkText() put at the bookmark fit its lines as `fit` says (see
    // fitText), starting from the design's size each time; false when even the smallest size
    // does not hold it.
    bool fitBookmarkText(const QString& name, const TextFit& fit);
    void saveAs(const QString& path, const QString& filterName = QStringLiteral("MS Word 97"));
    // Closes the active document and discards any unsaved change; the document that was active
    // before it was opened is the active one again.
    void closeWithoutSaving();
    // Exports the pages of the active document (all when the range is empty) as PDF.
    void exportPdf(const QString& path, const QString& pageRange = QString());
    // Stores a copy of the active document with the office's filter; the document keeps its
    // own location and no lock file is made. A PDF copy carries every font, the standard ones
    // too, so that it reads the same on any machine.
    void exportCopy(const QString& path, const QString& filterName);
    // How many pages the active document runs to, as the office lays it out.
    int pageCount();
    // The first page as an image whose physical size (pixels / dotsPerMeter) is the page's.
    QImage renderFirstPage(int dotsPerMeter);
    // Runs `work` on the active document inside a timed call; `doing` names it in a failure.
    void workOnDocument(const QString& doing, const DocumentWork& work);
    void quit();

    // Closes every document the office holds, the active one included; the office keeps
    // running for the next use.
    void closeDocuments();
    // A folder of this office's own, removed with it.
    QString privateFolder() const;
    // Whether the office still runs and answers within a short time; one that does not answer
    // is ended. Never throws.
    bool answers();
    // Ends the office at once, without asking it to quit. Never throws.
    void endNow();
    // Ends the office process and removes its folder without touching the connection, whose
    // objects the libraries' own end may already have destroyed (a library that called exit()).
    // The engine must be neither used nor destroyed afterwards. Never throws.
    void endWithoutConnection();
    // Prepares this program's side of the connection; call it from the main thread before an
    // office is started on another thread.
    static void prepareConnection();
    // Loads the connection's libraries in this thread (see loadConnectionLibraries).
    static void loadConnectionLibraries();

    // The office process, while it runs (for checks that it ends); 0 otherwise.
    qint64 processId() const;

    // Every operation's time limit, for tests; 0 restores the normal limits.
    static void setTimeLimitForTests(int milliseconds);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace lumarel
