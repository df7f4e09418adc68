// Dialog controls are known by their control ids, as the numbers that the
// program's resources give them.  Each control carries its id as its object
// name, so that the window and tests find it by the id's named constant:
//
//   box->setObjectName(ControlName(kIdFindWhat));
//   auto* found = FindControl<QComboBox>(dialog, kIdFindWhat);
//
// The ids themselves are declared beside the dialog that defines them.
#pragma once

#include <QObject>
#include <QString>

namespace platform {

// The standard buttons of a dialog.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// The object name of control `id`: its number ("1142").
inline QString ControlName(int id) {
    return QString::number(id);
}

// The control `id` of type T inside `dialog`, or null.
template <class T>
T* FindControl(const QObject& dialog, int id) {
    return dialog.findChild<T*>(ControlName(id));
}

}  // namespace platform
