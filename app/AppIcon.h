#pragma once

#include <QPixmap>

namespace framequill {

// The program's icon, drawn at any size: a strip of film with a quill across it.
QPixmap DrawAppIcon(int size);

} // namespace framequill
