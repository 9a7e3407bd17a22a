#pragma once
// The modal dialogs the main window shows, behind one small interface so that the
// window's logic can be driven by tests without a person. TQtEditorDialogs is the
// real one; tests answer with their own implementation.

#include <QColor>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <cstdint>

#include "dialogs/file_form.h"
#include "dialogs/layer_form.h"
#include "dialogs/map_style_form.h"
#include "dialogs/map_tile_form.h"
#include "dialogs/object_props_form.h"
#include "dialogs/output_opt_form.h"
#include "dialogs/preferences_form.h"
#include "dialogs/print_opt_form.h"
#include "dialogs/print_preview_form.h"
#include "dialogs/vtt_export_form.h"
#include "map/output/print_job.h"

class QWidget;
class TMapEditLayerList;

// What New asks for: the map size in cells and the chip size in pixels.
struct TMapSizeRequest {
  int32_t Width = 20;
  int32_t Height = 20;
  int32_t ChipSize = 50;
  // The chosen layer set's file; empty for none.
  QString LayerSetFile;
};

// What adding a layer asks for. AdditionIndex < 0 appends; otherwise the layer is
// inserted before list item AdditionIndex.
struct TLayerRequest {
  QStringList Additions;  // the names already listed
  QString LayerName;
  QString FileName;  // a colour number, an image path or a chip reference
  int32_t LayerType = 0;
  int32_t AdditionIndex = -1;
  // False when an existing layer is edited: the where-to-add group is hidden.
  bool ShowAdditions = true;
};

enum class TDiscardAnswer { Save, Discard, Cancel };

// What the Universal VTT export asks for: the image's pixels per cell (the map's
// chip size to begin with) and whether it shows grid lines.
struct TVttExportRequest {
  int32_t ChipSize = 32;
  int32_t Width = 0;  // the map's size in cells, for the large-image warning
  int32_t Height = 0;
  int32_t PixelsPerGrid = 32;
  bool Grid = false;
  // Labels on the image, the lights baked into it, the object layers' outlines
  // among the walls.
  bool Labels = false;
  bool BakeLights = false;
  bool MergeObjects = false;
};

// What the Output command asks the output settings dialog: the map and file the
// image is for, and the answer: the grid, the WebP settings, the image's pixels
// per cell (0 keeps the chip size) and the resolution stored in the file (0 none).
struct TImageOutputRequest {
  int32_t ChipSize = 32;
  int32_t Width = 0;
  int32_t Height = 0;
  QString FileName;
  TOutputOptions Options;
  int32_t PixelsPerCell = 0;
  int32_t Dpi = 0;
};

// What the Print command asks the print settings dialog.
struct TPrintRequest {
  int32_t ChipSize = 50;
  int32_t Width = 0;
  int32_t Height = 0;
  // The answer: a PDF file or the named printer, its paper and orientation, the
  // computed figures and the colour and smoothing choices.
  bool Pdf = true;
  QString PrinterName;
  QString PaperName = "A4";
  bool Landscape = false;
  TPrintLayout Layout;
  bool FullColor = true;
  bool Smooth = false;
  // The poster's extras as the dialog answers them (its assembly-page box is
  // ticked to begin with), the sheets to print ("A2, B1-B3"; empty for all), and
  // the printed cell size for the ruler's text.
  bool AssemblyPage = false;
  bool SheetMarks = false;
  bool TrimBorder = false;
  QString Selection;
  double CellSize = 0;
  TPrintUnit Unit = TPrintUnit::Inch;
  // Closed with the preview button: show the pages before printing.
  bool Preview = false;
};

class TLanguageFile;

class TEditorDialogs {
 public:
  virtual ~TEditorDialogs() = default;
  // File dialogs; an empty result means cancelled.
  virtual QString OpenMapFileName(QWidget* Parent) = 0;
  virtual QString SaveMapFileName(QWidget* Parent) = 0;
  // The colour dialog, opened with Initial; false when cancelled.
  virtual bool ChooseColor(QWidget* Parent, const QColor& Initial, QColor& Chosen) = 0;
  virtual bool AskYesNo(QWidget* Parent, const QString& Text) = 0;
  virtual bool AskOkCancel(QWidget* Parent, const QString& Text) = 0;
  virtual TDiscardAnswer AskDiscard(QWidget* Parent, const QString& Text) = 0;
  virtual void ShowError(QWidget* Parent, const QString& Text) = 0;
  // A warning that needs no answer (a save that had to take a detour, textures
  // that could not be found).
  virtual void ShowWarning(QWidget* Parent, const QString& Text) = 0;
  // The map size dialog of New; false when cancelled.
  virtual bool MapSize(QWidget* Parent, TMapSizeRequest& Request) = 0;
  // The layer dialog of the add-layer and edit-layer commands; false when
  // cancelled. It opens with the request's name and source.
  virtual bool AddLayer(QWidget* Parent, TLayerRequest& Request) = 0;

  // --- Universal VTT export ---
  // The export settings; false when cancelled.
  virtual bool VttExportOptions(QWidget* /*Parent*/, TVttExportRequest& /*Request*/) {
    return false;
  }
  // The file to export to; empty when cancelled.
  virtual QString SaveVttFileName(QWidget* /*Parent*/) { return {}; }

