#include "tools/kvset/record_bytes.h"

#include <algorithm>

#include "tools/kvset/fresh_record.h"

namespace cfg {

RecordFile RecordFileOfBytes(const std::string& bytes) {
  RecordFile file;
  file.record = StartUpRecord(false);
  std::copy_n(bytes.begin(), std::min(bytes.size(), file.record.bytes.size()),
              file.record.bytes.begin());
  file.size = bytes.size();
  return file;
}

}  // namespace cfg
