#include "TestEnvironment.h"

#include "details/MultiLineBox.h"
#include "details/OneLineBox.h"
#include "record/LineBlocks.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTextBlock>

using namespace lumarel;

// Blocks of four characters at most show each cut with short texts.
constexpr qsizetype kLongest = 4;

class TextBoxesTest : public QObject
{
    Q_OBJECT

private slots:
    void aValueComesBackExactlyFromItsBlocks_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("blocks");
        QTest::newRow("an empty value is one empty block") << ""
                                                           << "" << 1;
        QTest::newRow("short lines stay a block each") << "ab\r\ncd"
                                                       << "ab\r\ncd" << 2;
        QTest::newRow("a long word is cut anywhere") << "abcdefghij"
                                                     << "abcdefghij" << 3;
        QTest::newRow("a line with a blank is cut after it") << "abc defgh"
                                                             << "abc defgh" << 3;
        QTest::newRow("a surrogate pair is never cut")
            << u"abc\U0001F32Edef"_qs << u"abc\U0001F32Edef"_qs << 3;
        QTest::newRow("a trailing line break") << "abcdefgh\r\n"
                                               << "abcdefgh\r\n"
                                               << 3;
        QTest::newRow("lone CR and LF become CR LF") << "abcdef\rg\nh"
                                                     << "abcdef\r\ng\r\nh" << 4;
        QTest::newRow("a paragraph separator breaks the line")
            << u"ab\u2029cd"_qs << "ab\r\ncd" << 2;
        QTest::newRow("non-breaking spaces stay") << u"a\u00a0bcdef"_qs << u"a\u00a0bcdef"_qs << 2;
    }

    void aValueComesBackExactlyFromItsBlocks()
    {
        QFETCH(QString, record);
        QFETCH(QString, stored);
        QFETCH(int, blocks);
        QTextDocument document;
        setDocumentRecordText(document, record, kLongest);
        QCOMPARE(documentRecordText(document), stored);
        QCOMPARE(document.blockCount(), blocks);
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
            QVERIFY2(block.length() - 1 <= kLongest, qPrintable(block.text()));
        QVERIFY(!document.isUndoAvailable());
    }

    // Each edit, and its undo, changes the value as it would in a box holding the line whole.
    void editsAcrossTheCutsKeepTheValueExact()
    {
        MultiLineBox box;
        setDocumentRecordText(*box.document(), "abcdefghij", kLongest);
        const auto value = [&] { return documentRecordText(*box.document()); };
        QTextCursor selection(box.document());
        selection.setPosition(2);
        selection.setPosition(box.document()->characterCount() - 2, QTextCursor::KeepAnchor);
        box.setTextCursor(selection);
        QTest::keyClick(&box, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), "cdefghi");
        QTextCursor cursor(box.document()->findBlockByNumber(1));
        box.setTextCursor(cursor);
        QTest::keyClick(&box, Qt::Key_Backspace);
        QCOMPARE(value(), "abcefghij");
        cursor.movePosition(QTextCursor::EndOfBlock);
        box.setTextCursor(cursor);
        QTest::keyClick(&box, Qt::Key_Delete);
        QCOMPARE(value(), "abcefghj");
        cursor.setPosition(box.document()->findBlockByNumber(1).position() + 1);
        box.setTextCursor(cursor);
        QTest::keyClick(&box, Qt::Key_Return);
        QCOMPARE(value(), "abce\r\nfghj");
        QGuiApplication::clipboard()->setText("x\ny");
        QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(value(), "abce\r\nx\r\nyfghj");
        box.selectAll();
        QTest::keyClick(&box, Qt::Key_Backspace);
        QCOMPARE(value(), "");
        const QStringList undone{"abce\r\nx\r\nyfghj", "abce\r\nfghj", "abcefghj", "abcefghij",
                                 "abcdefghij"};
        for (const QString& expected : undone) {
            QTest::keyClick(&box, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(value(), expected);
        }
    }

    // Every part of a long one-line value is reached and edited in place; select all still
    // takes the whole value.
    void aOneLineValueHeldInPartsIsEditedWhole()
    {
        const QString text = QString(12000, 'a') + u"\U0001F32E"_qs + QString(12000, 'b');
        OneLineBox box;
        box.setValue(text);
        QVERIFY(box.text().size() <= TextWindow::kLongest);
        QCOMPARE(box.value(), text);
        QTest::keyClick(&box, Qt::Key_Home);
        QTest::keyClick(&box, Qt::Key_X);
        QCOMPARE(box.value(), 'x' + text);
        QTest::keyClick(&box, Qt::Key_End);
        box.setCursorPosition(0);
        // Backspace at the start of the part shown reaches the character before it.
        QString expected = box.value();
        expected.remove(expected.size() - box.text().size() - 1, 1);
        QTest::keyClick(&box, Qt::Key_Backspace);
        QCOMPARE(box.value(), expected);
        box.selectWhole();
        QTest::keyClick(&box, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), box.value());
        QTest::keyClick(&box, Qt::Key_Z);
        QCOMPARE(box.value(), "z");
    }
};

LUMAREL_TEST_MAIN(TextBoxesTest)
#include "tst_textboxes.moc"
