// CToolBarEx: the main toolbar, with a flat or raised look for its buttons.
#pragma once

#include <QToolBar>

namespace shell {

class CToolBarEx : public QToolBar {
    Q_OBJECT

public:
    explicit CToolBarEx(const QString& title, QWidget* parent = nullptr);

    // Flat: buttons show a raised edge only under the mouse.  Raised: every
    // button shows its edge.  Buttons added later follow the look.
    void SetFlat(bool flat);
    bool IsFlat() const { return m_bFlat; }

protected:
    void actionEvent(QActionEvent* event) override;

private:
    void ApplyLook();

    bool m_bFlat = true;
};

}  // namespace shell
