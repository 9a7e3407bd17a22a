// The window's files and place on the screen: the recent-files menu, maps dropped
// on the window, the remembered window size and position, and sizing the window
// to the open map.

#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QScrollArea>
#include <QToolBar>
#include <QUrl>
#include <algorithm>

#include "dialogs/dialog_services.h"
#include "editor/map_canvas.h"
#include "editor/map_edit2_form.h"
#include "map/document/map_edit_layer_list.h"

namespace {

// The first local map file among Urls; empty when there is none.
QString FirstMapFile(const QList<QUrl>& Urls) {
  for (const QUrl& url : Urls) {
    if (!url.isLocalFile()) continue;
    const QString path = url.toLocalFile();
    if (QFileInfo(path).suffix().compare("qmx", Qt::CaseInsensitive) == 0) return path;
  }
  return {};
}

}  // namespace

void TMapEdit2Form::CreateRecentMenu(QMenu* File) {
  FRecentMenu = File->addMenu(FTexts.RecentMenu);
  FRecentMenu->setObjectName("RecentMenu");
  // Files can come and go while the program runs: the entries are checked each
  // time the menu opens.
  connect(FRecentMenu, &QMenu::aboutToShow, this, &TMapEdit2Form::RebuildRecentMenu);
  RebuildRecentMenu();
}

void TMapEdit2Form::RebuildRecentMenu() {
  FRecentMenu->clear();
  const QStringList& items = FRecent.Items();
  for (qsizetype i = 0; i < items.size(); ++i) {
    const QString name = items.at(i);
    const QString shown = QDir::toNativeSeparators(name).replace("&", "&&");
    QAction* a = FRecentMenu->addAction(QString("&%1 %2").arg(i + 1).arg(shown));
    a->setObjectName("RecentFile" + QString::number(i + 1));
    a->setData(name);
    a->setStatusTip(QDir::toNativeSeparators(name));
    // A file that is gone shows greyed: it may be on a drive not mounted now.
    a->setEnabled(QFileInfo::exists(name));
    connect(a, &QAction::triggered, this, [this, name] { OpenRecent(name); });
  }
  if (items.isEmpty()) FRecentMenu->addAction(FTexts.NoRecent)->setEnabled(false);
  FRecentMenu->addSeparator();
  QAction* clear = FRecentMenu->addAction(FTexts.ClearRecent);
  clear->setObjectName("ClearRecent1");
  clear->setEnabled(!items.isEmpty());
  connect(clear, &QAction::triggered, this, [this] {
    FRecent.Clear();
    FRecent.Save(*FSettings);
    RebuildRecentMenu();
  });
}

void TMapEdit2Form::OpenRecent(const QString& FileName) {
  if (!QFileInfo::exists(FileName)) {
    RebuildRecentMenu();
    return;
  }
  if (!ConfirmDiscard()) return;
  OpenMap(FileName);
}

void TMapEdit2Form::RememberFile(const QString& FileName) {
  FRecent.Add(FileName);
  try {
    FRecent.Save(*FSettings);
  } catch (...) {
    // The list is a convenience; a settings file that cannot be written loses it.
  }
  RebuildRecentMenu();
  // Later file dialogs start in the map's folder.
  SetFileDialogFolder(QFile::encodeName(QFileInfo(FileName).absolutePath()).toStdString());
}

bool TMapEdit2Form::OpenDroppedFiles(const QList<QUrl>& Urls) {
  const QString name = FirstMapFile(Urls);
  if (name.isEmpty()) return false;
  if (!ConfirmDiscard()) return false;
  return OpenMap(name);
}

void TMapEdit2Form::dragEnterEvent(QDragEnterEvent* Event) {
  if (Event->mimeData()->hasUrls() && !FirstMapFile(Event->mimeData()->urls()).isEmpty())
    Event->acceptProposedAction();
}

void TMapEdit2Form::dropEvent(QDropEvent* Event) {
  if (!Event->mimeData()->hasUrls()) return;
  const QList<QUrl> urls = Event->mimeData()->urls();
  Event->acceptProposedAction();
  // Opened once the drop has finished, so that the source program is not kept
  // waiting by the questions that opening may ask.
  QMetaObject::invokeMethod(
      this, [this, urls] { OpenDroppedFiles(urls); }, Qt::QueuedConnection);
}

