#pragma once
// Door records and the three door lists: horizontal doors on the top edge of a
// cell, vertical doors on the left edge of a cell (both kept sorted), and free
// doors between two pixel positions (kept in creation order).

#include <cstdint>

#include "map/base/color.h"
#include "record/song_data_array.h"

class TMapEditDoor : public TSongData {
 public:
  int32_t X = 0;
  int32_t Y = 0;
  TColor32 Color = 0;  // 0: no fill

  void AssignTo(TSongData* Dest) const override;
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) const override;
  const char* ClassName() const override { return "TMapEditDoor"; }
};

class TMapEditHorzDoor : public TMapEditDoor {
 public:
  int32_t Width = 0;  // in cells

  void AssignTo(TSongData* Dest) const override;
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) const override;
  const char* ClassName() const override { return "TMapEditHorzDoor"; }
};

class TMapEditVertDoor : public TMapEditDoor {
 public:
  int32_t Height = 0;  // in cells

  void AssignTo(TSongData* Dest) const override;
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) const override;
  const char* ClassName() const override { return "TMapEditVertDoor"; }
};

class TMapEditCustomDoor : public TMapEditDoor {
 public:
  int32_t X2 = 0;
  int32_t Y2 = 0;

  void AssignTo(TSongData* Dest) const override;
  void LoadFromStream(TStream& Stream) override;
  void SaveToStream(TStream& Stream) const override;
  const char* ClassName() const override { return "TMapEditCustomDoor"; }
};

// A.Y - B.Y when the Y differ, else A.X - B.X (plain 32-bit subtraction).
int CompareHorzDoors(const TSongData* A, const TSongData* B);
// A.X - B.X when the X differ, else A.Y - B.Y.
int CompareVertDoors(const TSongData* A, const TSongData* B);

class TMapEditHorzDoorList : public TTypedSongDataArray<TMapEditHorzDoor> {
 public:
  void Sort() { TSongDataArray::Sort(CompareHorzDoors); }
  // Binary search; Index is the door's position (the lowest of equals) or where it
  // would be inserted.
  bool Find(int32_t X, int32_t Y, int32_t& Index) const;
  const char* ClassName() const override { return "TMapEditHorzDoorList"; }

 protected:
  void AssignAttributes(TSongDataArray*) const override {}
};

class TMapEditVertDoorList : public TTypedSongDataArray<TMapEditVertDoor> {
 public:
  void Sort() { TSongDataArray::Sort(CompareVertDoors); }
  bool Find(int32_t X, int32_t Y, int32_t& Index) const;
  const char* ClassName() const override { return "TMapEditVertDoorList"; }

 protected:
  void AssignAttributes(TSongDataArray*) const override {}
};

class TMapEditCustomDoorList : public TTypedSongDataArray<TMapEditCustomDoor> {
 public:
  const char* ClassName() const override { return "TMapEditCustomDoorList"; }

 protected:
  void AssignAttributes(TSongDataArray*) const override {}
};
