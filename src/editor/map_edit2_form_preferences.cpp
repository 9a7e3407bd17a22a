// The preferences dialog: the undo limit and the undo memory cap, stored in the
// settings file and applied to the open map's history at once.

#include "editor/editor_settings.h"
#include "editor/map_edit2_form.h"
#include "map/document/map_edit_session.h"
#include "map/undo/undo_history.h"

void TMapEdit2Form::Preferences1Execute() {
  TPreferences values;
  values.UndoLimit = UndoLimit();
  values.UndoMemoryMB = TPreferences::MegabytesOf(FSession->History().MemoryLimit());
  if (!FDialogs->Preferences(this, values)) return;
  values = values.Clamped();
  // Lowering either takes the oldest steps away now.
  SetUndoLimit(values.UndoLimit);
  FSession->History().SetMemoryLimit(values.UndoMemoryBytes());
  UpdateActions();
  try {
    FSettings->WriteInteger("Application", "UndoLimit", values.UndoLimit);
    FSettings->WriteInteger("Application", "UndoMemoryMB", values.UndoMemoryMB);
  } catch (const std::exception& e) {
    ShowException(e);
  }
}
