// CCaptionBar: the title bar of the frameless main window, drawn by
// CaptionPainter.  Dragging it moves the window, a double-click maximizes
// or restores it, and its buttons minimize, maximize or restore, and close.
#pragma once

#include <QPoint>
#include <QWidget>

#include "shell/caption_painter.h"

namespace shell {

class CCaptionBar : public QWidget {
    Q_OBJECT

public:
    explicit CCaptionBar(QWidget* window);

    // The caption's height for the current caption font.
    int CaptionHeight() const;

    // The window's active state changed.
    void SetActive(bool active);
    bool IsActive() const { return m_nActive == 1; }
    // The title, the window state or the system colours changed.
    void Refresh();

    CaptionPainter& Painter() { return m_painter; }
    CaptionState State() const;
    // The button under the mouse while it is held down.
    CaptionButton PressedButton() const { return m_pressed; }

    // Runs a caption button's action on the window.
    void Trigger(CaptionButton button);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void UpdateColorsAndFont();

    CaptionPainter m_painter;
    int m_nActive = -1;  // -1 before the first draw
    CaptionButton m_pressed = CaptionButton::kNone;
    bool m_bPressedInside = false;
    // Moving by hand when the window system cannot move the window itself.
    bool m_bMovePending = false;  // pressed on the caption, not yet moved
    bool m_bManualMove = false;
    QPoint m_pressPos;
    QPoint m_dragOffset;
};

}  // namespace shell
