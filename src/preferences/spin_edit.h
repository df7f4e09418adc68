// CSpinEdit: an edit box with up and down arrows attached.
//
// The box takes any text the user types; the text is checked only when the
// dialog exchanges its data (platform/data_exchange.h), so a value outside
// the arrows' range (500 where the arrows step within 0..300) can be typed and
// is kept.  The arrows read the box, bring its number into the range and step
// it by one within the range; a box that holds no number steps from the
// range's lower end.
#pragma once

#include <QAbstractSpinBox>

class QLineEdit;

namespace preferences {

class CSpinEdit : public QAbstractSpinBox {
    Q_OBJECT

public:
    explicit CSpinEdit(QWidget* parent = nullptr);

    // The arrows' range; the box's text is left as it is.
    void SetRange(int minValue, int maxValue);
    int Minimum() const { return m_nMin; }
    int Maximum() const { return m_nMax; }

    // The edit box inside, for data exchange and for naming it.
    QLineEdit* Edit() const { return lineEdit(); }
    void SetValue(int value);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    StepEnabled stepEnabled() const override;

private:
    int m_nMin = 0;
    int m_nMax = 100;
};

}  // namespace preferences
