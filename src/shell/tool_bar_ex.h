// CToolBarEx: the main toolbar, which can paint itself flat.
//
// Flat: buttons show no border until the mouse is over them; the hot button
// gets a raised frame, a pressed or checked one a sunken frame, a disabled
// one an embossed image and no frame; separators are etched lines and the
// bar has a two-line gripper.  The hot frame goes when the mouse leaves the
// bar: a 250 ms timer checks where the cursor is.  Not flat: the toolkit's
// ordinary toolbar painting.
#pragma once

#include <QColor>
#include <QPixmap>
#include <QTimer>
#include <QToolBar>

#include <functional>

class QToolButton;

namespace shell {

class CToolBarEx : public QToolBar {
    Q_OBJECT

public:
    static constexpr int kHotTimerMs = 250;
    static constexpr int kGripperInset = 4;

    explicit CToolBarEx(const QString& title, QWidget* parent = nullptr);

    // Changes the look and repaints the bar and its buttons at once.
    void SetFlat(bool flat);
    bool IsFlat() const { return m_bFlat; }

    // The index (in the bar's action order) of the button under the mouse,
    // -1 for none.
    int HotButton() const { return m_nHot; }
    bool HotTimerRunning() const { return m_hotTimer.isActive(); }

    // Hot tracking for a mouse at `pos` (bar coordinates).
    void OnMouseMove(const QPoint& pos);
    // The hot timer: drops the hot button once the cursor has left the bar.
    void OnHotTimer();
    // Where the cursor is, in global coordinates (default: QCursor::pos).
    void SetCursorSource(std::function<QPoint()> source) { m_cursor = std::move(source); }

    // The button colours: face, highlight and shadow.
    QColor FaceColour() const { return m_face; }
    QColor HighlightColour() const { return m_highlight; }
    QColor ShadowColour() const { return m_shadow; }

    // A disabled button's image: pixels that are neither transparent nor of
    // the face or highlight colour are drawn in the highlight colour one
    // pixel right and down, then in the shadow colour in place.
    static QPixmap EmbossedImage(const QImage& image, const QColor& face, const QColor& highlight,
                                 const QColor& shadow);

    // The buttons' rectangles in bar coordinates (empty for separators and
    // widgets), by action index.
    QRect ButtonRect(int index) const;

protected:
    void actionEvent(QActionEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ReloadColours();
    void WatchChildren();
    void ApplyLook();
    void InvalidateButton(int index);
    int IndexOfWidget(const QWidget* widget) const;
    void PaintFlatButton(QToolButton* button, int index);
    void PaintSeparator(QWidget* separator);

    bool m_bFlat = true;
    int m_nHot = -1;
    QTimer m_hotTimer;
    QColor m_face;
    QColor m_highlight;
    QColor m_shadow;
    std::function<QPoint()> m_cursor;
};

}  // namespace shell