void TMapEdit2Form::RestoreWindowState() {
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
  const int32_t w = FSettings->ReadInteger("Window", "Width", 0);
  const int32_t h = FSettings->ReadInteger("Window", "Height", 0);
  if (w > 0 && h > 0) {
    // A window remembered on a larger screen is kept on this one.
    const QSize size(std::min(w, avail.width()), std::min(h, avail.height()));
    resize(size);
    const int32_t x = FSettings->ReadInteger("Window", "Left", avail.left());
    const int32_t y = FSettings->ReadInteger("Window", "Top", avail.top());
    move(std::clamp(x, avail.left(), std::max(avail.left(), avail.right() - size.width())),
         std::clamp(y, avail.top(), std::max(avail.top(), avail.bottom() - size.height())));
    if (FSettings->ReadInteger("Window", "Maximized", 0) == 1)
      setWindowState(windowState() | Qt::WindowMaximized);
    FMayShrinkToMap = false;
    return;
  }
  FMayShrinkToMap = true;
  // First start: a size that shows the toolbar whole and a good part of a map.
  const QSize size(std::min(1100, avail.width() * 9 / 10), std::min(760, avail.height() * 9 / 10));
  resize(size);
  move(avail.left() + (avail.width() - size.width()) / 2,
       avail.top() + (avail.height() - size.height()) / 2);
}

void TMapEdit2Form::SaveWindowState() {
  try {
    const bool maximized = isMaximized();
    FSettings->WriteInteger("Window", "Maximized", maximized ? 1 : 0);
    // The normal size is what comes back when the window is no longer maximised.
    const QRect r = maximized ? normalGeometry() : geometry();
    if (r.width() > 0 && r.height() > 0) {
      FSettings->WriteInteger("Window", "Left", r.left());
      FSettings->WriteInteger("Window", "Top", r.top());
      FSettings->WriteInteger("Window", "Width", r.width());
      FSettings->WriteInteger("Window", "Height", r.height());
    }
  } catch (...) {
  }
}

void TMapEdit2Form::FitWindowToMap() {
  if (!FDocument || CanvasWidth() <= 0 || CanvasHeight() <= 0) return;
  // A map opens at full size unless it does not fit.
  SetZoomPercent(100);
  const QSize view = FScroll->maximumViewportSize();
  if (!isMaximized() && !isFullScreen()) {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen) {
      const QRect avail = screen->availableGeometry();
      const QSize frame = frameGeometry().size() - geometry().size();
      const QSize extra = size() - view;
      const QSize wanted(extra.width() + FCanvas->Zoom().MapToView(CanvasWidth()) + 2,
                         extra.height() + FCanvas->Zoom().MapToView(CanvasHeight()) + 2);
      const QSize room = avail.size() - frame;
      // Never narrower than the menu bar and the toolbar need.
      QSize least = size();
      if (FMayShrinkToMap) {
        int32_t bars = menuBar()->sizeHint().width();
        for (const QToolBar* bar : findChildren<QToolBar*>())
          bars = std::max(bars, bar->sizeHint().width());
        least = QSize(std::min(width(), bars + 8), std::min(height(), 480));
        FMayShrinkToMap = false;
      }
      const QSize grown(std::max(least.width(), std::min(wanted.width(), room.width())),
                        std::max(least.height(), std::min(wanted.height(), room.height())));
      if (grown != size()) {
        resize(grown);
        // Keep the grown window on the screen.
        QRect g = frameGeometry();
        if (g.right() > avail.right()) g.moveRight(avail.right());
        if (g.bottom() > avail.bottom()) g.moveBottom(avail.bottom());
        if (g.left() < avail.left()) g.moveLeft(avail.left());
        if (g.top() < avail.top()) g.moveTop(avail.top());
        move(g.topLeft());
        if (layout()) layout()->activate();
      }
    }
  }
  // Still larger than the view: show it whole.
  const QSize now = FScroll->maximumViewportSize();
  if (FCanvas->Zoom().MapToView(CanvasWidth()) > now.width() ||
      FCanvas->Zoom().MapToView(CanvasHeight()) > now.height())
    SetZoomPercent(TZoom::FitPercent(CanvasWidth(), CanvasHeight(), now.width(), now.height()));
}
