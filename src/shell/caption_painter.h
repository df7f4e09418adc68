// CaptionPainter: draws the main window's title bar into two cached
// pictures, one for the active and one for the inactive window.
//
// The active caption fades quadratically from the caption colour, solid over
// the right sixth, to black at the left edge; the inactive caption is one flat
// colour.  On top come the window icon, the title and the caption buttons
// (minimize, maximize or restore, close).  A picture is built when first
// needed and kept until the caption's size, its title, its colours or its
// font change.
#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QRect>
#include <QString>

#include <vector>

class QPainter;
class QPalette;

namespace shell {

// Lightness of a colour on a 0..240 scale:
// ((max(r, g, b) + min(r, g, b)) * 240 + 255) / 510, integer division.
int Lightness(const QColor& color);

// The widest caption drawn: the widest a window can be (QWIDGETSIZE_MAX).
inline constexpr int kMaxCaptionWidth = (1 << 24) - 1;

// One channel c of the gradient band `d` pixels left of the solid part, for a
// gradient span `span`: c - (d * d * c) / (span * span), computed in 64 bits,
// with d taken within 0..span.
QColor GradientColor(const QColor& color, int d, int span);

// The colour of every column 0..width-1 of an active caption `width` pixels
// wide in `color`.  The solid part starts at x0 = width * 5 / 6; the gradient
// steps left from x0 in bands of max(1, x0 / 64) pixels while the remaining
// left edge is wider than one band; what remains at the left is black.  A
// width beyond kMaxCaptionWidth is taken as kMaxCaptionWidth.
std::vector<QColor> CaptionGradientColumns(int width, const QColor& color);

// The caption's four colours.
struct CaptionColors {
    QColor active;            // active caption fill
    QColor inactive;          // inactive caption fill
    QColor activeText;        // caption text
    QColor inactiveText;      // inactive caption text
    QColor buttonFace;        // caption button face
    QColor buttonLight;       // raised edge, top and left
    QColor buttonShadow;      // raised edge, bottom and right
    QColor buttonDarkShadow;  // outer edge, bottom and right
    QColor buttonText;        // button glyphs

    // Colours taken from a widget palette: the highlight colour as the
    // active caption, the dark colour as the inactive one.
    static CaptionColors FromPalette(const QPalette& palette);
};

// The title colour: the caption-text colour when active, replaced by white
// when its lightness is below 90; the inactive-text colour when inactive.
QColor CaptionTextColor(bool active, const CaptionColors& colors);

// Where the parts of a caption W by H pixels go, for caption buttons of
// buttonWidth by buttonHeight pixels.  Rectangles are empty when absent.
struct CaptionLayout {
    QRect icon;
    QRect close;
    QRect maximize;  // maximize or restore
    QRect minimize;
    QRect text;
};
CaptionLayout LayoutCaption(int width, int height, int buttonWidth, int buttonHeight,
                            bool hasMaximize, bool hasMinimize);

// Everything a caption picture depends on.
struct CaptionState {
    QSize size;
    QString title;
    QIcon icon;
    bool maximized = false;
    bool hasMaximize = true;
    bool hasMinimize = true;
    qreal devicePixelRatio = 1.0;
};

enum class CaptionButton { kNone, kMinimize, kMaximize, kClose };

class CaptionPainter {
public:
    CaptionPainter();

    // Caption-button size for a caption `height` pixels high.
    static QSize ButtonSize(int height) { return QSize(height, height - 1); }

    // The cached picture of the caption in `state` for the active or inactive
    // window, built now if missing or out of date.
    const QPixmap& Picture(bool active, const CaptionState& state);

    // Which button lies under `pos` in a caption of `state`.
    static CaptionButton ButtonAt(const QPoint& pos, const CaptionState& state);
    static QRect ButtonRect(CaptionButton button, const CaptionState& state);

    // Draws `button` pushed in over a picture already drawn.
    void DrawPressedButton(QPainter& painter, CaptionButton button, const CaptionState& state);

    void SetColors(const CaptionColors& colors);
    void SetFont(const QFont& font);
    const QFont& Font() const { return m_font; }

    // Forgets both pictures (the title, colours or font changed).
    void Invalidate();

    // How many pictures have been built; lets tests see the cache work.
    int BuildCount() const { return m_nBuildCount; }

private:
    QPixmap Build(bool active, const CaptionState& state);
    void DrawButton(QPainter& painter, CaptionButton button, const QRect& rect, bool maximized,
                    bool pressed) const;

    CaptionColors m_colors;
    QFont m_font;
    QSize m_cachedSize;
    QString m_strCachedTitle;
    bool m_bCachedMaximized = false;
    qreal m_cachedRatio = 0;
    QPixmap m_bitmaps[2];  // 0 inactive, 1 active
    int m_nBuildCount = 0;
};

}  // namespace shell
