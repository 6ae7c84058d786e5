#pragma once
// One record decoded from the raw bytes of a page: per column its serial-type
// label, its content size and its value as text.
//
// Labels are single characters: '0' NULL, '1'..'7' the integer types (7, the
// float type, is read as a 64-bit integer), '8' the constants 0 and 1 and the
// reserved types 10 and 11, 'B' a BLOB, 'T' a text. Values are UTF-8 text:
// "Null", a decimal integer, "NoUser", "BLOB", or the text itself.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

inline constexpr char kValueSeparator = '`';

struct DecodedRecord {
  std::string labels;                // one label character per column
  std::vector<std::uint32_t> sizes;  // content bytes per column
  std::vector<std::string> values;   // value text per column

  std::size_t columnCount() const { return labels.size(); }
  void clear() {
    labels.clear();
    sizes.clear();
    values.clear();
  }
  void appendType(char label, std::uint32_t size) {
    labels.push_back(label);
    sizes.push_back(size);
  }
  void append(char label, std::uint32_t size, std::string value) {
    labels.push_back(label);
    sizes.push_back(size);
    values.push_back(std::move(value));
  }

  // The first text column from `from` on (only a non-empty one when asked),
  // or none.
  std::optional<std::size_t> firstTextColumn(std::size_t from, bool nonEmpty = false) const {
    for (std::size_t column = from; column < labels.size(); ++column)
      if (labels[column] == 'T' && !(nonEmpty && values[column].empty())) return column;
    return std::nullopt;
  }

  // The lists as the engine's tables show them: labels and sizes joined by
  // ",", values joined by the backtick.
  std::string labelsText() const;
  std::string sizesText() const;
  std::string valuesText() const;
};

// The value text of a NULL column, of the constant types 8 to 11, of a BLOB.
inline constexpr std::string_view kNullValue = "Null";
inline constexpr std::string_view kNoUserValue = "NoUser";
inline constexpr std::string_view kBlobValue = "BLOB";

}  // namespace orv
