// Saving the sample flyer as PDF from the preview, on the ready office, against the office's own
// command-line conversion of the same .doc.
#include "Benchmarks.h"

#include "app/Dialogs.h"
#include "app/Failure.h"
#include "details/Form1.h"
#include "office/OfficeEngine.h"
#include "preview/Form2.h"

#include <QFile>
#include <QTemporaryDir>

namespace lumarel::bench {

void exportBenchmarks()
{
    constexpr int kRuns = 5;
    QTemporaryDir folder;
    useFolder(folder.path());
    Dialogs::setScripted(true);

    Form1 form;
    form.Form_Load(Form1::EngineCheck::Skip);
    form.PushButton3_Click();
    pressToPreview(form);
    Form2& preview = form.preview();
    if (!Dialogs::takeShown().isEmpty() || !QFile::exists(preview.mWordFile))
        throw Failure(QStringLiteral("the sample flyer could not be made"));
    const QString document = folder.path() + QStringLiteral("/sample-flyer.doc");
    QFile::copy(preview.mWordFile, document);

    const QString target = folder.path() + QStringLiteral("/saved.pdf");
    const auto save = [&] {
        Dialogs::setNextFileName(target, QStringLiteral("PDF Files (*.pdf)"));
        preview.PushButton6_Click();
        const QList<ShownMessage> shown = Dialogs::takeShown();
        if (shown.size() != 1 || !QFile::exists(target))
            throw Failure(QStringLiteral("saving as PDF reported: %1").arg(shown.value(0).text));
    };
    const auto removeTarget = [&] { QFile::remove(target); };

    const QList<double> ready = timeRuns(kRuns, save, removeTarget);
    report(QStringLiteral("save as PDF from the preview, office running"), ready);
    preview.PushButton8_Click();

    const QList<double> cli = commandLineConversion(document, folder.path(), kRuns);
    report(QStringLiteral("soffice --headless --convert-to pdf (.doc)"), cli);
    ratio("ratio save running / convert-to", median(ready), median(cli));
}

} // namespace lumarel::bench
