#pragma once

#include "link/front_end.h"

class QWidget;

namespace ptk::ui {

// The handle by which the core names window as the owner of a box.
OwnerHandle ownerOf(const QWidget* window);
// The top-level window a handle names, while it exists; null otherwise.
QWidget* windowOf(OwnerHandle owner);

}  // namespace ptk::ui
