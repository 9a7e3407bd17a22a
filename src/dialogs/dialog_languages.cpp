#include "dialogs/dialog_languages.h"

namespace {

void Read(const TLanguageFile& File, const char* Section, const char* Key, QString& Value) {
  Value = File.ReadString(Section, Key, Value);
}

}  // namespace

void LoadLanguage(const TLanguageFile& File, TMapTileFormCaptions& C) {
  const char* s = "MapTileForm";
  Read(File, s, "Caption", C.Caption);
  Read(File, s, "L1", C.L1);
  Read(File, s, "L2", C.L2);
  Read(File, s, "UseChip", C.UseChip);
  Read(File, s, "O1", C.O1);
  Read(File, s, "O2", C.O2);
  Read(File, s, "ChipSize", C.ChipSize);
  Read(File, s, "ChipSize16", C.ChipSize16);
  Read(File, s, "ChipSize32", C.ChipSize32);
  Read(File, s, "OK", C.OK);
  Read(File, s, "Cancel", C.Cancel);
  Read(File, s, "BMPAlert", C.BMPAlert);
}

void LoadLanguage(const TLanguageFile& File, TLayerFormCaptions& C, bool& UseJpColor) {
  const char* s = "LayerForm";
  Read(File, s, "Caption", C.Caption);
  Read(File, s, "Name", C.Name);
  Read(File, s, "Type", C.Type);
  Read(File, s, "OneColor", C.OneColor);
  Read(File, s, "FromFile", C.FromFile);
  UseJpColor = File.ReadInteger(s, "JapaneseColorName", UseJpColor ? 1 : 0) != 0;
  Read(File, s, "AdditionPlace", C.AdditionPlace);
  Read(File, s, "LastLayer", C.LastLayer);
  Read(File, s, "BeforeLayer", C.BeforeLayer);
  Read(File, s, "CCPlace", C.CCPlace);
  Read(File, s, "Terrain", C.Terrain);
  Read(File, s, "Outdoor", C.TypeCaptions[0]);
  Read(File, s, "Indoor", C.TypeCaptions[1]);
  Read(File, s, "Object", C.TypeCaptions[2]);
  Read(File, s, "OutdoorHint", C.TypeHints[0]);
  Read(File, s, "IndoorHint", C.TypeHints[1]);
  Read(File, s, "ObjectHint", C.TypeHints[2]);
  Read(File, "Common", "OK", C.OK);
  Read(File, "Common", "Cancel", C.Cancel);
}

void LoadLanguage(const TLanguageFile& File, TFileFormCaptions& C) {
  const char* s = "MapSizeForm";
  Read(File, s, "Caption", C.Caption);
  Read(File, s, "MapSize", C.MapSize);
  Read(File, s, "Width", C.Width);
  Read(File, s, "Height", C.Height);
  Read(File, s, "x", C.Times);
  Read(File, s, "ChipSize", C.ChipSize);
  Read(File, s, "ChipRead1", C.ChipRead1);
  Read(File, s, "ChipRead2", C.ChipRead2);
  Read(File, s, "ChipRead3", C.ChipRead3);
  Read(File, s, "LayerSet", C.LayerSet);
  Read(File, s, "UseLayerSet", C.UseLayerSet);
  Read(File, s, "CreateNew", C.CreateNew);
  Read(File, s, "ImageSize", C.ImageSize);
  Read(File, "Common", "OK", C.OK);
  Read(File, "Common", "Cancel", C.Cancel);
}

void LoadLanguage(const TLanguageFile& File, TVttExportFormCaptions& C) {
  const char* s = "VttExportForm";
  Read(File, s, "Caption", C.Caption);
  Read(File, s, "PixelsPerGrid", C.PixelsPerGrid);
  Read(File, s, "Presets", C.Presets);
  Read(File, s, "ChipSize", C.ChipSize);
  Read(File, s, "Grid", C.Grid);
  Read(File, s, "Preset", C.Preset);
  Read(File, s, "Labels", C.Labels);
  Read(File, s, "BakeLights", C.BakeLights);
  Read(File, s, "MergeObjects", C.MergeObjects);
  LoadLanguage(File, s, C.PresetTexts);
  Read(File, "Common", "OK", C.OK);
  Read(File, "Common", "Cancel", C.Cancel);
}

void TMapTileForm::LoadLanguage(const TLanguageFile& File) {
  TMapTileFormCaptions c = Captions();
  ::LoadLanguage(File, c);
  ApplyCaptions(c);
}

void TLayerForm::LoadLanguage(const TLanguageFile& File) {
  TLayerFormCaptions c = Captions();
  ::LoadLanguage(File, c, UseJpColor);
  ApplyCaptions(c);
}

void TFileForm::LoadLanguage(const TLanguageFile& File) {
  TFileFormCaptions c = Captions();
  ::LoadLanguage(File, c);
  ApplyCaptions(c);
}

