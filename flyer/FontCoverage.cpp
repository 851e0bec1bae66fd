#include "flyer/FontCoverage.h"

#include "flyer/PageCapture.h"

#include <QCoreApplication>
#include <QFile>

#include <fontconfig/fontconfig.h>

#include <memory>

namespace lumarel {

namespace {

using CharSet = std::unique_ptr<FcCharSet, decltype(&FcCharSetDestroy)>;

// Every character that some font draws under the office's own font configuration, which adds
// the stand-ins for the template's fonts and leaves out colour fonts, whose glyphs the office
// puts into a page as blanks.
CharSet officeCharacters()
{
    CharSet all(FcCharSetCreate(), FcCharSetDestroy);
    QFile aliases(QStringLiteral(":/fonts.conf"));
    if (!aliases.open(QIODevice::ReadOnly))
        return all;
    const QByteArray text = aliases.readAll();
    const std::unique_ptr<FcConfig, decltype(&FcConfigDestroy)> config(FcConfigCreate(),
                                                                       FcConfigDestroy);
    if (!FcConfigParseAndLoadFromMemory(
            config.get(), reinterpret_cast<const FcChar8*>(text.constData()), FcFalse) ||
        !FcConfigBuildFonts(config.get()))
        return all;
    const std::unique_ptr<FcPattern, decltype(&FcPatternDestroy)> any(FcPatternCreate(),
                                                                      FcPatternDestroy);
    const std::unique_ptr<FcObjectSet, decltype(&FcObjectSetDestroy)> wanted(
        FcObjectSetBuild(FC_CHARSET, nullptr), FcObjectSetDestroy);
    const std::unique_ptr<FcFontSet, decltype(&FcFontSetDestroy)> fonts(
        FcFontList(config.get(), any.get(), wanted.get()), FcFontSetDestroy);
    for (int i = 0; fonts && i < fonts->nfont; ++i) {
        FcCharSet* characters = nullptr;
        if (FcPatternGetCharSet(fonts->fonts[i], FC_CHARSET, 0, &characters) == FcResultMatch)
            FcCharSetMerge(all.get(), characters, nullptr);
    }
    return all;
}

bool drawsNothingOfItsOwn(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0100 && c <= 0xE01EF);
    }
}

} // namespace

QString undrawableCharacters(const QString& text)
{
    // Read once: the fonts do not change while the program runs.
    static const CharSet drawable = officeCharacters();
    QList<char32_t> missing;
    for (const char32_t c : text.toUcs4())
        if (!drawsNothingOfItsOwn(c) && !FcCharSetHasChar(drawable.get(), c) &&
            !missing.contains(c))
            missing << c;
    return QString::fromUcs4(missing.constData(), missing.size());
}

namespace {

// The window's label of each text field, with the bookmark its text alone fills.
struct FieldLabel
{
    const char* label;
    QString FlyerFields::*text;
    const char* bookmark;
};

const FieldLabel kFieldLabels[] = {
    {QT_TRANSLATE_NOOP("lumarel::FlyerNotices", "Your organization's name"), &FlyerFields::orgName,
     "OrgName"},
    {QT_TRANSLATE_NOOP("lumarel::FlyerNotices", "Name of your event"), &FlyerFields::eventName,
     "EventName"},
    {QT_TRANSLATE_NOOP("lumarel::FlyerNotices", "Street address"), &FlyerFields::location,
     "EventAddr"},
    {QT_TRANSLATE_NOOP("lumarel::FlyerNotices", "More about your event"), &FlyerFields::more,
     nullptr},
    {QT_TRANSLATE_NOOP("lumarel::FlyerNotices", "Information about your organization"),
     &FlyerFields::infoOrg, nullptr},
    {QT_TRANSLATE_NOOP("lumarel::FlyerNotices", "Plans you are making for the event"),
     &FlyerFields::plans, nullptr},
    {QT_TRANSLATE_NOOP("lumarel::FlyerNotices", "Items attendees should bring"),
     &FlyerFields::items, nullptr},
};

QString labelText(const FieldLabel& field)
{
    return QCoreApplication::translate("lumarel::FlyerNotices", field.label);
}

} // namespace

QStringList undrawableCharacterNotices(const FlyerFields& fields)
{
    QStringList notices;
    for (const FieldLabel& field : kFieldLabels) {
        const QString missing = undrawableCharacters(fields.*field.text);
        if (missing.isEmpty())
            continue;
        QStringList listed;
        for (const char32_t c : missing.toUcs4())
            listed << QStringLiteral("%1 (U+%2)")
                          .arg(QString::fromUcs4(&c, 1), QString::number(uint(c), 16)
                                                             .toUpper()
                                                             .rightJustified(4, QLatin1Char('0')));
        notices << QCoreApplication::translate("lumarel::FlyerNotices",
                                               "\"%1\" holds characters that no installed font "
                                               "can draw; the flyer shows them as empty boxes: %2.")
                       .arg(labelText(field), listed.join(QStringLiteral(", ")));
    }
    return notices;
}

QStringList flyerNotices(const FlyerFields& fields, int pages, const QStringList& unfitted,
                         const QStringList& mixedDirections, bool pictureOnly)
{
    QStringList notices;
    for (const FieldLabel& field : kFieldLabels) {
        if (field.bookmark && unfitted.contains(QLatin1String(field.bookmark)))
            notices << QCoreApplication::translate("lumarel::FlyerNotices",
                                                   "\"%1\" did not fit its place on the flyer, "
                                                   "even in smaller type: part of it is cut off. "
                                                   "A shorter text fits.")
                           .arg(labelText(field));
        if (field.bookmark && mixedDirections.contains(QLatin1String(field.bookmark)))
            notices << QCoreApplication::translate(
                           "lumarel::FlyerNotices",
                           "\"%1\" mixes right-to-left and left-to-right writing, which this "
                           "design's turned strip cannot show together: part of it reads upside "
                           "down. Another design shows it as typed.")
                           .arg(labelText(field));
    }
    notices << undrawableCharacterNotices(fields);
    if (const QString overflow = pageOverflowText(pages, pictureOnly); !overflow.isEmpty())
        notices.prepend(overflow);
    return notices;
}

} // namespace lumarel
