#include "designs/Designs.h"

#include "app/Failure.h"
#include "designs/DesignCheck.h"

#include <QFileInfo>
#include <QStringList>

namespace lumarel {

namespace {

constexpr BuiltInDesign kDesigns[] = {
    {"classic", "the event's name in a band, the organisation's name up the left edge",
     ":/template.dot", ":/designs/classic-a4.dot"},
    {"poster", "a large heading over the page, the date and time in a dark band",
     ":/designs/poster.dot", ":/designs/poster-a4.dot"},
    {"handout", "a half page, the date and time beside the address in a table",
     ":/designs/handout.dot", ":/designs/handout-a5.dot"},
};

} // namespace

std::span<const BuiltInDesign> builtInDesigns()
{
    return kDesigns;
}

const BuiltInDesign& defaultDesign()
{
    return kDesigns[0];
}

const BuiltInDesign* builtInDesign(const QString& name)
{
    for (const BuiltInDesign& design : kDesigns)
        if (name == QLatin1String(design.name))
            return &design;
    return nullptr;
}

} // namespace lumarel

namespace lumarel {

QString designFileFilter()
{
    return QStringLiteral("Flyer designs (*.doc *.dot *.docx *.dotx *.odt *.ott);;All files (*)");
}

QString FlyerDesign::resource() const
{
    return QLatin1String(paper == Paper::A4 ? builtIn->a4Resource : builtIn->resource);
}

QString FlyerDesign::storedText() const
{
    return builtIn ? QLatin1String(builtIn->name) : path;
}

namespace {

// A text that names a file rather than a built-in design.
bool looksLikePath(const QString& text)
{
    return text.contains(QLatin1Char('/')) || text.contains(QLatin1Char('.'));
}

} // namespace

FlyerDesign chosenDesign(const QString& nameOrPath)
{
    if (const BuiltInDesign* design = builtInDesign(nameOrPath))
        return {design, QString(), PaperSetting::current()};
    if (!looksLikePath(nameOrPath) && !QFileInfo::exists(nameOrPath)) {
        QStringList names;
        for (const BuiltInDesign& design : builtInDesigns())
            names << QLatin1String(design.name);
        throw Failure(QStringLiteral("There is no built-in design named \"%1\"; the built-in "
                                     "designs are %2. A design file is given by its path.")
                          .arg(nameOrPath, names.join(QStringLiteral(", "))));
    }
    const QString path = QFileInfo(nameOrPath).absoluteFilePath();
    readDesignBookmarks(path); // refuses a file that is not a design, in plain words
    return {nullptr, path};
}

FlyerDesign storedDesign(const QString& stored, QString* notice)
{
    notice->clear();
    const Paper paper = PaperSetting::current();
    if (stored.isEmpty())
        return {&defaultDesign(), QString(), paper};
    if (const BuiltInDesign* design = builtInDesign(stored))
        return {design, QString(), paper};
    if (looksLikePath(stored) && QFileInfo(stored).isFile())
        return {nullptr, QFileInfo(stored).absoluteFilePath()};
    *notice = designFallbackText(stored);
    return {&defaultDesign(), QString(), paper};
}

QString designFallbackText(const QString& stored)
{
    return looksLikePath(stored)
               ? QStringLiteral("The flyer design \"%1\" no longer exists, so the default "
                                "design is used instead.")
                     .arg(stored)
               : QStringLiteral("There is no flyer design named \"%1\", so the default "
                                "design is used instead.")
                     .arg(stored);
}

} // namespace lumarel
