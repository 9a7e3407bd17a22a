// The Print command: the print settings dialog, then the printer or a PDF file.

#include <QMenu>

#include "editor/map_edit2_form.h"

void TMapEdit2Form::Print1Execute() {}