  // --- image output and printing ---
  // The image file to write; empty when cancelled.
  virtual QString SaveImageFileName(QWidget* /*Parent*/) { return {}; }
  // The output settings dialog (grid lines), shown by the Output and Print
  // commands; it keeps its settings between openings. False when cancelled.
  virtual bool OutputOptions(QWidget* /*Parent*/, TOutputOptions& /*Options*/) { return false; }
  // The same dialog for the Output command, with the image's size and format
  // besides the grid; without its own answer the grid settings are asked for and
  // the image keeps the map's size.
  virtual bool ImageOutputOptions(QWidget* Parent, TImageOutputRequest& Request) {
    return OutputOptions(Parent, Request.Options);
  }

  // The print settings for a map of Width x Height cells of ChipSize pixels: the
  // destination, paper, orientation and the computed layout. False when cancelled.
  virtual bool PrintOptions(QWidget* /*Parent*/, TPrintRequest& /*Request*/) { return false; }
  // The PDF file to print to; empty when cancelled.
  virtual QString SavePdfFileName(QWidget* /*Parent*/) { return {}; }
  // The pages of a print job before printing, for a map prepared for output;
  // true when the user chose to print them.
  virtual bool PrintPreview(QWidget* /*Parent*/, TMapEditLayerList& /*Map*/,
                            const TPrintLayout& /*Layout*/, const TPrintOptions& /*Options*/) {
    return false;
  }

  // --- map style ---
  // The map style dialog, opened on Style; false when cancelled.
  virtual bool MapStyle(QWidget* /*Parent*/, TMapStyleSettings& /*Style*/) { return false; }

  // --- map objects ---
  // The properties of a label, light or window; false when cancelled.
  virtual bool EditObject(QWidget* /*Parent*/, TMapObject& /*Obj*/) { return false; }

  // --- languages ---
  // Lets the dialogs read their texts from a language file, in the order map chip,
  // layer, map size, output, print.
  virtual void LoadLanguage(const TLanguageFile& /*File*/) {}

  // --- help ---
  // A box of rich text with an OK button (the About box, the shortcut list).
  virtual void ShowInformation(QWidget* /*Parent*/, const QString& /*Title*/,
                               const QString& /*Text*/) {}

  // --- folders ---
  // A folder the user picks (to pack a map into, to look for textures in); Title
  // says what for. Empty when cancelled.
  virtual QString ChooseFolder(QWidget* /*Parent*/, const QString& /*Title*/) { return {}; }

  // --- preferences ---
  // The preferences dialog, opened on Values; false when cancelled.
  virtual bool Preferences(QWidget* /*Parent*/, TPreferences& /*Values*/) { return false; }
};

// The dialogs shown to the user.
class TQtEditorDialogs : public TEditorDialogs {
 public:
  QString OpenMapFileName(QWidget* Parent) override;
  QString SaveMapFileName(QWidget* Parent) override;
  bool ChooseColor(QWidget* Parent, const QColor& Initial, QColor& Chosen) override;
  bool AskYesNo(QWidget* Parent, const QString& Text) override;
  bool AskOkCancel(QWidget* Parent, const QString& Text) override;
  TDiscardAnswer AskDiscard(QWidget* Parent, const QString& Text) override;
  void ShowError(QWidget* Parent, const QString& Text) override;
  void ShowWarning(QWidget* Parent, const QString& Text) override;
  bool MapSize(QWidget* Parent, TMapSizeRequest& Request) override;
  bool AddLayer(QWidget* Parent, TLayerRequest& Request) override;
  // --- Universal VTT export ---
  bool VttExportOptions(QWidget* Parent, TVttExportRequest& Request) override;
  QString SaveVttFileName(QWidget* Parent) override;
  // The export dialog's texts, for language files to replace.
  TVttExportFormCaptions VttExportCaptions;
  // --- image output and printing ---
  QString SaveImageFileName(QWidget* Parent) override;
  bool OutputOptions(QWidget* Parent, TOutputOptions& Options) override;
  bool ImageOutputOptions(QWidget* Parent, TImageOutputRequest& Request) override;
  TOutputOptFormCaptions OutputCaptions;
  bool PrintOptions(QWidget* Parent, TPrintRequest& Request) override;
  QString SavePdfFileName(QWidget* Parent) override;
  bool PrintPreview(QWidget* Parent, TMapEditLayerList& Map, const TPrintLayout& Layout,
                    const TPrintOptions& Options) override;
  TPrintOptFormCaptions PrintCaptions;
  TPrintPreviewFormCaptions PrintPreviewCaptions;
  // --- map style ---
  bool MapStyle(QWidget* Parent, TMapStyleSettings& Style) override;
  TMapStyleFormCaptions MapStyleCaptions;

  // --- map objects ---
  bool EditObject(QWidget* Parent, TMapObject& Obj) override;
  TObjectPropsFormCaptions ObjectCaptions;
  // --- languages ---
  void LoadLanguage(const TLanguageFile& File) override;
  void ShowInformation(QWidget* Parent, const QString& Title, const QString& Text) override;
  QString ChooseFolder(QWidget* Parent, const QString& Title) override;
  bool Preferences(QWidget* Parent, TPreferences& Values) override;
  TPreferencesFormCaptions PreferencesCaptions;
  // The texts of the dialogs made when they are shown.
  TMapTileFormCaptions MapTileCaptions;
  TLayerFormCaptions LayerCaptions;
  TFileFormCaptions FileFormCaptions;
  bool UseJpColor = false;

 private:
  // The dialogs live as long as the window and keep their values between
  // openings; they are made on first use, as children of the window.
  QPointer<TFileForm> FFileForm;
  QPointer<TMapTileForm> FTileForm;
  QPointer<TLayerForm> FLayerForm;
  QPointer<TOutputOptForm> FOutputForm;
  QPointer<TPrintOptForm> FPrintForm;
};
