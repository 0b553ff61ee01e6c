#include "rod_source.h"

#include <sys/stat.h>

#include "file_reading.h"
#include "tool_failure.h"
#include "util/crc16.h"

uint16_t file_crc16(std::string_view content) {
  uint16_t crc = 0;
  const auto* bytes = reinterpret_cast<const unsigned char*>(content.data());
  for (size_t done = 0; done < content.size();) {
    unsigned piece = static_cast<unsigned>(std::min<size_t>(content.size() - done, 1u << 30));
    crc = crc16(crc, bytes + done, piece, -1, -1);
    done += piece;
  }
  return crc;
}

std::string_view rod_source::record_line(uint32_t n) const {
  if (n + 1 >= line_begins.size()) return std::string_view();
  size_t begin = line_begins[n], end = line_begins[n + 1] - 1;
  return std::string_view(text).substr(begin, end - begin);
}

namespace {

std::string joined(const std::string& directory, const std::string& name) {
  if (directory.empty()) return name;
  return directory.back() == '/' ? directory + name : directory + "/" + name;
}

// The content at place when it is still the report the source record
// describes; otherwise nothing, and why.
std::optional<std::string> verified_content(const std::string& place, const source_record& source, std::string& why) {
  struct stat st;
  if (stat(place.c_str(), &st) != 0) return std::nullopt;
  if (!S_ISREG(st.st_mode) || st.st_size != source.size) {
    why = S_ISREG(st.st_mode) ? "changed (size)" : "no regular file";
    return std::nullopt;
  }
  // Never beyond one byte past its recorded size: a file that only says it
  // is regular (in /proc, say) may not end.
  std::optional<std::string> text;
  try {
    text = read_regular_file(place, static_cast<size_t>(source.size) + 1);
  } catch (const tool_failure&) {
    why = "unreadable";
    return std::nullopt;
  }
  if (!text) why = "no regular file";
  else if (static_cast<int64_t>(text->size()) != source.size) why = "changed (size)";
  else if (file_crc16(*text) != source.crc) why = "changed (CRC)";
  else return text;
  return std::nullopt;
}

} // namespace

// The absolute directory is tried first; the relative one serves when the
// run's directory has moved with the reader's working directory.
rod_source open_rod_source(const source_record& source) {
  rod_source rod;
  rod.path = joined(source.absolute_dir, source.name);
  std::vector<std::string> places{rod.path};
  if (!source.relative_dir.empty()) places.push_back(joined(source.relative_dir, source.name));
  rod.missing = "missing";
  for (const std::string& place : places) {
    std::optional<std::string> text = verified_content(place, source, rod.missing);
    if (!text) continue;
    rod.text = std::move(*text);
    rod.path = place;
    rod.available = true;
    rod.missing.clear();
    rod.line_begins.push_back(0);
    for (size_t i = 0; i < rod.text.size(); ++i)
      if (rod.text[i] == '\n') rod.line_begins.push_back(static_cast<uint32_t>(i + 1));
    if (rod.line_begins.back() != rod.text.size()) rod.line_begins.push_back(static_cast<uint32_t>(rod.text.size() + 1));
    return rod;
  }
  return rod;
}
