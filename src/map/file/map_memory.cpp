#include "map/file/map_memory.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace {

std::atomic<int64_t> GLimit{0};

int64_t MachineMemory() {
  const long pages = ::sysconf(_SC_PHYS_PAGES), page = ::sysconf(_SC_PAGESIZE);
  int64_t bytes = pages > 0 && page > 0 ? int64_t(pages) * page : INT64_MAX;
  for (int resource : {RLIMIT_AS, RLIMIT_DATA}) {
    struct rlimit rl {};
    if (::getrlimit(resource, &rl) == 0 && rl.rlim_cur != RLIM_INFINITY)
      bytes = std::min<int64_t>(bytes, int64_t(std::min<rlim_t>(rl.rlim_cur, INT64_MAX)));
  }
  return bytes;
}

}  // namespace

int64_t MapMemoryNeed(int64_t Layers, int64_t PixelWidth, int64_t PixelHeight, int64_t Cells) {
  // Layer images, the pixel grid, the shades and the door image: four bytes a
  // pixel each. The caller has bounded the sizes, so this cannot overflow.
  return (Layers + 3) * PixelWidth * PixelHeight * 4 + Cells;
}

int64_t MapMemoryLimit() {
  const int64_t set = GLimit.load();
  return set > 0 ? set : MachineMemory();
}

void SetMapMemoryLimit(int64_t Bytes) { GLimit.store(std::max<int64_t>(Bytes, 0)); }

std::string MemoryText(int64_t Bytes) {
  char text[32];
  if (Bytes >= (int64_t(1) << 30))
    std::snprintf(text, sizeof text, "%.1f GiB", double(Bytes) / double(int64_t(1) << 30));
  else
    std::snprintf(text, sizeof text, "%lld MiB", static_cast<long long>((Bytes + (1 << 20) - 1) >> 20));
  return text;
}
