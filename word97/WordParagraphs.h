#pragma once

#include "word97/WordBookmarks.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace lumarel {

// Word 97 property modifiers (sprms) the readers look up.
enum WordSprm : quint16
{
    kSprmPBrcBottom80 = 0x6426,
    kSprmPBrcBottom = 0xC650,
    kSprmCDxaSpace = 0x8840,
    kSprmCHps = 0x4A43,
    kSprmCHpsBi = 0x4A61,
    kSprmCFBold = 0x0835,
    kSprmCFBoldBi = 0x085C,
};

// One style of the style sheet; the properties are the style's own, without its base's.
struct WordStyle
{
    QString name;
    int builtInId = 0; // Word's sti: 0 Normal, 1 to 9 the headings, 66 Body Text, 4094 user
    int base = -1;     // index of the style it is based on, -1 for none
    QByteArray paragraphSprms;
    QByteArray characterSprms;
};

// One paragraph: its text without the paragraph mark, its style's index and its direct
// paragraph properties, and the direct character properties of its first character.
struct WordParagraph
{
    Story story = Story::Main;
    int textBox = -1; // index among the text boxes, in the order of their texts
    QString text;
    int style = 0;
    QByteArray paragraphSprms;
    QByteArray characterSprms;
};

struct WordParagraphs
{
    QList<WordStyle> styles;
    QList<WordParagraph> paragraphs;

    // The name of the paragraph's style, empty for an index outside the style sheet.
    QString styleName(const WordParagraph& paragraph) const;
    // The style's name as the office's Word import names it: Word's built-in styles take the
    // office's own names for them.
    QString officeStyleName(int style) const;
    // The operand of the sprm that applies to the paragraph: its own, else its style's, else
    // that style's base's; none when nothing sets it.
    std::optional<QByteArray> paragraphProperty(const WordParagraph& paragraph, quint16 sprm) const;
    std::optional<QByteArray> characterProperty(const WordParagraph& paragraph, quint16 sprm) const;
    // The same for a style alone.
    std::optional<QByteArray> styleProperty(int style, quint16 sprm, bool character) const;
};

// The operand of the last `sprm` in a list of property modifiers.
std::optional<QByteArray> findSprm(const QByteArray& sprms, quint16 sprm);
// The space between a paragraph's bottom border and its text, in points, from either form of
// the border operand.
int borderSpacePoints(quint16 sprm, const QByteArray& operand);

// Reads the style sheet and the paragraphs of every story of a Word 97-2003 file. Throws
// Failure, naming the file and the cause, for anything that is not a readable Word 97 file;
// never reads outside the file's bytes.
WordParagraphs readWordParagraphs(const QString& path);

} // namespace lumarel
