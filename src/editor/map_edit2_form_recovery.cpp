// The window's recovery copies: written on a timer while the map has unsaved
// changes, removed when the map is saved, replaced or knowingly discarded, and
// offered for restoring at the next start when a session ended without that.

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>
#include <algorithm>
#include <exception>
#include <memory>

#include "editor/busy_cursor.h"
#include "editor/map_edit2_form.h"
#include "map/document/map_edit_layer_list.h"
#include "map/document/map_edit_session.h"
#include "map/file/map_file.h"
#include "map/file/recovery_store.h"

void TMapEdit2Form::CreateAutosave() {
  // A name of its own, guarded by a lock: a later session that happens to get this
  // process id must not take this session's copy for its own.
  FRecovery = std::make_unique<TRecoveryStore>(TRecoveryStore::DefaultFolder());
  FAutosaveTimer = new QTimer(this);
  connect(FAutosaveTimer, &QTimer::timeout, this, &TMapEdit2Form::AutosaveNow);
  SetAutosaveMinutes(TEditorSettings::DefaultAutosaveMinutes);
}

void TMapEdit2Form::SetRecoveryStore(std::unique_ptr<TRecoveryStore> Store) {
  DiscardOwnRecoveryCopy();
  FRecovery = std::move(Store);
}

void TMapEdit2Form::SetAutosaveMinutes(int32_t Minutes) {
  FAutosaveMinutes = std::clamp(Minutes, 0, TEditorSettings::MaxAutosaveMinutes);
  if (FAutosaveMinutes == 0) {
    FAutosaveTimer->stop();
  } else {
    FAutosaveTimer->start(FAutosaveMinutes * 60 * 1000);
  }
}

void TMapEdit2Form::AutosaveNow() {
  if (!Modified() || !FDocument || FDocument->Count() == 0) return;
  try {
    FRecovery->Write(*FDocument, FSession->FileName());
    FNote->setText(FTexts.RecoveryCopy.arg(QTime::currentTime().toString("HH:mm")));
  } catch (const std::exception& e) {
    // Not a message box every few minutes: the status bar says it, and the next
    // tick tries again.
    FNote->setText(FTexts.RecoveryFailed.arg(QString::fromUtf8(e.what())));
  }
}

QString TMapEdit2Form::NoteText() const { return FNote->text(); }

void TMapEdit2Form::DiscardOwnRecoveryCopy() {
  if (FRecovery) FRecovery->Remove();
}

bool TMapEdit2Form::OfferRecovery() {
  for (const TRecoveryCopy& copy : FRecovery->Orphans()) {
    const QString name = copy.MapFileName.empty()
                             ? FTexts.Untitled
                             : "\"" + QFile::decodeName(copy.MapFileName.c_str()) + "\"";
    const QString when =
        QDateTime::fromSecsSinceEpoch(qint64(copy.Time)).toString("yyyy-MM-dd HH:mm");
    const QString question = FTexts.RecoveryOffer.arg(name, when);
    if (!FDialogs->AskYesNo(this, question)) {
      TRecoveryStore::Discard(copy);
      continue;
    }
    TMapLoadReport report;
    try {
      TBusyCursor busy;
      TMapEditLayerList fresh;
      TRecoveryStore::Restore(copy, fresh, report);
      ResetDocument();
      FSession->Adopt(fresh, copy.MapFileName, false);
      FDocument = &FSession->Map();
      SetMapSize(FDocument->Width(), FDocument->Height(), FDocument->ChipSize());
    } catch (const std::exception& e) {
      // A damaged copy stays on disk for another attempt or for a person to rescue.
      ShowException(e);
      continue;
    }
    AfterDocumentLoaded();
    SetModified(true);
    // The restored map is this session's work now: its copy is written before the
    // old one goes, so a crash right now still leaves one.
    AutosaveNow();
    TRecoveryStore::Discard(copy);
    WarnMissingTextures(report);
    return true;
  }
  return false;
}
