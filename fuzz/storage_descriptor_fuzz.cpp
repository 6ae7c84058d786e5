// Parses arbitrary bytes as the answer to a storage property query, in a
// buffer exactly as long as the answer, so a read past what was returned (or
// past the descriptor's own size field) is caught.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/storage_descriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::uint8_t> answer(data, data + size);
  if (const auto parsed = orv::ParseStorageDescriptor(answer)) {
    (void)orv::BusName(parsed->busType);
    // Every text comes out of the answer (texts may share bytes).
    for (const std::string* text :
         {&parsed->vendor, &parsed->product, &parsed->revision, &parsed->serial})
      if (text->size() > size) __builtin_trap();
  }
  return 0;
}
