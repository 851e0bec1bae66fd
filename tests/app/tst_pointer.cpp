#include "TestEnvironment.h"

#include "app/PointerSetting.h"

#include <QLineEdit>
#include <QPlainTextEdit>

using namespace lumarel;

class PointerTest : public QObject
{
    Q_OBJECT

private slots:
    void rulesNeverReplaceTheHourglass_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<bool>("hand"); // which rule runs
        QTest::addColumn<int>("expected");
        QTest::newRow("hand rule from normal") << 0 << true << 99;
        QTest::newRow("normal rule from hand") << 99 << false << 0;
        QTest::newRow("hand rule keeps the hourglass") << 11 << true << 11;
        QTest::newRow("normal rule keeps the hourglass") << 11 << false << 11;
    }

    void rulesNeverReplaceTheHourglass()
    {
        QFETCH(int, start);
        QFETCH(bool, hand);
        QFETCH(int, expected);
        QWidget window;
        PointerSetting pointer(&window);
        pointer.set(start);
        hand ? pointer.handRule() : pointer.normalRule();
        QCOMPARE(pointer.value(), expected);
    }

    void handWithoutImageIsTheNormalPointer()
    {
        QWidget window;
        PointerSetting pointer(&window);
        pointer.handRule();
        QCOMPARE(pointer.value(), 99);
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
        pointer.setCustomImage(QCursor(Qt::PointingHandCursor));
        QCOMPARE(window.cursor().shape(), Qt::PointingHandCursor);
    }

    void hourglassCoversTextBoxesAndGivesTheirCursorBack()
    {
        QWidget window;
        auto* line = new QLineEdit(&window);
        auto* text = new QPlainTextEdit(&window);
        PointerSetting pointer(&window);

        pointer.set(PointerSetting::Hourglass);
        QCOMPARE(window.cursor().shape(), Qt::WaitCursor);
        QCOMPARE(line->cursor().shape(), Qt::WaitCursor);
        QCOMPARE(text->viewport()->cursor().shape(), Qt::WaitCursor);

        pointer.set(PointerSetting::Normal);
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(line->cursor().shape(), Qt::IBeamCursor);
        QCOMPARE(text->viewport()->cursor().shape(), Qt::IBeamCursor);
    }
};

LUMAREL_TEST_MAIN(PointerTest)
#include "tst_pointer.moc"
