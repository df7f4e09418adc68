#include "preferences/spin_edit.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <algorithm>

#include "platform/data_exchange.h"

namespace preferences {

CSpinEdit::CSpinEdit(QWidget* parent) : QAbstractSpinBox(parent) {
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setKeyboardTracking(true);
    setAccelerated(false);
}

void CSpinEdit::SetRange(int minValue, int maxValue) {
    m_nMin = std::min(minValue, maxValue);
    m_nMax = std::max(minValue, maxValue);
}

void CSpinEdit::SetValue(int value) {
    lineEdit()->setText(QString::number(value));
}

void CSpinEdit::stepBy(int steps) {
    std::optional<int> typed = platform::CheckInteger(lineEdit()->text()).value;
    long long value = std::clamp(typed.value_or(m_nMin), m_nMin, m_nMax);
    value = std::clamp<long long>(value + steps, m_nMin, m_nMax);
    SetValue(static_cast<int>(value));
    lineEdit()->selectAll();
}

QAbstractSpinBox::StepEnabled CSpinEdit::stepEnabled() const {
    // Like the classic arrows, both stay live: a step at an end of the range
    // just keeps the value there.
    return StepUpEnabled | StepDownEnabled;
}

QValidator::State CSpinEdit::validate(QString&, int&) const {
    return QValidator::Acceptable;
}

void CSpinEdit::fixup(QString&) const {}

QSize CSpinEdit::sizeHint() const {
    // Room for the widest number of the range plus the arrows.
    ensurePolished();
    const QFontMetrics metrics(font());
    const QString widest = QString::number(m_nMax).length() >= QString::number(m_nMin).length()
                               ? QString::number(m_nMax)
                               : QString::number(m_nMin);
    const int textWidth = std::max(metrics.horizontalAdvance(widest + QLatin1Char('0')),
                                   metrics.horizontalAdvance(QStringLiteral("0000")));
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    QSize content(textWidth + 6, lineEdit()->sizeHint().height());
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, content, this);
}

QSize CSpinEdit::minimumSizeHint() const {
    return sizeHint();
}

}  // namespace preferences
