// The Output command: the output settings dialog, then the image file.

#include <QMenu>

#include "editor/map_edit2_form.h"

void TMapEdit2Form::Output1Execute() {}
