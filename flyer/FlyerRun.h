#pragma once

#include "flyer/BookmarkTexts.h"

#include <QString>

#include <functional>
#include <memory>

namespace lumarel {

class OfficeEngine;
class RunLock;

// The office work of making a flyer: copy and open the template, put the six bookmark texts
// in, save the document, and capture its page. It needs no window, so that one office can make
// many flyers. Every numbered step runs through the caller's step runner, which reports a
// failure as it sees fit and says whether the step succeeded.
class FlyerRun
{
public:
    using StepRunner = std::function<bool(int line, const std::function<void()>& body)>;
    // Gives the office for a run's "create" step; throws Failure when there is none.
    using OfficeSource = std::function<OfficeEngine&()>;

    explicit FlyerRun(OfficeSource office);
    // Every step uses this one office.
    explicit FlyerRun(OfficeEngine& office);
    ~FlyerRun();

    // Takes the office, opens a copy of the template and puts the texts of `fields` in.
    void fill(const FlyerFields& fields, const StepRunner& step);
    // fill() in two parts, so that one open template serves many flyers.
    void openTemplate(const StepRunner& step);
    void putTexts(const FlyerFields& fields, const StepRunner& step);
    // Lets other runs use the template copy and the page picture again; the run holds them
    // from the template copy until it ends or calls this.
    void unlock();
    bool locked() const { return m_lock != nullptr; }
    // Saves the filled document at `documentPath` and closes it; true when it was saved.
    bool save(const QString& documentPath, const StepRunner& step);
    // fill() and save() in one.
    bool makeDocument(const FlyerFields& fields, const QString& documentPath,
                      const StepRunner& step);
    // Opens the saved document, writes a picture of its first page to `picturePath` (BMP) and
    // closes it; true when the picture was written.
    bool capturePage(const QString& documentPath, const QString& picturePath,
                     const StepRunner& step);

private:
    OfficeEngine& office();
    bool officeStep(int line, const std::function<void()>& body, const StepRunner& step);

    OfficeSource m_source;
    OfficeEngine* m_office = nullptr;
    std::unique_ptr<RunLock> m_lock;
};

} // namespace lumarel