void LoadLanguage(const TLanguageFile& File, TOutputOptFormCaptions& C) {
  const char* s = "OutputForm";
  Read(File, s, "OK", C.OK);
  Read(File, "Common", "Cancel", C.Cancel);
  Read(File, s, "Caption", C.Caption);
  Read(File, s, "GridOption", C.GridOption);
  Read(File, s, "UseGrid", C.UseGrid);
  Read(File, s, "AllON", C.AllON);
  Read(File, s, "AllOFF", C.AllOFF);
  Read(File, s, "Top", C.Top);
  Read(File, s, "Right", C.Right);
  Read(File, s, "Bottom", C.Bottom);
  Read(File, s, "Left", C.Left);
  Read(File, s, "GridColor", C.GridColor);
  Read(File, s, "Color", C.Color);
  Read(File, s, "HalfTone", C.HalfTone);
  Read(File, s, "ImageOption", C.ImageOption);
  Read(File, s, "Preset", C.Preset);
  Read(File, s, "PixelsPerCell", C.PixelsPerCell);
  Read(File, s, "Dpi", C.Dpi);
  Read(File, s, "DpiNone", C.DpiNone);
  Read(File, s, "Lossless", C.Lossless);
  Read(File, s, "WebpQuality", C.WebpQuality);
  Read(File, s, "WithLabels", C.WithLabels);
  Read(File, s, "GridLineStyle", C.GridLineStyle);
  Read(File, s, "GridSolid", C.GridSolid);
  Read(File, s, "GridDashed", C.GridDashed);
  Read(File, s, "GridDotted", C.GridDotted);
  Read(File, s, "GridOpacity", C.GridOpacity);
  LoadLanguage(File, s, C.Presets);
}

void TOutputOptForm::LoadLanguage(const TLanguageFile& File) {
  TOutputOptFormCaptions c = Captions();
  ::LoadLanguage(File, c);
  ApplyCaptions(c);
}

void LoadLanguage(const TLanguageFile& File, TPrintOptFormCaptions& C) {
  const char* s = "PrintForm";
  Read(File, s, "Caption", C.Caption);
  Read(File, s, "OK", C.OK);
  Read(File, "Common", "Cancel", C.Cancel);
  Read(File, s, "PrinterName", C.PrinterName);
  Read(File, s, "PaperSize", C.PaperSize);
  // Two keys serve two labels each.
  Read(File, s, "Width", C.Width);
  Read(File, s, "Width", C.Width2);
  Read(File, s, "Height", C.Height);
  Read(File, s, "Height", C.Height2);
  Read(File, s, "OptChipSize", C.OptChipSize);
  Read(File, s, "ChipSize", C.ChipSize);
  Read(File, s, "Zoom", C.Zoom);
  Read(File, s, "Num", C.Num);
  Read(File, s, "Vert", C.Vert);
  Read(File, s, "Horz", C.Horz);
  Read(File, s, "FullColor", C.FullColor);
  Read(File, s, "DraftResampling", C.DraftResampling);
  // The labels the shared keys cannot name apart have keys of their own, read
  // last, so that a translation can give every label its right text.
  Read(File, s, "CellSizeLabel", C.Width2);
  Read(File, s, "PaperLabel", C.Height2);
  Read(File, s, "Portrait", C.Portrait);
  Read(File, s, "Landscape", C.Landscape);
  Read(File, s, "TilesPerSheet", C.PerSheet);
  Read(File, s, "PxOpen", C.PxOpen);
  Read(File, s, "Overlap", C.Overlap);
  Read(File, s, "AssemblyPage", C.AssemblyPage);
  Read(File, s, "SheetMarks", C.SheetMarks);
  Read(File, s, "TrimBorder", C.TrimBorder);
  Read(File, s, "Sheets", C.Sheets);
  Read(File, s, "SheetsHint", C.SheetsHint);
  Read(File, s, "Preview", C.Preview);
  Read(File, s, "PdfFile", C.PdfFile);
  Read(File, s, "Inch", C.Inch);
}

void LoadLanguage(const TLanguageFile& File, TPrintPreviewFormCaptions& C) {
  const char* s = "PrintPreviewForm";
  Read(File, s, "Caption", C.Caption);
  Read(File, s, "Previous", C.Previous);
  Read(File, s, "Next", C.Next);
  Read(File, s, "Print", C.Print);
  Read(File, s, "Close", C.Close);
  Read(File, s, "PageText", C.PageText);
  Read(File, s, "AssemblyText", C.AssemblyText);
}

void TPrintOptForm::LoadLanguage(const TLanguageFile& File) {
  TPrintOptFormCaptions c = Captions();
  ::LoadLanguage(File, c);
  ApplyCaptions(c);
}
