// The File menu's export to virtual tabletops.

#include <QMenu>

#include "editor/map_edit2_form.h"

void TMapEdit2Form::CreateExportMenu(QMenu*) {}
