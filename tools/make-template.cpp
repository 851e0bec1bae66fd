// Makes resources/template.dot from resources/flyer-template.fodt through the office engine.
// Usage: make-template <flyer-template.fodt> <template.dot>
#include "office/OfficeEngine.h"
#include "wordimport/WordImportRepair.h"

#include "app/Failure.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        err << "usage: make-template <flyer-template.fodt> <template.dot>\n";
        return 2;
    }
    try {
        lumarel::OfficeEngine engine;
        engine.open(QFileInfo(args[1]).absoluteFilePath(), true);
        // The office adds stock styles of its own to every document; the template carries
        // only its own (Heading 3 is kept unused).
        const QStringList removed =
            lumarel::removeUnusedStyles(engine, {QStringLiteral("Heading 3")});
        err << "removed the unused styles: " << removed.join(QStringLiteral(", ")) << '\n';
        engine.saveAs(QFileInfo(args[2]).absoluteFilePath(), QStringLiteral("MS Word 97 Vorlage"));
        engine.closeWithoutSaving();
        engine.quit();
    } catch (const lumarel::Failure& failure) {
        err << failure.description() << '\n';
        return 1;
    }
    return 0;
}
