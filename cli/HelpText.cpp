#include "cli/HelpText.h"

#include "cli/FlyerDetails.h"

#include <QStringList>

namespace lumarel::cli {

QString wrapText(const QString& text, int columns)
{
    QStringList out;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        qsizetype indent = 0;
        while (indent < line.size() && line[indent] == QLatin1Char(' '))
            ++indent;
        // An indented "name  description" row continues under its description.
        if (indent > 0) {
            const qsizetype gap = line.indexOf(QLatin1String("  "), indent);
            qsizetype text = gap;
            while (text >= 0 && text < line.size() && line[text] == QLatin1Char(' '))
                ++text;
            if (gap > 0 && text < line.size() && text <= columns / 2)
                indent = text;
        }
        const QString margin(indent, QLatin1Char(' '));
        QString rest = line;
        while (rest.size() > columns) {
            qsizetype cut = rest.lastIndexOf(QLatin1Char(' '), columns);
            if (cut <= indent)
                cut = rest.indexOf(QLatin1Char(' '), columns);
            if (cut < 0)
                break;
            while (cut > 0 && rest[cut - 1] == QLatin1Char(' '))
                --cut;
            out << rest.left(cut);
            rest = margin + rest.mid(cut).trimmed();
        }
        out << rest;
    }
    return out.join(QLatin1Char('\n'));
}

QString helpEpilogue()
{
    return QStringLiteral(
               "\nWithout options the window opens. The stored details are those the window "
               "keeps; the command line never changes them.\n\n"
               "Keys: %1.\nDates and times are written as the store keeps them: yyyy-MM-dd or "
               "yyyy-MM-dd HH:mm:ss (dtpTime uses only the time of day).\n\n"
               "--help-all adds examples, the exit statuses, the environment and the window's "
               "own options.\n")
        .arg(fieldKeys().join(QStringLiteral(", ")));
}

QString helpAllEpilogue()
{
    return QStringLiteral(
        "\nExamples:\n"
        "  lumarel --output flyer.pdf --set txtEventName='Spring Fair\\nDay one'\n"
        "  lumarel --batch events.csv --output-dir flyers --format docx\n"
        "  lumarel --check-design our-flyer.docx\n"
        "  lumarel --output flyer.pdf --design our-flyer.docx\n\n"
        "Exit status: 0 all made (or kept), 2 bad usage, 3 the office cannot be started, "
        "4 some rows failed, 1 anything else.\n\n"
        "Environment:\n"
        "  TEMP             holds lumarel-<uid>, the private folder for the temporary files "
        "of a flyer run\n"
        "  TMPDIR           the system temporary folder (normally /tmp)\n"
        "  XDG_CONFIG_HOME  where Quenwick.ini keeps the details (normally ~/.config)\n"
        "  XDG_CACHE_HOME   where the office's base profile and the repaired flyer template "
        "are kept, under lumarel (normally ~/.cache)\n"
        "  XDG_DATA_HOME    searched for HAND-M.CUR and x/o.cjs, under lumarel, after the "
        "program's own folder (normally ~/.local/share)\n"
        "  XDG_DATA_DIRS    searched after it (normally /usr/local/share:/usr/share)\n"
        "  LANG, LC_TIME    the language of the flyer's date and time (LC_ALL before "
        "both)\n\n"
        "Options of the window (Qt's own), given without the command line's options:\n"
        "  -platform NAME   the window system plugin (xcb, wayland, offscreen)\n"
        "  -platformtheme NAME\n"
        "                   the desktop's colour and dialog theme, as qt6ct\n"
        "  -style NAME      the widget style (Fusion, Windows)\n"
        "  -reverse         lays the windows out from right to left\n"
        "  QT_SCALE_FACTOR and QT_QPA_PLATFORMTHEME in the environment do the same for every "
        "start.\n");
}

} // namespace lumarel::cli
