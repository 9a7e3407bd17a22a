#pragma once
// TMapEditSession: one open map being edited. It owns the undo history, the file
// name, the modified flag and the free-hand stroke's touched cells, and offers one
// operation per user action. Each operation records undo at the moment the editor
// always has (painting and door clicks just before the change, free-door additions
// and deletions just after) and redraws the cells the action touches. The editor's
// canvas and the command-line tool's edit command both edit maps only through it.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "map/base/color.h"
#include "map/base/file_stamp.h"
#include "map/document/edit_tools.h"
#include "map/document/map_edit_layer.h"
#include "map/undo/undo_history.h"
#include "record/record_list.h"

class TMapEditLayerList;
struct TMapObject;
struct TLayerSet;
struct TMapLoadReport;
struct TMapSaveReport;

// Adds the cell (CX, CY) of a pen circle of radius R at pixel (X, Y) and the
// neighbour cells the circle reaches to Cells, newest first and each once: the
// cells whose shades a free-hand stroke recomputes when it ends. Nothing is added
// for a chip size below 1.
void RecordTouchedCells(TRecordList& Cells, int32_t X, int32_t Y, int32_t CX, int32_t CY, int32_t R,
                        int32_t ChipSize);

// What a layer change does when the new texture source cannot be read.
enum class TBadLayerSource {
  KeepLayer,  // the layer stays changed (without an image) and the error is raised
  Revert      // the change is taken back, then the error is raised
};

class TMapEditSession {
 public:
  // A session with no map open yet.
  explicit TMapEditSession(int32_t UndoLimit = TUndoHistory::DefaultUndoLimit);
  // A session editing Map, which the caller owns and keeps alive.
  TMapEditSession(TMapEditLayerList& Map, int32_t UndoLimit);
  ~TMapEditSession();
  TMapEditSession(const TMapEditSession&) = delete;
  TMapEditSession& operator=(const TMapEditSession&) = delete;

  // The map object stays the same for the session's life; New, Open and Adopt
  // replace its content.
  bool HasMap() const { return FHasMap; }
  TMapEditLayerList& Map() { return *FMap; }
  const TMapEditLayerList& Map() const { return *FMap; }
  TUndoHistory& History() { return FHistory; }
  const TUndoHistory& History() const { return FHistory; }
  // The local path of the map file; empty for a map never saved.
  const std::string& FileName() const { return FFileName; }
  bool Modified() const { return FModified; }
  void SetModified(bool Value) { FModified = Value; }
  // The cells the open (or last) free-hand stroke touched while shades wait for
  // its end.
  const TRecordList& TouchedCells() const { return FTouchedCells; }

  // --- maps ---
  // Builds a new map (the wall layer, then Set's layers) and makes it the open one;
  // a refused size raises and leaves the open map alone.
  void New(int32_t Width, int32_t Height, int32_t ChipSize, const TLayerSet* Set);
  // Loads a map file; on any error the open map stays as it was.
  void Open(const std::string& FileName, TMapLoadReport& Report);
  // Makes the content of Fresh the open map (a recovered copy, say), with its file
  // name and modified flag.
  void Adopt(TMapEditLayerList& Fresh, const std::string& FileName, bool Modified);
  // Saves to FileName, which becomes the session's; clears the modified flag.
  // Saving back to the session's own file when another program changed it since it
  // was opened or saved here asks ConfirmOverwrite first (none: overwrite); a "no"
  // writes nothing and returns false.
  bool Save(const std::string& FileName, TMapSaveReport& Report,
            const std::function<bool()>& ConfirmOverwrite = {});

