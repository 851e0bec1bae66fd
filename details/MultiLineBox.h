#pragma once

#include <QPlainTextEdit>

namespace lumarel {

// The plain-text box of the multi-line fields. Its typing, pasting, copying and deleting keep
// the marks between the blocks of one line (details/LineBlocks.h) where they belong.
class MultiLineBox : public QPlainTextEdit
{
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;
};

} // namespace lumarel
