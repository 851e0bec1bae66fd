#pragma once

#include "record/EventRecord.h"

#include <QRect>
#include <QString>

class QGroupBox;
class QLabel;
class QWidget;

namespace lumarel {

// The etched frame around the fields, with its caption set into its top line.
QGroupBox* makeFrame(const QString& title, QWidget* parent);

// The input of a field, set up for its kind: a date or time picker (today, the present second),
// a single-line box that holds line breaks as blanks, or a multi-line box.
QWidget* makeFieldInput(const FieldSpec& field, QWidget* frame);

// A label's geometry: one with room for one line only grows to fit its caption, short of the
// input at `inputLeft`.
QRect labelGeometry(const QLabel& label, QRect geometry, int inputLeft);

} // namespace lumarel
