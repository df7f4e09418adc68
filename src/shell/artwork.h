// The program's pictures, drawn in code: the application icon and the 13
// toolbar images (16 by 15 pixels each, one per toolbar button in button
// order: New, Open, Save, Add, Edit, Delete, Copy, Find, Dial, Email, Web,
// Preferences, Help).
#pragma once

#include <QIcon>
#include <QImage>

namespace shell {

inline constexpr int kToolbarImageCount = 13;
inline constexpr int kToolbarImageWidth = 16;
inline constexpr int kToolbarImageHeight = 15;

// Toolbar image `index` (0..12) at `scale` times its size, on a transparent
// background.
QImage ToolbarImage(int index, int scale = 1);

// All 13 images side by side, as one strip 208 by 15 pixels.
QImage ToolbarStrip();

// Toolbar image `index` as an icon, sharp at one and two times its size.
QIcon ToolbarIcon(int index);

// The application icon: a closed address book with a quill.
QIcon AppIcon();
QImage AppIconImage(int size);

}  // namespace shell
