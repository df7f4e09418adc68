// Reading integers typed into dialog boxes, with the standard refusals.
//
// The text may carry blanks at either end and a sign; anything else that is
// not a decimal digit, an empty box, or a number beyond the range of int is
// refused with "Please enter an integer.".  With a range, a number outside it
// is refused with "Please enter an integer between %1 and %2."; with only a
// highest value, a number above it with "Please enter an integer no greater
// than %1.".  A refusal is
// shown as a warning message box and the keyboard focus goes back to the
// box, with its text selected, so the user can correct it.
#pragma once

#include <QString>
#include <optional>

class QLineEdit;
class QWidget;

namespace platform {

// The outcome of checking a typed text: the value, or the refusal message.
struct IntegerCheck {
    std::optional<int> value;
    QString message;  // empty when the value was accepted
};

IntegerCheck CheckInteger(const QString& text);
IntegerCheck CheckIntegerInRange(const QString& text, int minValue, int maxValue);
IntegerCheck CheckIntegerAtMost(const QString& text, int maxValue);

// The box's integer, or nothing after the refusal has been shown.
std::optional<int> ExchangeInteger(QLineEdit* box, QWidget* parent = nullptr);
std::optional<int> ExchangeInteger(QLineEdit* box, int minValue, int maxValue,
                                   QWidget* parent = nullptr);

// Shows `check`'s refusal, if any, and returns the focus to `box` (any
// widget; a line edit also gets its text selected).
std::optional<int> FinishExchange(const IntegerCheck& check, QWidget* box,
                                  QWidget* parent = nullptr);

}  // namespace platform
