// The language menu and the language files that re-caption the window.

#include <QMenu>

#include "editor/map_edit2_form.h"

void TMapEdit2Form::ListLanguages() { FLanguageMenu->clear(); }
