#pragma once
// Each dialog's texts read from a language file. A text whose key is missing keeps
// its current value, so a file need only hold what it translates. The dialogs'
// LoadLanguage members and the editor (which keeps the texts of dialogs it creates
// on demand) share these.

#include "dialogs/file_form.h"
#include "dialogs/language_file.h"
#include "dialogs/layer_form.h"
#include "dialogs/map_tile_form.h"
#include "dialogs/output_opt_form.h"
#include "dialogs/print_opt_form.h"
#include "dialogs/print_preview_form.h"
#include "dialogs/vtt_export_form.h"

void LoadLanguage(const TLanguageFile& File, TMapTileFormCaptions& Captions);
// UseJpColor is the layer dialog's colour-name language switch.
void LoadLanguage(const TLanguageFile& File, TLayerFormCaptions& Captions, bool& UseJpColor);
void LoadLanguage(const TLanguageFile& File, TFileFormCaptions& Captions);
void LoadLanguage(const TLanguageFile& File, TVttExportFormCaptions& Captions);
void LoadLanguage(const TLanguageFile& File, TOutputOptFormCaptions& Captions);
void LoadLanguage(const TLanguageFile& File, TPrintOptFormCaptions& Captions);
void LoadLanguage(const TLanguageFile& File, TPrintPreviewFormCaptions& Captions);
