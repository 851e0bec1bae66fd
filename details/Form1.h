#pragma once

#include "app/PointerSetting.h"

#include <QWidget>

namespace lumarel {

// The event details window: the program's start-up window.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);

    // The start-up sequence; shows the window centred at its end, unless the engine check
    // ended the program.
    void Form_Load();

    PointerSetting& pointer() { return m_pointer; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    PointerSetting m_pointer;
};

} // namespace lumarel
