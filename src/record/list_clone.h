#pragma once
// TListClone: a growable list of untyped pointers that does not own what they
// point to. Index, capacity and count errors raise EListError.

#include <cstdint>
#include <vector>

class TListClone {
 public:
  enum class TListNotification { Added, Deleted };
  static constexpr int32_t MaxListSize = 134217727;  // 0x7FFFFFF

  virtual ~TListClone();

  int32_t Add(void* Item);
  void Insert(int32_t Index, void* Item);
  void Delete(int32_t Index);
  void* Items(int32_t Index) const;
  void SetItem(int32_t Index, void* Item);
  int32_t Count() const { return FCount; }
  void SetCount(int32_t N);
  int32_t Capacity() const { return FCapacity; }
  void SetCapacity(int32_t N);
  virtual void Clear();

  // Raises EListError with Message formatted with Data.
  [[noreturn]] static void Error(const char* Message, int32_t Data);

 protected:
  virtual void Grow();
  virtual void Notify(void* Item, TListNotification Action);

 private:
  std::vector<void*> FList;  // length = FCapacity
  int32_t FCount = 0;
  int32_t FCapacity = 0;
};
