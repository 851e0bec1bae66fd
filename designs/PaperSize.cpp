#include "designs/PaperSize.h"

#include "app/SettingsStore.h"

#include <QByteArray>
#include <QStringList>

#include <paper.h>

#include <cstdlib>
#include <langinfo.h>
#include <locale.h>
#include <memory>

namespace lumarel {

QString paperName(Paper paper)
{
    return paper == Paper::A4 ? QStringLiteral("a4") : QStringLiteral("letter");
}

bool paperFromName(const QString& name, Paper* paper)
{
    for (Paper candidate : {Paper::A4, Paper::Letter}) {
        if (name.compare(paperName(candidate), Qt::CaseInsensitive) == 0) {
            *paper = candidate;
            return true;
        }
    }
    return false;
}

QString paperNames()
{
    return QStringLiteral("a4, letter");
}

namespace {

// Where the locale's own paper table is not installed, its territory tells: glibc's locales
// give Letter to these and A4 to every other.
bool territoryUsesLetter(const QByteArray& locale)
{
    const int underscore = locale.indexOf('_');
    if (underscore < 0)
        return false;
    const QByteArray territory = locale.mid(underscore + 1, 2);
    static const char* const kLetter[] = {"US", "CA", "MX", "CL", "CO", "CR", "GT",
                                          "NI", "PA", "PH", "PR", "SV", "VE"};
    for (const char* code : kLetter)
        if (territory == code)
            return true;
    return false;
}

// The paper of a locale name; false for a locale that says nothing of paper (C, POSIX).
bool localePaper(const QByteArray& locale, Paper* paper)
{
    if (locale.isEmpty() || locale == "C" || locale == "POSIX" || locale.startsWith("C."))
        return false;
    const std::unique_ptr<std::remove_pointer_t<locale_t>, decltype(&freelocale)> loaded(
        newlocale(LC_PAPER_MASK, locale.constData(), locale_t(nullptr)), &freelocale);
    int heightMm = 0;
    if (loaded) {
        // glibc hands the figure over as the pointer's value.
        heightMm =
            int(reinterpret_cast<std::intptr_t>(nl_langinfo_l(_NL_PAPER_HEIGHT, loaded.get())));
    }
    if (heightMm > 0)
        *paper = heightMm >= 290 ? Paper::A4 : Paper::Letter;
    else
        *paper = territoryUsesLetter(locale) ? Paper::Letter : Paper::A4;
    return true;
}

bool libpaperPaper(Paper* paper)
{
    paperinit();
    // systempapername() gives a name of its own allocation, or none when nothing is set.
    const std::unique_ptr<char, decltype(&std::free)> name(systempapername(), &std::free);
    paperdone();
    if (!name)
        return false;
    const QByteArray text = QByteArray(name.get()).toLower();
    if (text == "a4") {
        *paper = Paper::A4;
        return true;
    }
    if (text == "letter") {
        *paper = Paper::Letter;
        return true;
    }
    return false; // a paper no built-in design is made for
}

} // namespace

Paper systemPaper()
{
    Paper paper = Paper::Letter;
    QByteArray locale = qgetenv("LC_ALL");
    if (locale.isEmpty())
        locale = qgetenv("LC_PAPER");
    if (localePaper(locale, &paper) || libpaperPaper(&paper))
        return paper;
    return Paper::Letter;
}

const QString& PaperSetting::key()
{
    static const QString name = QStringLiteral("paper");
    return name;
}

Paper PaperSetting::current()
{
    Paper paper;
    if (paperFromName(SettingsStore::get(key()), &paper))
        return paper;
    return systemPaper();
}

void PaperSetting::store(Paper paper)
{
    SettingsStore::save(key(), paperName(paper));
}

} // namespace lumarel
