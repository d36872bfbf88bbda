// Registry locations and the text forms of value data, without touching a store.
#include "fuzz_support.h"
#include "engine/registry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const uint32_t kTypes[] = {orv::kRegNone,
                                    orv::kRegSz,
                                    orv::kRegExpandSz,
                                    orv::kRegBinary,
                                    orv::kRegDword,
                                    orv::kRegMultiSz,
                                    orv::kRegQword,
                                    5,
                                    42};
  uint32_t type = kTypes[orv::fuzz::choice(data, size, 9)];
  std::string text = orv::fuzz::text(data, size);
  orv::RegistryPath path;
  orv::parseRegistryPath(text, path);
  std::vector<uint8_t> bytes = orv::registryTextToData(type, text);
  orv::registryDataToText(type, bytes);
  std::vector<uint8_t> raw(data, data + size);
  orv::registryDataToText(type, raw);
  orv::multiStringData(orv::multiStringLines(raw));
  return 0;
}