  // --- drawing ---
  // Sets the document's drawing switches from the tools (done at every press of
  // the left button, and by every operation below).
  void ApplyDrawModes(const TEditTools& Tools);
  // A pencil stroke in pixel coordinates: on whole cells with Tools.Chip, else
  // circles of Tools.PenRadius. Beginning records undo; with shades at stroke end
  // the touched cells get their shades when the stroke ends. Beginning while a
  // stroke is open ends that one first.
  void BeginStroke(const TEditTools& Tools, int32_t Layer, int32_t X, int32_t Y);
  // Paints the next point of the open stroke, joined to the one before by a line
  // (of cells with Tools.Chip, else of stamps at most a radius apart), so that a
  // fast drag leaves no gap; with no stroke open, begins one.
  void ContinueStroke(const TEditTools& Tools, int32_t Layer, int32_t X, int32_t Y);
  void EndStroke();
  bool InStroke() const { return FStroke.Open; }
  // A rectangle or ellipse (Tools.Tool) between two corners in any order: cells
  // with Tools.Chip (both included), else pixels (the second corner excluded).
  void PaintShape(const TEditTools& Tools, int32_t Layer, TPoint A, TPoint B);
  void Fill(const TEditTools& Tools, int32_t Layer, int32_t X, int32_t Y);
  // Toggles the door on the top (Horizontal) or left edge of cell (CX, CY).
  void ToggleDoor(const TEditTools& Tools, int32_t CX, int32_t CY, bool Horizontal, TColor Color);
  void AddFreeDoor(const TEditTools& Tools, TPoint A, TPoint B, TColor Color);
  // Removes the free doors near (X, Y); true (and recorded) when any went.
  bool EraseFreeDoorsAt(const TEditTools& Tools, int32_t X, int32_t Y);

  // --- layers (document indices; 0 is the wall layer) ---
  // Each layer change is one undo step.
  // Adds a layer at Index (1 .. Count; Count appends). Inserting moves the layers
  // from Index on one place along in the pixels, so every pixel keeps its texture.
  // Returns the new layer's index.
  int32_t AddLayer(int32_t Index, const std::string& Name, const std::string& Source,
                   TMapEditLayerType Type, TBadLayerSource OnBadSource);
  // Changes a layer's name and texture source (its type stays).
  void EditLayer(int32_t Index, const std::string& Name, const std::string& Source,
                 TBadLayerSource OnBadSource);
  // Deletes layer Index (1 .. Count - 1); its pixels take the layer now in its
  // place, so no pixel names a missing layer.
  void DeleteLayer(int32_t Index);
  // Moves floor layer From to position To (both 1 .. Count - 1), the layers
  // between shifting by one; every pixel keeps its layer.
  void MoveLayer(int32_t From, int32_t To);

  // --- objects (map/objects/map_object.h) ---
  // Each is one undo step and recomposes no cell. An object's Data must be a JSON
  // object whose "type" is its Type; an id that names no object, a bad object or
  // a full list raises EMapObjectError before anything changes.
  // Appends Obj and returns its new id.
  uint64_t AddObject(TMapObject Obj);
  // Puts Obj in the place of object Id, which keeps its id and place in the order.
  void ReplaceObject(uint64_t Id, TMapObject Obj);
  // Removes the objects (an id given twice counts once); nothing for no ids.
  void DeleteObjects(const std::vector<uint64_t>& Ids);
  // Several objects at once (a moved selection): each state replaces the object
  // of its Id.
  void ChangeObjects(const std::vector<TMapObject>& NewStates);
  // Moves the object Delta places later in the drawing order (earlier when
  // negative), stopping at either end; no step when it stays where it is.
  void MoveObjectInOrder(uint64_t Id, int Delta);

  // --- undo ---
  // False when there is nothing to undo (redo).
  bool Undo();
  bool Redo();

 private:
  struct TStroke {
    bool Open = false;
    bool Chip = true;
    bool ShadesAtEnd = false;
    int32_t Radius = 2;
    int32_t Layer = 0;
    // The stroke's last point, which the next one is joined to.
    bool HasLast = false;
    TPoint Last;
  };
  void Replace(TMapEditLayerList& Fresh, const std::string& FileName,
               const std::optional<TFileStamp>& Stamp = std::nullopt);
  void PushPaintUndo();
  // Gives a layer just added at Index its composed look.
  void ShowNewLayer(int32_t Index);
  void PushObjectUndo();
  void StrokePoint(int32_t X, int32_t Y);
  // One chip or one stamp of the open stroke.
  void StrokeStamp(int32_t X, int32_t Y);

  std::unique_ptr<TMapEditLayerList> FOwnedMap;
  TMapEditLayerList* FMap = nullptr;
  bool FHasMap = false;
  TUndoHistory FHistory;
  std::string FFileName;
  // The file as last opened or saved here, to tell a change by another program.
  std::optional<TFileStamp> FStamp;
  bool FModified = false;
  TRecordList FTouchedCells;
  TStroke FStroke;
};
